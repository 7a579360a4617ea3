// Whatever the unit input brings while the transfers run: status replies of any code, dumps of
// any length and content, good dumps for any number, ticks and idle calls in any order. The
// editor must not crash or loop, and writes no file outside the library folder it was given.

#include <stdlib.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "editor/OrvoEditor.h"
#include "library/Librarian.h"
#include "support/EditorWithLibrarian.h"
#include "unit/ProgramText.h"
#include "unit/UnitMessages.h"
#include "util/DebugPrint.h"

namespace fs = std::filesystem;

namespace {

class NullPort : public MidiOutputPort {
public:
    void SendMessage(const uint8_t*, size_t) override {}
    void SendLongMessage(const uint8_t* bytes, size_t size, const SendProgress& progress) override {
        SendInOneGo(bytes, size, progress);
    }
};

std::vector<std::string> Listing(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// base/lib is the library folder, and nothing else may appear in base; the working folder,
// where a path without its folder would land, keeps the entries it had.
struct Folders {
    Folders() {
        std::string pattern = (fs::temp_directory_path() / "orvo-fuzz-XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr) std::abort();
        base = pattern;
        library = base + "/lib/";
        fs::create_directory(library);
        workingFolder = Listing(".");
    }
    void Reset() const {
        for (const auto& entry : fs::directory_iterator(library))
            fs::remove_all(entry.path());
        ProgramValues program{};
        for (const char* name : {"01 a.prg", "02 b.prg", "04.prg", "099 c.prg"}) {
            program[0] = name[1] - '0';
            const std::string text = FormatProgramText(program);
            FILE* file = std::fopen((library + name).c_str(), "wb");
            std::fwrite(text.data(), 1, text.size(), file);
            std::fclose(file);
        }
    }
    void Check() const {
        if (Listing(base) != std::vector<std::string>{"lib"}) std::abort();
        if (Listing(".") != workingFolder) std::abort();
        for (const auto& entry : fs::directory_iterator(library)) {
            if (!entry.is_regular_file() || entry.path().extension() != ".prg") std::abort();
        }
    }
    std::string base;
    std::string library;
    std::vector<std::string> workingFolder;
};

struct Reader {
    const uint8_t* data;
    size_t size;
    size_t at = 0;
    bool More() const { return at < size; }
    uint8_t Byte() { return at < size ? data[at++] : 0; }
};

// A message from the unit shaped by the input: mostly the two lengths the editor reads, with
// a good checksum on request, sometimes any length.
std::vector<uint8_t> NextMessage(Reader& in) {
    const uint8_t shape = in.Byte();
    size_t length = shape & 0x40 ? kProgramMessageSize : kStatusReplySize;
    if ((shape & 0x30) == 0x30) length = in.Byte() * 2u;
    std::vector<uint8_t> message(length, 0);
    if (length == 0) return message;
    message[0] = 0xF0;
    for (size_t i = 1; i < length && in.More(); ++i)
        message[i] = in.Byte();
    if (length == kProgramMessageSize && (shape & 0x80)) {
        message[kCodeIndex] = kCodeProgramDump;
        message[kProgramNumberIndex] = static_cast<uint8_t>(shape & 0x0F ? shape & 0x0F : 1);
        int32_t sum = 0;
        for (size_t i = kProgramBlockIndex; i < kChecksumHighIndex; ++i)
            sum += static_cast<int8_t>(message[i]);
        message[kChecksumHighIndex] = static_cast<uint8_t>((sum >> 7) & 0x7F);
        message[kChecksumLowIndex] = static_cast<uint8_t>(sum & 0x7F);
    }
    return message;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const Folders folders;
    static const bool quiet = [] {
        SetDebugSink([](const std::string&) {});
        return true;
    }();
    (void)quiet;
    if (size < 1) return 0;
    folders.Reset();

    NullPort port;
    EditorWithLibrarian rig(port);
    OrvoEditor& editor = rig.editor;
    FakePanel* panel = rig.panel;
    panel->chosenFolder = folders.library.substr(0, folders.library.size() - 1);

    Reader in{data, size};
    const uint8_t start = in.Byte();
    panel->warningAnswer = start & 1;
    const int commands[] = {kCommandWriteAllPrograms, kCommandSaveAllFromUnit, kCommandSaveFromUnit,
                            kCommandWriteProgram};
    editor.DoCommand(commands[(start >> 1) & 3]);
    if (((start >> 1) & 3) >= 2) {
        // The chooser the command opened gets a file of the library folder.
        const int chooser =
            ((start >> 1) & 3) == 2 ? kParamProgramSaveFile : kParamProgramWriteFile;
        panel->choosers[chooser] = folders.library + (start & 8 ? "07 new.prg" : "01 a.prg");
        editor.SetParameterValue(chooser, 1.0);
    }
    if (start & 0x10) editor.DoCommand(kCommandSaveAllFromUnit);

    while (in.More()) {
        const std::vector<uint8_t> message = NextMessage(in);
        editor.HandleSysEx({0, static_cast<int32_t>(message.size()), message.data()});
        editor.GuiIdle();
        if (in.Byte() & 1) editor.DoCommand(kCommandTick);
    }
    for (int tick = 0; tick < 5; ++tick)
        editor.DoCommand(kCommandTick);
    folders.Check();
    return 0;
}
