#include "unit/UnitMessages.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

TEST(UnitMessages, DumpRequestBytesAndRefusedNumbers) {
    EXPECT_EQ(BuildDumpRequest(7), (Bytes{0xF0, 0x00, 0x21, 0x11, 0x03, 0x40, 0x00, 0x07, 0xF7}));
    EXPECT_EQ(BuildDumpRequest(99)->at(7), 99);
    EXPECT_FALSE(BuildDumpRequest(0));
    EXPECT_FALSE(BuildDumpRequest(100));
}

TEST(UnitMessages, ProgramWriteOfAnAllZeroBlockHasChecksumZero) {
    const ProgramBlock zeros{};
    const std::optional<Bytes> write = BuildProgramWrite(1, zeros);
    ASSERT_TRUE(write);
    ASSERT_EQ(write->size(), 115u);
    EXPECT_EQ(Bytes(write->begin(), write->begin() + 8),
              (Bytes{0xF0, 0x00, 0x21, 0x11, 0x03, 0x20, 0x00, 0x01}));
    EXPECT_EQ((*write)[112], 0x00);
    EXPECT_EQ((*write)[113], 0x00);
    EXPECT_EQ((*write)[114], 0xF7);
}

TEST(UnitMessages, ChecksumSplitsTheSumIntoSevenBitHalves) {
    ProgramBlock block{};
    block.fill(127);  // the largest sum, 13208 = 103 * 128 + 24
    EXPECT_EQ(ProgramChecksum(block), (Checksum7{103, 24}));
    block = {};
    block[0] = 0x7F;
    block[103] = 0x01;
    EXPECT_EQ(ProgramChecksum(block), (Checksum7{0x01, 0x00}));
}

TEST(UnitMessages, ProgramWriteIsNeverBuiltForABadNumberOrAStatusByte) {
    ProgramBlock block{};
    EXPECT_FALSE(BuildProgramWrite(0, block));
    EXPECT_FALSE(BuildProgramWrite(100, block));
    block[50] = 0x80;
    EXPECT_FALSE(BuildProgramWrite(5, block));
}

Bytes Dump(const ProgramBlock& block, int program) {
    Bytes dump = *BuildProgramWrite(program, block);
    dump[5] = kCodeProgramDump;
    return dump;
}

TEST(UnitMessages, DumpCheckAcceptsTheUnitsChecksumAndRefusesAnyOther) {
    ProgramBlock block{};
    for (size_t i = 0; i < block.size(); ++i)
        block[i] = static_cast<uint8_t>((i * 37) % 128);
    Bytes dump = Dump(block, 12);
    EXPECT_TRUE(IsProgramDump(dump.data(), dump.size()));
    EXPECT_TRUE(DumpChecksumMatches(dump.data(), dump.size()));
    dump[113] ^= 0x01;
    EXPECT_FALSE(DumpChecksumMatches(dump.data(), dump.size()));
    dump[113] ^= 0x01;
    dump[40] ^= 0x01;
    EXPECT_FALSE(DumpChecksumMatches(dump.data(), dump.size()));
    // A program write is not a dump, and a short message is neither.
    const Bytes write = *BuildProgramWrite(12, block);
    EXPECT_FALSE(IsProgramDump(write.data(), write.size()));
    EXPECT_FALSE(DumpChecksumMatches(dump.data(), 114));
}

TEST(UnitMessages, DumpCheckSumsBytesAsSigned) {
    // A byte of 80 counts as -128: the sum 0 - 128 has the halves 7F and 00.
    Bytes dump = Dump(ProgramBlock{}, 3);
    dump[8] = 0x80;
    dump[112] = 0x7F;
    dump[113] = 0x00;
    EXPECT_TRUE(DumpChecksumMatches(dump.data(), dump.size()));
}

TEST(UnitMessages, StatusRepliesAreKnownByLengthAlone) {
    const Bytes stored = {0xF0, 0x00, 0x21, 0x11, 0x03, 0x21, 0xF7};
    EXPECT_EQ(StatusReplyCode(stored.data(), stored.size()), kReplyProgramStored);
    // A 22 with the firmware family byte is still a refusal.
    const Bytes refused = {0xF0, 0x00, 0x21, 0x11, 0x02, 0x22, 0xF7};
    EXPECT_EQ(StatusReplyCode(refused.data(), refused.size()), kReplyProgramNotStored);
    const Bytes nine = {0xF0, 0x00, 0x21, 0x11, 0x03, 0x21, 0x00, 0x00, 0xF7};
    EXPECT_FALSE(StatusReplyCode(nine.data(), nine.size()));
}

}  // namespace
