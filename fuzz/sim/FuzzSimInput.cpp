// The virtual unit reads whatever arrives on its cable: any byte stream, in any pieces, must
// leave it answering with whole messages and holding only data bytes.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "unit/VirtualOrvo.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    VirtualOrvo unit;
    unit.SetEraseDelayMs(5);
    unit.SetReplySink([](const uint8_t* bytes, size_t n) {
        if (n < 7 || bytes[0] != 0xF0 || bytes[n - 1] != 0xF7) std::abort();
        for (size_t i = 1; i + 1 < n; ++i) {
            if (bytes[i] > 0x7F) std::abort();
        }
    });
    if (size == 0) return 0;
    // The first byte chooses the faults and how the rest is cut into pieces.
    const uint8_t control = data[0];
    unit.SetFaults(
        {control, (control & 1) ? 0.5 : 0.0, (control & 2) ? 0.5 : 0.0, (control & 4) ? 3 : 0});
    const size_t piece = 1 + (control >> 3);
    int64_t now = 0;
    for (size_t at = 1; at < size; at += piece) {
        unit.Feed(data + at, std::min(piece, size - at), now);
        now += 1;
    }
    unit.Poll(now + 100000);
    for (const ProgramBlock& program : unit.Programs()) {
        for (uint8_t b : program) {
            if (b > 0x7F) std::abort();
        }
    }
    for (uint8_t b : unit.EditBuffer()) {
        if (b > 0x7F) std::abort();
    }
    return 0;
}
