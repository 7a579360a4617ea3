// Program files come from anywhere: any bytes must give a program or a refusal, and a program
// that is read must convert to data bytes and write out as text that reads back the same.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "unit/ProgramConversion.h"
#include "unit/ProgramText.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    ProgramTextFault fault;
    const std::optional<ProgramValues> values = ParseProgramText(text, &fault);
    // A refusal always says why.
    if (!values) {
        if (fault.cause.empty()) std::abort();
        return 0;
    }
    for (int32_t v : *values) {
        if (v < kProgramValueMin || v > kProgramValueMax) std::abort();
    }
    for (uint8_t b : ProgramSlotsToUnitBytes(*values)) {
        if (b > 0x7F) std::abort();
    }
    if (ParseProgramText(FormatProgramText(*values)) != values) std::abort();
    return 0;
}
