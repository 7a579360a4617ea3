#pragma once

#include <cstdint>

#include "plugin/MidiOutputPort.h"
#include "unit/VirtualOrvo.h"

// An output port wired straight to a virtual unit: what the editor sends, the unit reads.
class SimOutputPort : public MidiOutputPort {
public:
    explicit SimOutputPort(VirtualOrvo& unit) : unit_(unit) {}
    void SendMessage(const uint8_t* bytes, size_t size) override { unit_.Feed(bytes, size, 0); }
    void SendLongMessage(const uint8_t* bytes, size_t size, const SendProgress& progress) override {
        SendInOneGo(bytes, size, progress);
    }

private:
    VirtualOrvo& unit_;
};
