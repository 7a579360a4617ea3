#include "unit/FirmwareMessages.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

TEST(FirmwareMessages, StartAndTheEmptyImage) {
    EXPECT_EQ(BuildFirmwareStart(), (Bytes{0xF0, 0x00, 0x21, 0x11, 0x02, 0x10, 0xF7}));
    // The payload of an empty image is the closing 00 alone.
    EXPECT_EQ(BuildFirmwareData(nullptr, 0), (Bytes{0xF0, 0x00, 0x21, 0x11, 0x02, 0x13, 0x00, 0x00,
                                                    0x01, 0x00, 0x00, 0x00, 0xF7}));
}

TEST(FirmwareMessages, SevenBytesBecomeEightSevenBitBytes) {
    const Bytes image(7, 0xFF);
    // Payload 8 x 7F and 00; sum 1016 = 7 * 128 + 120.
    EXPECT_EQ(BuildFirmwareData(image.data(), image.size()),
              (Bytes{0xF0, 0x00, 0x21, 0x11, 0x02, 0x13, 0x00, 0x00, 0x09, 0x7F, 0x7F,
                     0x7F, 0x7F, 0x7F, 0x7F, 0x7F, 0x7F, 0x00, 0x07, 0x78, 0xF7}));
}

TEST(FirmwareMessages, GroupsAreBigEndianAndTheTailKeepsItsLowBits) {
    const Bytes image = {0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0xAB, 0xCD, 0xEF};
    EXPECT_EQ(BuildFirmwareData(image.data(), image.size()),
              (Bytes{0xF0, 0x00, 0x21, 0x11, 0x02, 0x13, 0x00, 0x00, 0x0C,
                     0x00, 0x40, 0x40, 0x30, 0x20, 0x14, 0x0C, 0x07,  // 01..07
                     0x2F, 0x1B, 0x6F,                                // AB CD EF
                     0x00, 0x03, 0x30, 0xF7}));
}

TEST(FirmwareMessages, TheFlashTakesEightyThousandBytesAndNoMore) {
    const Bytes largest(80000, 0x5A);
    const std::optional<Bytes> message = BuildFirmwareData(largest.data(), largest.size());
    ASSERT_TRUE(message);
    ASSERT_EQ(message->size(), 91441u);
    // L = 91429 as three 7-bit digits.
    EXPECT_EQ((*message)[6], 91429 >> 14);
    EXPECT_EQ((*message)[7], (91429 >> 7) & 0x7F);
    EXPECT_EQ((*message)[8], 91429 & 0x7F);
    for (size_t i = 1; i + 1 < message->size(); ++i)
        ASSERT_LE((*message)[i], 0x7F) << i;
    EXPECT_EQ(message->back(), 0xF7);
    const Bytes tooLarge(80001, 0x5A);
    EXPECT_FALSE(BuildFirmwareData(tooLarge.data(), tooLarge.size()));
}

}  // namespace
