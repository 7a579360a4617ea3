#include "unit/MidiStreamParser.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

// Records what the parser hands on, one entry per message: "S" short, "X" sysex, "B" broken.
struct Recorder {
    explicit Recorder(MidiStreamParser& parser) {
        parser.onShortMessage = [this](const uint8_t* b, size_t n) {
            messages.push_back(Bytes(b, b + n));
            kinds += 'S';
        };
        parser.onSysEx = [this](const uint8_t* b, size_t n) {
            messages.push_back(Bytes(b, b + n));
            kinds += 'X';
        };
        parser.onBrokenSysEx = [this](size_t received, MidiStreamParser::Broken why) {
            brokenAt.push_back(received);
            kinds += why == MidiStreamParser::Broken::kTooLong ? 'L' : 'B';
        };
    }
    std::vector<Bytes> messages;
    std::vector<size_t> brokenAt;
    std::string kinds;
};

void Feed(MidiStreamParser& parser, const Bytes& bytes) {
    parser.Feed(bytes.data(), bytes.size());
}

TEST(MidiStreamParser, RunningStatusAndRealTimeBytesInsideMessages) {
    MidiStreamParser parser;
    Recorder seen(parser);
    // B0 63 0B, then 62 01 and 06 0C under running status, a clock byte in the middle.
    Feed(parser, {0xB0, 0x63, 0x0B, 0x62, 0xF8, 0x01, 0x06, 0x0C, 0xC3, 0x05, 0x07});
    EXPECT_EQ(seen.kinds, "SSSSSS");
    ASSERT_EQ(seen.messages.size(), 6u);
    EXPECT_EQ(seen.messages[0], (Bytes{0xB0, 0x63, 0x0B}));
    EXPECT_EQ(seen.messages[1], (Bytes{0xF8}));
    EXPECT_EQ(seen.messages[2], (Bytes{0xB0, 0x62, 0x01}));
    EXPECT_EQ(seen.messages[3], (Bytes{0xB0, 0x06, 0x0C}));
    EXPECT_EQ(seen.messages[4], (Bytes{0xC3, 0x05}));
    EXPECT_EQ(seen.messages[5], (Bytes{0xC3, 0x07}));
}

TEST(MidiStreamParser, SysExArrivingInPiecesIsReassembled) {
    MidiStreamParser parser;
    Recorder seen(parser);
    Bytes message = {0xF0, 0x00, 0x21, 0x11, 0x02, 0x13};
    for (int i = 0; i < 20000; ++i)
        message.push_back(static_cast<uint8_t>(i % 128));
    message.push_back(0xF7);
    // Pieces of every size, a real-time byte between two of them.
    size_t at = 0;
    int pieces = 0;
    for (size_t piece = 1; at < message.size(); piece = piece * 3 + 1) {
        const size_t n = std::min(piece, message.size() - at);
        parser.Feed(message.data() + at, n);
        at += n;
        if (++pieces == 3) Feed(parser, {0xFE});
        EXPECT_EQ(parser.InSysEx(), at < message.size());
    }
    ASSERT_EQ(seen.kinds, "SX");
    EXPECT_EQ(seen.messages.back(), message);
}

TEST(MidiStreamParser, AStatusByteBreaksOffASysExAndIsStillRead) {
    MidiStreamParser parser;
    Recorder seen(parser);
    // A program write whose data held a byte of 80 or more: the unit sees a note off.
    Feed(parser, {0xF0, 0x00, 0x21, 0x11, 0x03, 0x20, 0x85, 0x40, 0x00, 0xF7});
    EXPECT_EQ(seen.kinds, "BS");
    EXPECT_EQ(seen.brokenAt, (std::vector<size_t>{6}));
    EXPECT_EQ(seen.messages[0], (Bytes{0x85, 0x40, 0x00}));
    EXPECT_EQ(parser.StrayBytes(), 1u) << "the F7 belongs to nothing now";
    // A new F0 before the F7 breaks the first message too.
    Feed(parser, {0xF0, 0x01, 0xF0, 0x02, 0xF7});
    EXPECT_EQ(seen.kinds, "BSBX");
    EXPECT_EQ(seen.messages.back(), (Bytes{0xF0, 0x02, 0xF7}));
}

TEST(MidiStreamParser, OverlongSysExIsDroppedWithoutKeepingIt) {
    MidiStreamParser parser;
    Recorder seen(parser);
    Bytes message(MidiStreamParser::kLargestSysEx + 10, 0x01);
    message.front() = 0xF0;
    message.back() = 0xF7;
    Feed(parser, message);
    EXPECT_EQ(seen.kinds, "L");
    // The parser is ready for the next message.
    Feed(parser, {0xF0, 0x7E, 0xF7});
    EXPECT_EQ(seen.kinds, "LX");
}

TEST(MidiStreamParser, StrayDataAndSystemCommonMessages) {
    MidiStreamParser parser;
    Recorder seen(parser);
    Feed(parser, {0x10, 0x20, 0xF2, 0x01, 0x02, 0x03, 0xF6, 0x90, 0x40, 0x7F});
    EXPECT_EQ(seen.kinds, "SSS");
    EXPECT_EQ(seen.messages[0], (Bytes{0xF2, 0x01, 0x02}));
    EXPECT_EQ(seen.messages[1], (Bytes{0xF6}));
    EXPECT_EQ(seen.messages[2], (Bytes{0x90, 0x40, 0x7F}));
    // The two leading bytes, and the 03 after song position, which cancels running status.
    EXPECT_EQ(parser.StrayBytes(), 3u);
}

}  // namespace
