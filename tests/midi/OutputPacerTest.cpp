#include "midi/OutputPacer.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <random>

#include "midi/MidiOutlet.h"
#include "support/PortBufferModel.h"
#include "unit/FirmwareMessages.h"
#include "unit/ParamChange.h"
#include "unit/UnitMessages.h"
#include "unit/UnitParameters.h"

namespace {
using Bytes = std::vector<uint8_t>;
using std::chrono::microseconds;
using std::chrono::milliseconds;

const SysExPacing kDefault = MidiOutlet::PacingFor(MidiBackend::Alsa);
const SysExPacing kFast = MidiOutlet::PacingFor(MidiBackend::Alsa, true);

Bytes Cc(int controller, int value) {
    return {0xB0, static_cast<uint8_t>(controller), static_cast<uint8_t>(value)};
}

void Put(OutputPacer& pacer, const std::vector<Bytes>& messages) {
    for (const Bytes& m : messages)
        ASSERT_NE(pacer.Put(m.data(), m.size()), 0u);
}

// Everything the pacer hands on, run together, taking each piece when it is due.
Bytes Drain(OutputPacer& pacer) {
    Bytes all;
    while (std::optional<OutputPacer::TimePoint> due = pacer.NextDue()) {
        std::optional<OutputPacer::Piece> piece = pacer.Take(*due);
        if (!piece) break;
        all.insert(all.end(), piece->bytes.begin(), piece->bytes.end());
    }
    return all;
}

Bytes Concat(const std::vector<Bytes>& messages) {
    Bytes all;
    for (const Bytes& m : messages)
        all.insert(all.end(), m.begin(), m.end());
    return all;
}

Bytes FirmwareMessage() {
    std::mt19937 random(7);
    Bytes image(kLargestFirmwareImage);
    for (auto& b : image)
        b = static_cast<uint8_t>(random());
    return *BuildFirmwareData(image.data(), image.size());
}

// The parameter changes the editor sends for a position, as it encodes them.
std::vector<Bytes> Change(int position, int value, int& lastKey) {
    const ParamChange change = EncodeParamChange(position, value, lastKey);
    lastKey = position;
    std::vector<Bytes> messages;
    for (int i = 0; i < change.count; ++i) {
        const MidiMessage& m = change.messages[static_cast<size_t>(i)];
        messages.push_back({m.status, m.data1, m.data2});
    }
    return messages;
}
}  // namespace

TEST(PacedFirmware, TheWholeImageReachesTheCableWithNothingDroppedAtTheDefaultPace) {
    const Bytes message = FirmwareMessage();
    ASSERT_EQ(message.size(), 91441u);
    PacedPortModel port(kDefault);
    std::vector<size_t> told;
    port.SendLongMessage(message.data(), message.size(), [&](size_t handed, size_t total) {
        EXPECT_EQ(total, message.size());
        told.push_back(handed);
        return true;
    });
    EXPECT_EQ(port.Buffer().Dropped(), 0u);
    EXPECT_EQ(port.Buffer().Delivered(), message);
    EXPECT_LT(port.Buffer().Peak(), 1024.0) << "the port's buffer stays nearly empty";
    ASSERT_FALSE(told.empty());
    EXPECT_EQ(told.back(), message.size());
    EXPECT_TRUE(std::is_sorted(told.begin(), told.end()));

    const double seconds =
        std::chrono::duration<double>(port.Buffer().EmptyAt().time_since_epoch()).count();
    const double expected = static_cast<double>(message.size()) / kDefaultBytesPerSecond;
    EXPECT_NEAR(seconds, expected, 0.2);
    EXPECT_NEAR(std::chrono::duration<double>(port.Pacer().TimeFor(message.size())).count(),
                expected, 0.01);
    std::printf("firmware message of %zu bytes at %u bytes/s: %.1f s on the cable\n",
                message.size(), kDefaultBytesPerSecond, seconds);
}

TEST(PacedFirmware, WithoutThePaceTheKernelBufferOverflows) {
    const Bytes message = FirmwareMessage();
    PacedPortModel port(kFast);
    port.SendLongMessage(message.data(), message.size(), {});
    EXPECT_GT(port.Buffer().Dropped(), 80000u) << "the fault the pace mends";
}

TEST(PacedFirmware, ABrokenOffMessageEndsWithF7AndNothingAfterIt) {
    const Bytes message = FirmwareMessage();
    PacedPortModel port(kDefault);
    port.SendLongMessage(message.data(), message.size(),
                         [](size_t handed, size_t) { return handed < 1024; });
    const Bytes& sent = port.Buffer().Delivered();
    ASSERT_EQ(sent.size(), 1024u + 1u);
    EXPECT_TRUE(std::equal(sent.begin(), sent.end() - 1, message.begin()));
    EXPECT_EQ(sent.back(), 0xF7);
    EXPECT_TRUE(port.Pacer().Empty());
}

TEST(PacedPrograms, WriteAllOf99ProgramsQueuedAtOnceDropsNothing) {
    std::vector<Bytes> writes;
    ProgramBlock block{};
    for (int program = kFirstProgramNumber; program <= kLastProgramNumber; ++program) {
        block.fill(static_cast<uint8_t>(program));
        writes.push_back(*BuildProgramWrite(program, block));
    }
    PacedPortModel paced(kDefault);
    PacedPortModel unpaced(kFast);
    for (const Bytes& w : writes) {
        paced.SendMessage(w.data(), w.size());
        unpaced.SendMessage(w.data(), w.size());
    }
    paced.RunUntilEmpty();
    unpaced.RunUntilEmpty();
    EXPECT_EQ(paced.Buffer().Dropped(), 0u);
    EXPECT_EQ(paced.Buffer().Delivered(), Concat(writes));
    EXPECT_GT(unpaced.Buffer().Dropped(), 0u);
}

TEST(PacedEdits, ChangesOfOneParameterWaitingTogetherLeaveAsTheLatest) {
    OutputPacer pacer(kDefault);
    // Parameter 1/2 at 10, 1/3 at 20, 1/2 at 11, 1/4 at 30: nothing has gone yet.
    Put(pacer, {Cc(99, 1), Cc(98, 2), Cc(6, 10), Cc(98, 3), Cc(6, 20), Cc(98, 2), Cc(6, 11),
                Cc(98, 4), Cc(6, 30)});
    EXPECT_EQ(Drain(pacer), Concat({Cc(99, 1), Cc(98, 2), Cc(6, 11), Cc(98, 3), Cc(6, 20),
                                    Cc(98, 4), Cc(6, 30)}));
}

TEST(PacedEdits, AChangeAfterAMergedOneGetsTheAddressItReliedOn) {
    OutputPacer pacer(kDefault);
    // 1/2 = 10, 2/5 = 20, 1/2 = 11 (merged into the first), then 1/4 = 30 sent as the editor
    // does after 1/2: the LSB alone. On the wire 1/4 now follows 2/5, so it needs its MSB.
    Put(pacer, {Cc(99, 1), Cc(98, 2), Cc(6, 10), Cc(99, 2), Cc(98, 5), Cc(6, 20), Cc(99, 1),
                Cc(98, 2), Cc(6, 11), Cc(98, 4), Cc(6, 30)});
    EXPECT_EQ(Drain(pacer), Concat({Cc(99, 1), Cc(98, 2), Cc(6, 11), Cc(99, 2), Cc(98, 5),
                                    Cc(6, 20), Cc(99, 1), Cc(98, 4), Cc(6, 30)}));
}

TEST(PacedEdits, NothingMergesAcrossEffectTypeBracketOrOtherMessages) {
    int lastKey = kNoPreviousPosition;
    std::vector<Bytes> sent;
    auto add = [&](const std::vector<Bytes>& messages) {
        sent.insert(sent.end(), messages.begin(), messages.end());
    };
    add(Change(95, 3, lastKey));
    add(Change(kEffectTypePosition, 2, lastKey));
    add(Change(95, 4, lastKey));
    add(Change(kUpdateBracketPosition, 1, lastKey));
    add(Change(95, 5, lastKey));
    add({{0x90, 0x3C, 0x40}});
    add(Change(95, 6, lastKey));
    add({{0xF0, 0x00, 0x21, 0x11, 0x03, 0x40, 0x00, 0x01, 0xF7}});
    add(Change(95, 7, lastKey));
    OutputPacer pacer(kDefault);
    Put(pacer, sent);
    EXPECT_EQ(Drain(pacer), Concat(sent));
}

TEST(PacedEdits, MergedStreamsLeaveTheUnitWhereTheWholeStreamWould) {
    // Seeded random edits, faster than the cable, with effect changes and the bracket among
    // them: what the unit ends up holding is the same as after every message, and no value
    // arrives without its address.
    const int positions[] = {
        0, 1, 2, 13, 40, 60, 75, kEffectTypePosition, 92, 95, 110, kUpdateBracketPosition};
    for (unsigned seed = 1; seed <= 20; ++seed) {
        std::mt19937 random(seed);
        int lastKey = kNoPreviousPosition;
        PacedPortModel paced(kDefault);
        Bytes whole;
        for (int edit = 0; edit < 400; ++edit) {
            const int position = positions[random() % std::size(positions)];
            const UnitParameter* p = UnitParameterAt(position);
            const int value =
                p->minimum + static_cast<int>(random() % (p->maximum - p->minimum + 1));
            for (const Bytes& m : Change(position, value, lastKey)) {
                paced.SendMessage(m.data(), m.size());
                whole.insert(whole.end(), m.begin(), m.end());
            }
            paced.Advance(microseconds(random() % 3000));
        }
        paced.RunUntilEmpty();
        EXPECT_EQ(paced.Buffer().Dropped(), 0u);
        EXPECT_LT(paced.Buffer().Delivered().size(), whole.size()) << "seed " << seed;
        // The unit's reading, step by step: address bytes, and values landing on them.
        auto read = [](const Bytes& stream) {
            std::map<std::pair<int, int>, int> values;
            int msb = -1, lsb = -1, homeless = 0;
            const UnitParameter* effect = UnitParameterAt(kEffectTypePosition);
            for (size_t i = 0; i + 2 < stream.size(); i += 3) {
                if (stream[i + 1] == 99) msb = stream[i + 2];
                if (stream[i + 1] == 98) lsb = stream[i + 2];
                if (stream[i + 1] != 6) continue;
                if (msb < 0 || lsb < 0) {
                    ++homeless;
                    continue;
                }
                values[{msb, lsb}] = stream[i + 2];
                if (msb == effect->addressMsb && lsb == effect->addressLsb) msb = -1;
            }
            return std::make_pair(values, homeless);
        };
        const auto expected = read(whole);
        const auto got = read(paced.Buffer().Delivered());
        EXPECT_EQ(expected.second, 0);
        EXPECT_EQ(got.second, 0) << "seed " << seed;
        EXPECT_EQ(got.first, expected.first) << "seed " << seed;
    }
}

TEST(PacedEdits, CancelledBeforeItsFirstPieceAMessageLeavesNoTrace) {
    OutputPacer pacer(kDefault);
    const Bytes first = {0x90, 0x3C, 0x40};
    const Bytes dump(300, 0x01);
    pacer.Put(first.data(), first.size());
    const uint64_t ticket = pacer.Put(dump.data(), dump.size());
    pacer.Cancel(ticket);
    EXPECT_FALSE(pacer.Holds(ticket));
    EXPECT_EQ(Drain(pacer), first);
    EXPECT_EQ(pacer.PendingBytes(), 0u);
}
