#include "midi/SysExAssembler.h"

#include "util/MidiMessage.h"

namespace {
constexpr uint8_t kFirstRealTime = 0xF8;

// Bytes that may sit inside an open system-exclusive message: data bytes, and F7 when a back end
// delivers the closing byte alone.
bool ContinuesSysEx(uint8_t first) {
    return first < 0x80 || first == kSysExEnd;
}
}  // namespace

SysExAssembler::Message SysExAssembler::Feed(const uint8_t* bytes, size_t size) {
    if (bytes == nullptr || size == 0) return {};
    if (!collecting_ && !discarding_) return Start(bytes, size);
    if (ContinuesSysEx(bytes[0])) return Continue(bytes, size);
    // Real-time messages may arrive in the middle of a system-exclusive message; they do not
    // end it.
    if (bytes[0] >= kFirstRealTime && size == 1) return {bytes, size};
    // Any other status byte ends the open message before its F7: it is incomplete and dropped.
    if (collecting_) ++dropped_;
    collecting_ = false;
    discarding_ = false;
    pending_.clear();
    return Start(bytes, size);
}

SysExAssembler::Message SysExAssembler::Start(const uint8_t* bytes, size_t size) {
    if (bytes[0] != kSysExStart || bytes[size - 1] == kSysExEnd) return {bytes, size};
    if (size > limit_) {
        ++dropped_;
        discarding_ = true;
        return {};
    }
    pending_.assign(bytes, bytes + size);
    collecting_ = true;
    return {};
}

SysExAssembler::Message SysExAssembler::Continue(const uint8_t* bytes, size_t size) {
    const bool ends = bytes[size - 1] == kSysExEnd;
    if (discarding_) {
        discarding_ = !ends;
        return {};
    }
    if (pending_.size() + size > limit_) {
        ++dropped_;
        pending_.clear();
        collecting_ = false;
        discarding_ = !ends;
        return {};
    }
    pending_.insert(pending_.end(), bytes, bytes + size);
    if (!ends) return {};
    collecting_ = false;
    return {pending_.data(), pending_.size()};
}
