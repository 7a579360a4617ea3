// The settings file is outside input: whatever it holds, reading a key and writing one back must
// neither crash nor lose the lines it does not change.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "util/ProfileFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const std::string before = ReadProfileText(text, "midi", "indev", "off", 100);
    ReadProfileText(text, "gui", "guiscale", "-1.0", 100);
    const std::string written = WriteProfileText(text, "gui", "guiscale", "1.200000000000000");
    if (ReadProfileText(written, "gui", "guiscale", "", 100) != "1.200000000000000") std::abort();
    if (ReadProfileText(written, "midi", "indev", "off", 100) != before) std::abort();
    return 0;
}
