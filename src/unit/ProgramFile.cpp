#include "unit/ProgramFile.h"

#include "unit/ProgramText.h"
#include "util/AtomicFile.h"
#include "util/FileReader.h"

std::optional<ProgramValues> ReadProgramFile(const std::string& path, std::string* reason) {
    auto refuse = [&path, reason](const std::string& cause) -> std::optional<ProgramValues> {
        if (reason) *reason = "The program file \"" + path + "\" cannot be used: " + cause + ".";
        return std::nullopt;
    };
    FileReader reader(path);
    if (!reader.IsOpen()) return refuse("it cannot be opened (" + reader.OpenProblem() + ")");
    if (reader.Size() > static_cast<int64_t>(kLargestProgramFile)) {
        return refuse("it has " + std::to_string(reader.Size()) +
                      " bytes, and a program file has fewer than " +
                      std::to_string(kLargestProgramFile + 1));
    }
    std::string text(static_cast<size_t>(reader.Size()), '\0');
    text.resize(reader.Read(text.data(), text.size()));
    ProgramTextFault fault;
    std::optional<ProgramValues> values = ParseProgramText(text, &fault);
    if (!values) return refuse(DescribeProgramTextFault(fault));
    return values;
}

bool WriteProgramFile(const std::string& path, const ProgramValues& values, std::string* problem) {
    const std::string text = FormatProgramText(values);
    return WriteFileAtomically(path, text.data(), text.size(), problem);
}
