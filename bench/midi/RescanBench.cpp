#include <benchmark/benchmark.h>

#include <rtmidi/RtMidi.h>

#include <memory>
#include <string>
#include <vector>

#include "midi/MidiLink.h"

namespace {
// A few other programs' ports, as on a desktop with some MIDI gear.
std::vector<std::unique_ptr<RtMidiOut>> OtherPorts(int count) {
    std::vector<std::unique_ptr<RtMidiOut>> ports;
    for (int i = 0; i < count; ++i) {
        ports.push_back(std::make_unique<RtMidiOut>(RtMidi::UNIX_JACK, "bench peer"));
        ports.back()->openVirtualPort("port " + std::to_string(i));
    }
    return ports;
}
}  // namespace

// One rescan: both lists read again and every role checked; the tick runs one a second, so its
// time per call is what the rescan costs per second.
static void BM_RescanPorts(benchmark::State& state) {
    const auto others = OtherPorts(static_cast<int>(state.range(0)));
    MidiSettings settings;
    settings.SetName(MidiRole::Output, "some unit:that is not there");
    MidiLink link(settings, nullptr, MidiBackend::Jack);
    if (!link.CreateMidiPorts()) {
        state.SkipWithError("no JACK server (set JACK_DEFAULT_SERVER)");
        return;
    }
    link.ListMidiPorts();
    for (auto _ : state)
        benchmark::DoNotOptimize(link.RescanPorts());
    state.counters["ports"] =
        static_cast<double>(link.InputNames().size() + link.OutputNames().size() - 2);
}
BENCHMARK(BM_RescanPorts)->Arg(2)->Arg(8)->Arg(16)->Unit(benchmark::kMicrosecond);
