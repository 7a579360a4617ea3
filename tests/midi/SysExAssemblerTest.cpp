#include "midi/SysExAssembler.h"

#include <gtest/gtest.h>

#include <vector>

namespace {
using Bytes = std::vector<uint8_t>;

Bytes SysEx(size_t size, uint8_t fill = 0x11) {
    Bytes bytes(size, fill);
    for (size_t i = 1; i + 1 < size; ++i)
        bytes[i] = static_cast<uint8_t>(i % 128);
    bytes.front() = 0xF0;
    bytes.back() = 0xF7;
    return bytes;
}

Bytes Feed(SysExAssembler& assembler, const Bytes& delivery) {
    const auto whole = assembler.Feed(delivery.data(), delivery.size());
    return Bytes(whole.bytes, whole.bytes + whole.size);
}

// Feeds the message in pieces of the given size and returns what came out, piece by piece.
std::vector<Bytes> FeedInPieces(SysExAssembler& assembler, const Bytes& message, size_t piece) {
    std::vector<Bytes> out;
    for (size_t at = 0; at < message.size(); at += piece) {
        const size_t n = std::min(piece, message.size() - at);
        Bytes whole = Feed(assembler, Bytes(message.begin() + at, message.begin() + at + n));
        if (!whole.empty()) out.push_back(whole);
    }
    return out;
}
}  // namespace

TEST(SysExAssembler, WholeMessagesPassUntouched) {
    SysExAssembler assembler;
    const Bytes note{0x90, 0x3C, 0x40};
    const auto passed = assembler.Feed(note.data(), note.size());
    EXPECT_EQ(passed.bytes, note.data());  // no copy for the common case
    EXPECT_EQ(passed.size, 3u);
    EXPECT_EQ(Feed(assembler, SysEx(115)), SysEx(115));
    EXPECT_FALSE(assembler.IsOpen());
}

TEST(SysExAssembler, MessageInPiecesArrivesOnceAndWhole) {
    SysExAssembler assembler;
    const Bytes firmware = SysEx(91441);
    for (size_t piece : {1024u, 1u, 91440u}) {
        const auto out = FeedInPieces(assembler, firmware, piece);
        ASSERT_EQ(out.size(), 1u) << "piece " << piece;
        EXPECT_EQ(out[0], firmware) << "piece " << piece;
    }
    // A lone closing F7, as some back ends deliver it.
    Feed(assembler, Bytes{0xF0, 0x00, 0x21});
    EXPECT_EQ(Feed(assembler, Bytes{0xF7}), (Bytes{0xF0, 0x00, 0x21, 0xF7}));
    EXPECT_EQ(assembler.DroppedCount(), 0u);
}

TEST(SysExAssembler, RealTimeBytesInsideAMessagePassWithoutBreakingIt) {
    SysExAssembler assembler;
    Feed(assembler, Bytes{0xF0, 0x01, 0x02});
    EXPECT_EQ(Feed(assembler, Bytes{0xFA}), Bytes{0xFA});
    EXPECT_EQ(Feed(assembler, Bytes{0x03, 0xF7}), (Bytes{0xF0, 0x01, 0x02, 0x03, 0xF7}));
}

TEST(SysExAssembler, MessageCutShortByAnotherIsDropped) {
    SysExAssembler assembler;
    Feed(assembler, Bytes{0xF0, 0x01, 0x02});
    EXPECT_EQ(Feed(assembler, Bytes{0x90, 0x3C, 0x40}), (Bytes{0x90, 0x3C, 0x40}));
    EXPECT_EQ(assembler.DroppedCount(), 1u);
    EXPECT_FALSE(assembler.IsOpen());
    // A new F0 abandons the open message as well, and is collected itself.
    Feed(assembler, Bytes{0xF0, 0x05});
    EXPECT_TRUE(Feed(assembler, Bytes{0xF0, 0x06}).empty());
    EXPECT_EQ(Feed(assembler, Bytes{0x07, 0xF7}), (Bytes{0xF0, 0x06, 0x07, 0xF7}));
    EXPECT_EQ(assembler.DroppedCount(), 2u);
}

TEST(SysExAssembler, OverlongMessageIsDroppedToItsEnd) {
    SysExAssembler assembler(64);
    EXPECT_TRUE(FeedInPieces(assembler, SysEx(200), 50).empty());
    EXPECT_EQ(assembler.DroppedCount(), 1u);
    EXPECT_FALSE(assembler.IsOpen());
    // A first piece over the limit on its own.
    EXPECT_TRUE(FeedInPieces(assembler, SysEx(200), 100).empty());
    EXPECT_EQ(Feed(assembler, SysEx(60)), SysEx(60));
    // Stray data bytes with nothing open are handed on as they came.
    EXPECT_EQ(Feed(assembler, Bytes{0x01, 0x02}), (Bytes{0x01, 0x02}));
}
