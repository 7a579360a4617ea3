#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "unit/MidiStreamParser.h"
#include "unit/UnitMessages.h"
#include "unit/UnitParameters.h"
#include "util/HexBytes.h"

// Faults a test can ask of the virtual unit. The same seed gives the same faults for the same
// traffic.
struct SimFaults {
    uint32_t seed = 1;
    double corruptDumpShare = 0.0;  // share of dumps sent with a wrong checksum
    double dropReplyShare = 0.0;    // share of replies never sent
    int replyDelayMs = 0;           // every reply leaves this much later
    bool failFirmware = false;      // every firmware image is refused with "update failed"
};

// What the virtual unit has seen and done, for tests and the tool's summary.
struct SimCounters {
    int shortMessages = 0;
    int parameterChanges = 0;
    int bracketsOpened = 0;
    int bracketsClosed = 0;
    int dumpRequests = 0;
    int dumpsSent = 0;
    int dumpsCorrupted = 0;
    int programsStored = 0;
    int programsRefused = 0;
    int firmwareUpdates = 0;
    int firmwareFailures = 0;
    int brokenSysEx = 0;
    int unknownSysEx = 0;
    int repliesDropped = 0;
};

// The Orvo as seen from its MIDI cable: it reads the byte stream the editor sends, keeps an edit
// buffer of the 122 positions and 99 stored programs, and answers as the unit does. Time is
// given by the caller in milliseconds, so tests run it without a clock. Not thread-safe: one
// caller at a time.
class VirtualOrvo {
public:
    using ReplySink = std::function<void(const uint8_t* bytes, size_t size)>;
    using LogSink = std::function<void(const std::string& line)>;

    enum class FirmwareState { kIdle, kErasing, kReady };

    static constexpr int kDefaultEraseDelayMs = 2000;

    VirtualOrvo();

    void SetReplySink(ReplySink sink) { replySink_ = std::move(sink); }
    // One readable line per message in and out.
    void SetLogSink(LogSink sink) { logSink_ = std::move(sink); }
    void SetFaults(const SimFaults& faults);
    void SetEraseDelayMs(int ms) { eraseDelayMs_ = ms < 0 ? 0 : ms; }

    // Bytes off the cable, in any pieces; replies that are due by nowMs are sent before it
    // returns.
    void Feed(const uint8_t* bytes, size_t size, int64_t nowMs);
    // Sends the replies due by nowMs.
    void Poll(int64_t nowMs);
    // When the next held-back reply is due, if any.
    std::optional<int64_t> NextReplyDueMs() const;

    // Stored program 1..99 as unit bytes; program 1 for a number outside.
    const ProgramBlock& Program(int number) const;
    bool SetProgram(int number, const ProgramBlock& block);
    const std::array<ProgramBlock, kLastProgramNumber>& Programs() const { return programs_; }

    // The edit buffer: the wire value (value + offset) of each position.
    const std::array<uint8_t, kUnitParamCount>& EditBuffer() const { return editBuffer_; }
    // The parameter value of a position in the edit buffer (wire value less offset).
    int EditValue(int position) const;
    bool InUpdate() const { return inUpdate_; }

    FirmwareState Firmware() const { return firmwareState_; }
    // The image of the last successful firmware update.
    const std::vector<uint8_t>& FirmwareImage() const { return firmwareImage_; }
    const SimCounters& Counters() const { return counters_; }

private:
    struct PendingReply {
        int64_t dueMs;
        uint64_t order;
        std::vector<uint8_t> bytes;
        std::string what;
        bool dropped;
        bool readiesFirmware;
    };
    struct NrpnRegisters {
        int msb = -1;
        int lsb = -1;
    };

    void OnShortMessage(const uint8_t* bytes, size_t size);
    void OnControlChange(int channel, int controller, int value);
    void OnDataEntry(int channel, int value);
    void OnSysEx(const uint8_t* bytes, size_t size);
    void OnProgramMessage(const uint8_t* bytes, size_t size);
    void OnDumpRequest(const uint8_t* bytes, size_t size);
    void OnProgramWrite(const uint8_t* bytes, size_t size);
    void OnFirmwareMessage(const uint8_t* bytes, size_t size);
    // The position an address names now: the effect addresses follow the edit buffer's
    // "EFFECT Type". -1 for an address the unit does not know or an effect that is off.
    int PositionOfAddress(int msb, int lsb) const;

    void Reply(std::vector<uint8_t> bytes, std::string what, int extraDelayMs = 0,
               bool readiesFirmware = false);
    void SendStatus(uint8_t family, uint8_t code, const char* what, int extraDelayMs = 0,
                    bool readiesFirmware = false);
    bool Chance(double share);
    // Lines are only made when someone reads them.
    template <typename MakeLine>
    void Log(MakeLine&& makeLine) {
        if (logSink_) logSink_(makeLine());
    }

    MidiStreamParser parser_;
    ReplySink replySink_;
    LogSink logSink_;
    SimFaults faults_;
    std::mt19937 random_;
    int eraseDelayMs_ = kDefaultEraseDelayMs;
    int64_t nowMs_ = 0;
    uint64_t replyOrder_ = 0;
    std::vector<PendingReply> pending_;

    std::array<NrpnRegisters, 16> nrpn_{};
    std::array<uint8_t, kUnitParamCount> editBuffer_{};
    std::array<ProgramBlock, kLastProgramNumber> programs_{};
    bool inUpdate_ = false;
    FirmwareState firmwareState_ = FirmwareState::kIdle;
    std::vector<uint8_t> firmwareImage_;
    SimCounters counters_;
};
