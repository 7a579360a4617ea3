#include "unit/MidiStreamParser.h"

namespace {

// Data bytes that follow a status byte; system-exclusive bytes are handled apart.
size_t DataBytesAfter(uint8_t status) {
    if (status < 0xF0) {
        const uint8_t kind = status & 0xF0;
        return kind == 0xC0 || kind == 0xD0 ? 1 : 2;
    }
    switch (status) {
        case 0xF1:
        case 0xF3:
            return 1;
        case 0xF2:
            return 2;
        default:
            return 0;
    }
}

}  // namespace

void MidiStreamParser::Feed(const uint8_t* bytes, size_t size) {
    if (!bytes) return;
    for (size_t i = 0; i < size; ++i) {
        const uint8_t b = bytes[i];
        if (b >= 0xF8) {
            Emit(&b, 1);  // real-time: passes through without disturbing anything
        } else if (b >= 0x80) {
            Status(b);
        } else {
            Data(b);
        }
    }
}

void MidiStreamParser::Status(uint8_t status) {
    if (status == 0xF7) {
        if (!inSysEx_) {
            ++strayBytes_;
            return;
        }
        if (sysExReceived_ + 1 > kLargestSysEx) {
            BreakSysEx(Broken::kTooLong);
            return;
        }
        sysEx_.push_back(status);
        inSysEx_ = false;
        if (onSysEx) onSysEx(sysEx_.data(), sysEx_.size());
        sysEx_.clear();
        return;
    }
    if (inSysEx_) BreakSysEx(Broken::kInterrupted);
    have_ = 0;
    if (status == 0xF0) {
        runningStatus_ = 0;
        inSysEx_ = true;
        sysExReceived_ = 1;
        sysEx_.clear();
        sysEx_.push_back(status);
        return;
    }
    // Channel messages set running status; system-common messages cancel it.
    runningStatus_ = status < 0xF0 ? status : 0;
    message_[have_++] = status;
    need_ = DataBytesAfter(status);
    if (need_ == 0) {
        Emit(message_, 1);
        have_ = 0;
    }
}

void MidiStreamParser::Data(uint8_t data) {
    if (inSysEx_) {
        ++sysExReceived_;
        if (sysEx_.size() < kLargestSysEx) sysEx_.push_back(data);
        return;
    }
    if (have_ == 0) {
        if (runningStatus_ == 0) {
            ++strayBytes_;
            return;
        }
        message_[have_++] = runningStatus_;
        need_ = DataBytesAfter(runningStatus_);
    }
    message_[have_++] = data;
    if (have_ == need_ + 1) {
        Emit(message_, have_);
        have_ = 0;
    }
}

void MidiStreamParser::BreakSysEx(Broken why) {
    const size_t received = sysExReceived_;
    inSysEx_ = false;
    sysEx_.clear();
    sysExReceived_ = 0;
    if (onBrokenSysEx) onBrokenSysEx(received, why);
}

void MidiStreamParser::Emit(const uint8_t* bytes, size_t size) {
    if (onShortMessage) onShortMessage(bytes, size);
}
