// Whatever arrives on the two inputs, in whatever pieces the back end cuts it: the plug-in object
// gets short messages (never an F0) and whole system-exclusive messages (starting with F0, within
// the limit) on the unit input, and no system exclusive from the keyboard input.

#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "midi/MidiLink.h"
#include "midi/SysExAssembler.h"
#include "plugin/PluginBase.h"
#include "util/DebugPrint.h"

namespace {
class CheckingPlugin : public PluginBase {
public:
    void HandleMidiMessage(const MidiMessage& m) override {
        if (m.status == 0xF0) std::abort();
    }
    void HandleKeyboardMessage(const MidiMessage& m) override {
        if (m.status == 0xF0) std::abort();
    }
    void HandleSysEx(const SysExMessage& m) override {
        if (m.size < 1 || m.size > 4096 || m.bytes == nullptr || m.bytes[0] != 0xF0) std::abort();
    }
};
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) return 0;
    static const bool quiet = [] {
        SetDebugSink([](const std::string&) {});
        return true;
    }();
    (void)quiet;
    // The first byte sets the channels and how the rest is cut into deliveries.
    const uint8_t control = data[0];
    MidiSettings settings;
    settings.SetChannel(MidiRole::UnitInput, control & 0x0F);
    settings.SetChannel(MidiRole::KeyboardInput, (control >> 4) & 0x0F);
    MidiLink link(settings, nullptr);
    CheckingPlugin plugin;
    link.SetPlugin(&plugin);
    SysExAssembler assembler(4096);
    const size_t piece = 1 + (control >> 2);
    for (size_t at = 1; at < size; at += piece) {
        const size_t n = std::min(piece, size - at);
        const SysExAssembler::Message whole = assembler.Feed(data + at, n);
        if (whole.size == 0) continue;
        const bool passedAsIs = whole.bytes == data + at && whole.size == n;
        const bool assembled =
            whole.bytes[0] == 0xF0 && whole.bytes[whole.size - 1] == 0xF7 && whole.size <= 4096;
        if (!passedAsIs && !assembled) std::abort();
        link.OnUnitInput(whole.bytes, whole.size);
        link.OnKeyboardInput(whole.bytes, whole.size);
    }
    return 0;
}
