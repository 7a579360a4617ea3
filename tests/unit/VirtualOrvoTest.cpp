#include "unit/VirtualOrvo.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "unit/FirmwareMessages.h"
#include "unit/ParamChange.h"
#include "unit/ProgramConversion.h"
#include "unit/UnitMessages.h"

namespace {

using Bytes = std::vector<uint8_t>;

// The editor's end of the cable: sends bytes at a given time and keeps every reply.
class Cable {
public:
    Cable() {
        unit.SetReplySink(
            [this](const uint8_t* b, size_t n) { replies.push_back(Bytes(b, b + n)); });
    }
    void Send(const Bytes& bytes) { unit.Feed(bytes.data(), bytes.size(), nowMs); }
    void SendChange(int position, int value) {
        const ParamChange change = EncodeParamChange(position, value, previousKey);
        for (int i = 0; i < change.count; ++i) {
            const MidiMessage& m = change.messages[static_cast<size_t>(i)];
            Send({m.status, m.data1, m.data2});
        }
        previousKey = position;
    }
    std::optional<uint8_t> LastStatus() const {
        if (replies.empty()) return std::nullopt;
        return StatusReplyCode(replies.back().data(), replies.back().size());
    }

    VirtualOrvo unit;
    std::vector<Bytes> replies;
    int64_t nowMs = 0;
    int previousKey = kNoPreviousPosition;
};

ProgramValues RandomProgram(std::mt19937& random, int effect) {
    ProgramValues values{};
    for (int slot = 0; slot < kProgramSlotCount; ++slot) {
        const int position = SlotPosition(slot, effect);
        if (position < 0) continue;
        std::uniform_int_distribution<int> value(PositionMinimum(position),
                                                 PositionMaximum(position));
        values[static_cast<size_t>(slot)] = value(random);
    }
    values[kEffectTypeSlot] = effect;
    return values;
}

TEST(VirtualOrvo, ProgramsOfEveryEffectTypeComeBackFromTheUnitsMemory) {
    Cable cable;
    std::mt19937 random(21);
    for (int round = 0; round < 40; ++round) {
        const int program = 1 + (round * 37) % 99;
        const ProgramValues values = RandomProgram(random, round % 4);
        cable.Send(*BuildProgramWrite(program, ProgramSlotsToUnitBytes(values)));
        ASSERT_EQ(cable.LastStatus(), kReplyProgramStored);
        cable.Send(*BuildDumpRequest(program));
        const Bytes& dump = cable.replies.back();
        ASSERT_TRUE(IsProgramDump(dump.data(), dump.size()));
        EXPECT_EQ(dump[kProgramNumberIndex], program);
        EXPECT_TRUE(DumpChecksumMatches(dump.data(), dump.size()));
        EXPECT_EQ(UnitBytesToProgramSlots(*ProgramBlockOf(dump.data(), dump.size())), values);
    }
    EXPECT_EQ(cable.unit.Counters().programsStored, 40);
    EXPECT_EQ(cable.unit.Counters().dumpsSent, 40);
}

TEST(VirtualOrvo, OutOfRangeFileValuesReachTheUnitHeldToTheirRange) {
    Cable cable;
    ProgramValues values{};
    values[0] = 100;  // coarse tuning -12..48
    values[89] = kEffectEqualizer;
    values[90] = -3;  // blend switch 0..1
    cable.Send(*BuildProgramWrite(5, ProgramSlotsToUnitBytes(values)));
    ASSERT_EQ(cable.LastStatus(), kReplyProgramStored);
    const ProgramValues stored = UnitBytesToProgramSlots(cable.unit.Program(5));
    EXPECT_EQ(stored[0], 48);
    EXPECT_EQ(stored[90], 0);
    EXPECT_EQ(cable.unit.Counters().brokenSysEx, 0);
}

TEST(VirtualOrvo, ProgramWritesTheUnitCannotTrustAreRefused) {
    Cable cable;
    const ProgramBlock before = cable.unit.Program(9);
    ProgramBlock block{};
    block.fill(0x11);
    Bytes write = *BuildProgramWrite(9, block);
    write[113] ^= 0x01;
    cable.Send(write);
    EXPECT_EQ(cable.LastStatus(), kReplyProgramNotStored);
    write[113] ^= 0x01;
    write[kProgramNumberIndex] = 100;
    cable.Send(write);
    EXPECT_EQ(cable.LastStatus(), kReplyProgramNotStored);
    write[kProgramNumberIndex] = 9;
    write.erase(write.begin() + 20);
    cable.Send(write);
    EXPECT_EQ(cable.LastStatus(), kReplyProgramNotStored);
    EXPECT_EQ(cable.unit.Program(9), before);
    // A data byte of 80 or more breaks the message off: no answer at all, nothing stored.
    const size_t replies = cable.replies.size();
    Bytes broken = *BuildProgramWrite(9, block);
    broken[30] = 0x90;
    cable.Send(broken);
    EXPECT_EQ(cable.replies.size(), replies);
    EXPECT_EQ(cable.unit.Counters().brokenSysEx, 1);
    EXPECT_EQ(cable.unit.Program(9), before);
}

TEST(VirtualOrvo, DumpRequestsForNoProgramAreIgnored) {
    Cable cable;
    cable.Send({0xF0, 0x00, 0x21, 0x11, 0x03, 0x40, 0x00, 0x00, 0xF7});
    cable.Send({0xF0, 0x00, 0x21, 0x11, 0x03, 0x40, 0x00, 0x64, 0xF7});
    cable.Send({0xF0, 0x00, 0x21, 0x11, 0x03, 0x40, 0x00, 0x07, 0x00, 0xF7});
    EXPECT_TRUE(cable.replies.empty());
    // A fresh unit holds the default program everywhere, with a correct checksum.
    cable.Send(*BuildDumpRequest(99));
    ASSERT_EQ(cable.replies.size(), 1u);
    EXPECT_TRUE(DumpChecksumMatches(cable.replies[0].data(), cable.replies[0].size()));
    EXPECT_EQ(UnitBytesToProgramSlots(cable.unit.Program(99))[0], 0);
    EXPECT_EQ(cable.unit.Program(99)[6], 1) << "PWM LFO frequency defaults to 1";
}

TEST(VirtualOrvo, ParameterChangesOfAWholeProgramFillTheEditBuffer) {
    std::mt19937 random(5);
    for (int effect = kEffectOff; effect <= kEffectEqualizer; ++effect) {
        Cable cable;
        const ProgramValues values = RandomProgram(random, effect);
        // As the editor sends a loaded program: bracket, the first 90 slots, the effect's
        // positions, bracket.
        cable.SendChange(kUpdateBracketPosition, 0);
        EXPECT_TRUE(cable.unit.InUpdate());
        for (int slot = 0; slot < kProgramSlotCount; ++slot) {
            const int position = SlotPosition(slot, effect);
            if (position >= 0) cable.SendChange(position, values[static_cast<size_t>(slot)]);
        }
        cable.SendChange(kUpdateBracketPosition, 1);
        EXPECT_FALSE(cable.unit.InUpdate());
        for (int slot = 0; slot < kProgramSlotCount; ++slot) {
            const int position = SlotPosition(slot, effect);
            if (position < 0) continue;
            EXPECT_EQ(cable.unit.EditValue(position), values[static_cast<size_t>(slot)])
                << "effect " << effect << " position " << position;
        }
        EXPECT_TRUE(cable.replies.empty());
    }
}

TEST(VirtualOrvo, EffectAddressesFollowTheEffectType) {
    Cable cable;
    cable.SendChange(89, kEffectOverdrive);
    cable.SendChange(107, -6);  // "Level" on 21/5
    EXPECT_EQ(cable.unit.EditValue(107), -6);
    EXPECT_EQ(cable.unit.EditValue(93), 0) << "the chorus's 21/5 is untouched";
    cable.SendChange(89, kEffectChorus);
    cable.SendChange(93, 77);
    EXPECT_EQ(cable.unit.EditValue(93), 77);
    EXPECT_EQ(cable.unit.EditValue(107), -6);
    // With the effect off the addresses name nothing.
    cable.SendChange(89, kEffectOff);
    cable.SendChange(93, 5);
    EXPECT_EQ(cable.unit.EditValue(93), 77);
    EXPECT_EQ(cable.unit.Counters().parameterChanges, 5);
}

TEST(VirtualOrvo, FirmwareUpdateInPiecesAfterTheErase) {
    Cable cable;
    cable.unit.SetEraseDelayMs(3000);
    Bytes image(80000);
    std::mt19937 random(1);
    for (uint8_t& b : image)
        b = static_cast<uint8_t>(random());
    image.resize(79996);  // a multiple of 7: every byte survives the encoding
    cable.Send(BuildFirmwareStart());
    EXPECT_EQ(cable.LastStatus(), kReplyErasing);
    cable.unit.Poll(2999);
    EXPECT_EQ(cable.replies.size(), 1u);
    cable.unit.Poll(3000);
    EXPECT_EQ(cable.LastStatus(), kReplyReadyForData);
    EXPECT_EQ(cable.replies.back()[4], kFamilyFirmware);
    // The way JACK delivers it: 16 KB at a time.
    const Bytes data = *BuildFirmwareData(image.data(), image.size());
    cable.nowMs = 3100;
    for (size_t at = 0; at < data.size(); at += 16384) {
        const Bytes piece(data.begin() + static_cast<long>(at),
                          data.begin() + static_cast<long>(std::min(at + 16384, data.size())));
        cable.Send(piece);
    }
    EXPECT_EQ(cable.LastStatus(), kReplyUpdateSuccessful);
    EXPECT_EQ(cable.unit.FirmwareImage(), image);
    EXPECT_EQ(cable.unit.Firmware(), VirtualOrvo::FirmwareState::kIdle);
}

TEST(VirtualOrvo, FirmwareDataThatDoesNotHoldTogetherFails) {
    Cable cable;
    cable.unit.SetEraseDelayMs(0);
    const Bytes image = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
    const Bytes good = *BuildFirmwareData(image.data(), image.size());
    cable.Send(good);
    EXPECT_EQ(cable.LastStatus(), kReplyUpdateFailed) << "no start message before it";
    cable.Send(BuildFirmwareStart());
    EXPECT_EQ(cable.LastStatus(), kReplyReadyForData);
    Bytes bad = good;
    bad[12] ^= 0x01;  // a payload byte
    cable.Send(bad);
    EXPECT_EQ(cable.LastStatus(), kReplyUpdateFailed);
    bad = good;
    bad[8] += 1;  // length digits
    cable.Send(bad);
    EXPECT_EQ(cable.LastStatus(), kReplyUpdateFailed);
    // Still ready: the editor's second sending can succeed.
    cable.Send(good);
    EXPECT_EQ(cable.LastStatus(), kReplyUpdateSuccessful);
    // The tail keeps the low bits of its bytes only.
    EXPECT_EQ(cable.unit.FirmwareImage(), (Bytes{1, 2, 3, 4, 5, 6, 7, 8, 9, 10}));
}

TEST(VirtualOrvo, FaultsAreReproducibleFromTheSeed) {
    auto run = [](uint32_t seed) {
        Cable cable;
        cable.unit.SetFaults({seed, 0.3, 0.2, 0});
        std::vector<int> answered;
        for (int program = 1; program <= 99; ++program) {
            const size_t before = cable.replies.size();
            cable.Send(*BuildDumpRequest(program));
            if (cable.replies.size() == before) {
                answered.push_back(0);
            } else {
                const Bytes& dump = cable.replies.back();
                answered.push_back(DumpChecksumMatches(dump.data(), dump.size()) ? 1 : -1);
            }
        }
        return std::make_pair(answered, cable.unit.Counters());
    };
    const auto [first, counters] = run(42);
    EXPECT_EQ(run(42).first, first);
    EXPECT_NE(run(43).first, first);
    const int dropped = static_cast<int>(std::count(first.begin(), first.end(), 0));
    const int corrupted = static_cast<int>(std::count(first.begin(), first.end(), -1));
    EXPECT_EQ(dropped, counters.repliesDropped);
    EXPECT_GT(dropped, 5);
    EXPECT_LT(dropped, 40);
    EXPECT_GT(corrupted, 10);
    EXPECT_LT(corrupted, 55);
}

TEST(VirtualOrvo, DelayedRepliesLeaveOnlyWhenDue) {
    Cable cable;
    cable.unit.SetFaults({1, 0.0, 0.0, 250});
    cable.nowMs = 1000;
    cable.Send(*BuildDumpRequest(1));
    EXPECT_TRUE(cable.replies.empty());
    EXPECT_EQ(cable.unit.NextReplyDueMs(), 1250);
    cable.unit.Poll(1249);
    EXPECT_TRUE(cable.replies.empty());
    cable.unit.Poll(1250);
    EXPECT_EQ(cable.replies.size(), 1u);
    EXPECT_FALSE(cable.unit.NextReplyDueMs());
}

TEST(VirtualOrvo, AReplyMayBeAnsweredFromInsideTheReplySink) {
    // A transfer chain run against the unit without threads: each dump asks for the next one.
    VirtualOrvo unit;
    std::vector<int> dumped;
    unit.SetReplySink([&](const uint8_t* bytes, size_t size) {
        ASSERT_TRUE(IsProgramDump(bytes, size));
        dumped.push_back(bytes[kProgramNumberIndex]);
        if (bytes[kProgramNumberIndex] < kLastProgramNumber) {
            const Bytes next = *BuildDumpRequest(bytes[kProgramNumberIndex] + 1);
            unit.Feed(next.data(), next.size(), 0);
        }
    });
    const Bytes first = *BuildDumpRequest(1);
    unit.Feed(first.data(), first.size(), 0);
    ASSERT_EQ(dumped.size(), 99u);
    EXPECT_EQ(dumped.back(), 99);
}

}  // namespace
