#include "library/ProgramFile.h"

#include "library/ProgramText.h"
#include "util/AtomicFile.h"
#include "util/FileReader.h"

std::optional<ProgramValues> ReadProgramFile(const std::string& path, std::string* reason) {
    auto fail = [reason](const char* why) -> std::optional<ProgramValues> {
        if (reason) *reason = why;
        return std::nullopt;
    };
    if (!FileExists(path) || IsFolder(path)) return fail("cannot be opened");
    const std::optional<std::string> text = ReadWholeFile(path, kLargestProgramFile);
    if (!text) return fail("cannot be read or is too large for a program file");
    std::optional<ProgramValues> values = ParseProgramText(*text);
    if (!values) return fail("holds a value outside -64..127");
    return values;
}

bool WriteProgramFile(const std::string& path, const ProgramValues& values) {
    const std::string text = FormatProgramText(values);
    return WriteFileAtomically(path, text.data(), text.size());
}
