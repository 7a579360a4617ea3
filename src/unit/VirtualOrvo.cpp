#include "unit/VirtualOrvo.h"

#include <algorithm>
#include <cstdio>

#include "unit/FirmwareDecoder.h"
#include "unit/ParamChange.h"
#include "unit/ProgramConversion.h"

namespace {

// The program every location holds until something is written: each parameter at its default,
// the effect off.
ProgramBlock DefaultProgram() {
    ProgramValues values{};
    for (int slot = 0; slot < kFirstEffectSlot; ++slot) {
        values[static_cast<size_t>(slot)] = UnitParameterAt(slot)->defaultValue;
    }
    return ProgramSlotsToUnitBytes(values);
}

std::string Format(const char* format, auto... args) {
    char line[160];
    std::snprintf(line, sizeof line, format, args...);
    return line;
}

}  // namespace

VirtualOrvo::VirtualOrvo() : random_(faults_.seed) {
    parser_.onShortMessage = [this](const uint8_t* b, size_t n) { OnShortMessage(b, n); };
    parser_.onSysEx = [this](const uint8_t* b, size_t n) { OnSysEx(b, n); };
    parser_.onBrokenSysEx = [this](size_t received, MidiStreamParser::Broken why) {
        ++counters_.brokenSysEx;
        Log([&] {
            return Format("in  broken system-exclusive message after %zu bytes: %s", received,
                          why == MidiStreamParser::Broken::kTooLong
                              ? "too long"
                              : "a status byte came before F7");
        });
    };
    programs_.fill(DefaultProgram());
    for (int p = 0; p < kUnitParamCount; ++p) {
        const UnitParameter* parameter = UnitParameterAt(p);
        editBuffer_[static_cast<size_t>(p)] =
            static_cast<uint8_t>(parameter->defaultValue + parameter->wireOffset);
    }
}

void VirtualOrvo::SetFaults(const SimFaults& faults) {
    faults_ = faults;
    random_.seed(faults.seed);
}

void VirtualOrvo::Feed(const uint8_t* bytes, size_t size, int64_t nowMs) {
    nowMs_ = std::max(nowMs_, nowMs);
    parser_.Feed(bytes, size);
    Poll(nowMs_);
}

void VirtualOrvo::Poll(int64_t nowMs) {
    nowMs_ = std::max(nowMs_, nowMs);
    while (!pending_.empty()) {
        auto next = std::min_element(
            pending_.begin(), pending_.end(), [](const PendingReply& a, const PendingReply& b) {
                return a.dueMs != b.dueMs ? a.dueMs < b.dueMs : a.order < b.order;
            });
        if (next->dueMs > nowMs_) break;
        PendingReply reply = std::move(*next);
        pending_.erase(next);
        if (reply.readiesFirmware && firmwareState_ == FirmwareState::kErasing) {
            firmwareState_ = FirmwareState::kReady;
        }
        if (reply.dropped) {
            Log([&] { return "out (dropped) " + reply.what; });
            continue;
        }
        Log([&] {
            return "out " + HexBytes(reply.bytes.data(), reply.bytes.size()) + "  " + reply.what;
        });
        if (replySink_) replySink_(reply.bytes.data(), reply.bytes.size());
    }
}

std::optional<int64_t> VirtualOrvo::NextReplyDueMs() const {
    std::optional<int64_t> due;
    for (const PendingReply& reply : pending_) {
        if (!due || reply.dueMs < *due) due = reply.dueMs;
    }
    return due;
}

const ProgramBlock& VirtualOrvo::Program(int number) const {
    return programs_[static_cast<size_t>(IsProgramNumber(number) ? number - 1 : 0)];
}

bool VirtualOrvo::SetProgram(int number, const ProgramBlock& block) {
    if (!IsProgramNumber(number)) return false;
    if (std::any_of(block.begin(), block.end(), [](uint8_t b) { return b > 0x7F; })) return false;
    programs_[static_cast<size_t>(number - 1)] = block;
    return true;
}

int VirtualOrvo::EditValue(int position) const {
    if (position < 0 || position >= kUnitParamCount) return 0;
    return editBuffer_[static_cast<size_t>(position)] - WireOffset(position);
}

void VirtualOrvo::OnShortMessage(const uint8_t* bytes, size_t size) {
    ++counters_.shortMessages;
    const uint8_t status = bytes[0];
    const int channel = status & 0x0F;
    if ((status & 0xF0) == 0xB0 && size == 3) {
        OnControlChange(channel, bytes[1], bytes[2]);
        return;
    }
    const char* kind = "message";
    switch (status & 0xF0) {
        case 0x80:
            kind = "note off";
            break;
        case 0x90:
            kind = size == 3 && bytes[2] == 0 ? "note off" : "note on";
            break;
        case 0xA0:
            kind = "key pressure";
            break;
        case 0xC0:
            kind = "program change";
            break;
        case 0xD0:
            kind = "channel pressure";
            break;
        case 0xE0:
            kind = "pitch bend";
            break;
        default:
            kind = status >= 0xF8 ? "real-time" : "system common";
            break;
    }
    if (status >= 0xF0) {
        Log([&] { return Format("in  %-9s %s", HexBytes(bytes, size).c_str(), kind); });
    } else {
        Log([&] {
            return Format("in  %-9s %s, channel %d", HexBytes(bytes, size).c_str(), kind,
                          channel + 1);
        });
    }
}

void VirtualOrvo::OnControlChange(int channel, int controller, int value) {
    NrpnRegisters& nrpn = nrpn_[static_cast<size_t>(channel)];
    const uint8_t bytes[3] = {static_cast<uint8_t>(0xB0 | channel),
                              static_cast<uint8_t>(controller), static_cast<uint8_t>(value)};
    auto hex = [&] { return HexBytes(bytes, 3); };
    if (controller == kControllerNrpnMsb) {
        nrpn.msb = value;
        Log([&] { return Format("in  %s  address MSB %d", hex().c_str(), value); });
    } else if (controller == kControllerNrpnLsb) {
        nrpn.lsb = value;
        Log([&] { return Format("in  %s  address LSB %d", hex().c_str(), value); });
    } else if (controller == kControllerDataEntry) {
        OnDataEntry(channel, value);
    } else {
        Log([&] {
            return Format("in  %s  control change %d = %d, channel %d", hex().c_str(), controller,
                          value, channel + 1);
        });
    }
}

int VirtualOrvo::PositionOfAddress(int msb, int lsb) const {
    return ::PositionOfAddress(msb, lsb, editBuffer_[kEffectTypePosition]);
}

void VirtualOrvo::OnDataEntry(int channel, int value) {
    const NrpnRegisters& nrpn = nrpn_[static_cast<size_t>(channel)];
    auto hex = [&] { return Format("%02X 06 %02X", 0xB0 | channel, value); };
    const int position = PositionOfAddress(nrpn.msb, nrpn.lsb);
    if (position == kUpdateBracketPosition) {
        if (value == 0) {
            inUpdate_ = true;
            ++counters_.bracketsOpened;
            Log([&] { return "in  " + hex() + "  update begins"; });
        } else {
            inUpdate_ = false;
            ++counters_.bracketsClosed;
            Log([&] { return "in  " + hex() + "  update ends"; });
        }
        return;
    }
    if (position < 0) {
        Log([&] {
            return Format("in  %s  value %d for address %d/%d, which names nothing now",
                          hex().c_str(), value, nrpn.msb, nrpn.lsb);
        });
        return;
    }
    ++counters_.parameterChanges;
    const UnitParameter* parameter = UnitParameterAt(position);
    const int lowest = parameter->minimum + parameter->wireOffset;
    const int highest = parameter->maximum + parameter->wireOffset;
    const int held = std::clamp(value, lowest, highest);
    editBuffer_[static_cast<size_t>(position)] = static_cast<uint8_t>(held);
    Log([&] {
        return Format("in  %s  %s (position %d) = %d%s", hex().c_str(), parameter->name, position,
                      held - parameter->wireOffset, held != value ? ", held to its range" : "");
    });
}

void VirtualOrvo::OnSysEx(const uint8_t* bytes, size_t size) {
    if (HasUnitHeader(bytes, size, kFamilyProgram)) {
        OnProgramMessage(bytes, size);
    } else if (HasUnitHeader(bytes, size, kFamilyFirmware)) {
        OnFirmwareMessage(bytes, size);
    } else {
        ++counters_.unknownSysEx;
        Log([&] {
            return "in  " + HexBytes(bytes, size) + "  system-exclusive message for someone else";
        });
    }
}

void VirtualOrvo::OnProgramMessage(const uint8_t* bytes, size_t size) {
    switch (bytes[kCodeIndex]) {
        case kCodeDumpRequest:
            OnDumpRequest(bytes, size);
            return;
        case kCodeProgramWrite:
            OnProgramWrite(bytes, size);
            return;
        default:
            ++counters_.unknownSysEx;
            Log([&] {
                return "in  " + HexBytes(bytes, size) + "  program message the unit does not know";
            });
    }
}

void VirtualOrvo::OnDumpRequest(const uint8_t* bytes, size_t size) {
    ++counters_.dumpRequests;
    const int number = size == kDumpRequestSize ? bytes[kProgramNumberIndex] : -1;
    if (!IsProgramNumber(number)) {
        Log([&] {
            return "in  " + HexBytes(bytes, size) +
                   "  dump request the unit ignores (length or number)";
        });
        return;
    }
    Log([&] {
        return "in  " + HexBytes(bytes, size) + Format("  dump request for program %d", number);
    });
    const ProgramBlock& block = programs_[static_cast<size_t>(number - 1)];
    std::vector<uint8_t> dump = {kSysExStart,
                                 kManufacturerId[0],
                                 kManufacturerId[1],
                                 kManufacturerId[2],
                                 kFamilyProgram,
                                 kCodeProgramDump,
                                 0x00,
                                 static_cast<uint8_t>(number)};
    dump.insert(dump.end(), block.begin(), block.end());
    Checksum7 checksum = ProgramChecksum(block);
    std::string what = Format("dump of program %d", number);
    if (Chance(faults_.corruptDumpShare)) {
        checksum.low = static_cast<uint8_t>((checksum.low + 1) & 0x7F);
        ++counters_.dumpsCorrupted;
        what += " (checksum corrupted)";
    }
    dump.push_back(checksum.high);
    dump.push_back(checksum.low);
    dump.push_back(kSysExEnd);
    ++counters_.dumpsSent;
    Reply(std::move(dump), what);
}

void VirtualOrvo::OnProgramWrite(const uint8_t* bytes, size_t size) {
    auto hex = [&] { return HexBytes(bytes, size); };
    const int number = size == kProgramMessageSize ? bytes[kProgramNumberIndex] : -1;
    const char* refusal = nullptr;
    if (size != kProgramMessageSize) {
        refusal = "wrong length";
    } else if (!IsProgramNumber(number)) {
        refusal = "no such program number";
    } else {
        std::optional<ProgramBlock> block = ProgramBlockOf(bytes, size);
        if (ProgramChecksum(*block) !=
            Checksum7{bytes[kChecksumHighIndex], bytes[kChecksumLowIndex]}) {
            refusal = "checksum does not match";
        } else {
            programs_[static_cast<size_t>(number - 1)] = *block;
        }
    }
    if (refusal) {
        ++counters_.programsRefused;
        Log([&] { return Format("in  %s  program write refused: %s", hex().c_str(), refusal); });
        SendStatus(kFamilyProgram, kReplyProgramNotStored, "program not stored");
        return;
    }
    ++counters_.programsStored;
    Log([&] { return Format("in  %s  program write to %d", hex().c_str(), number); });
    SendStatus(kFamilyProgram, kReplyProgramStored, "program stored");
}

void VirtualOrvo::OnFirmwareMessage(const uint8_t* bytes, size_t size) {
    auto hex = [&] { return HexBytes(bytes, size); };
    const uint8_t code = bytes[kCodeIndex];
    if (code == kCodeFirmwareStart && size == kStatusReplySize) {
        Log([&] { return "in  " + hex() + "  firmware update start"; });
        firmwareState_ = FirmwareState::kErasing;
        SendStatus(kFamilyFirmware, kReplyErasing, "erasing flash");
        SendStatus(kFamilyFirmware, kReplyReadyForData, "ready for the update data", eraseDelayMs_,
                   true);
        return;
    }
    if (code != kCodeFirmwareData) {
        ++counters_.unknownSysEx;
        Log([&] { return "in  " + hex() + "  firmware message the unit does not know"; });
        return;
    }
    std::string why;
    std::optional<std::vector<uint8_t>> image;
    if (firmwareState_ != FirmwareState::kReady) {
        why = "the unit was not ready for it";
    } else if (faults_.failFirmware) {
        why = "the unit was told to fail every update";
    } else {
        image = DecodeFirmwareData(bytes, size, &why);
    }
    if (!image) {
        ++counters_.firmwareFailures;
        Log([&] { return "in  " + hex() + "  firmware data refused: " + why; });
        SendStatus(kFamilyFirmware, kReplyUpdateFailed, "update failed");
        return;
    }
    ++counters_.firmwareUpdates;
    firmwareImage_ = std::move(*image);
    firmwareState_ = FirmwareState::kIdle;
    Log([&] {
        return "in  " + hex() +
               Format("  firmware data, image of %zu bytes", firmwareImage_.size());
    });
    SendStatus(kFamilyFirmware, kReplyUpdateSuccessful, "update successful");
}

void VirtualOrvo::Reply(std::vector<uint8_t> bytes, std::string what, int extraDelayMs,
                        bool readiesFirmware) {
    PendingReply reply{nowMs_ + faults_.replyDelayMs + extraDelayMs,
                       replyOrder_++,
                       std::move(bytes),
                       std::move(what),
                       false,
                       readiesFirmware};
    if (Chance(faults_.dropReplyShare)) {
        reply.dropped = true;
        ++counters_.repliesDropped;
    }
    pending_.push_back(std::move(reply));
}

void VirtualOrvo::SendStatus(uint8_t family, uint8_t code, const char* what, int extraDelayMs,
                             bool readiesFirmware) {
    Reply({kSysExStart, kManufacturerId[0], kManufacturerId[1], kManufacturerId[2], family, code,
           kSysExEnd},
          what, extraDelayMs, readiesFirmware);
}

bool VirtualOrvo::Chance(double share) {
    if (share <= 0.0) return false;
    if (share >= 1.0) return true;
    return static_cast<double>(random_()) < share * 4294967296.0;
}
