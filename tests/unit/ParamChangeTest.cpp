#include "unit/ParamChange.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

Bytes Wire(int position, int value, int previous) {
    const ParamChange change = EncodeParamChange(position, value, previous);
    Bytes bytes;
    for (int i = 0; i < change.count; ++i) {
        const MidiMessage& m = change.messages[static_cast<size_t>(i)];
        bytes.insert(bytes.end(), {m.status, m.data1, m.data2});
    }
    return bytes;
}

TEST(ParamChange, AfterResetBothAddressBytesAndTheOffsetValueAreSent) {
    // "VCO1 coarse" at -12 is the byte 0 on the wire; address 11/1.
    EXPECT_EQ(Wire(0, -12, kNoPreviousPosition),
              (Bytes{0xB0, 0x63, 0x0B, 0xB0, 0x62, 0x01, 0xB0, 0x06, 0x00}));
    // A panel-side key is no address either.
    EXPECT_EQ(Wire(0, 0, 140), (Bytes{0xB0, 0x63, 0x0B, 0xB0, 0x62, 0x01, 0xB0, 0x06, 0x0C}));
}

TEST(ParamChange, AddressBytesTheUnitStillHoldsAreLeftOut) {
    EXPECT_EQ(Wire(0, 5, 0), (Bytes{0xB0, 0x06, 0x11}));
    // Position 1 after 0: same MSB 11, new LSB 2.
    EXPECT_EQ(Wire(1, 0, 0), (Bytes{0xB0, 0x62, 0x02, 0xB0, 0x06, 0x3F}));
    // Different MSB, same LSB: both are sent, since the unit pairs them.
    EXPECT_EQ(Wire(12, 0, 0), (Bytes{0xB0, 0x63, 0x0C, 0xB0, 0x62, 0x01, 0xB0, 0x06, 0x0C}));
}

TEST(ParamChange, AfterEffectTypeTheFullAddressIsSentEvenWithinTheEffectMsb) {
    EXPECT_EQ(Wire(90, 7, 89), (Bytes{0xB0, 0x63, 0x15, 0xB0, 0x62, 0x02, 0xB0, 0x06, 0x07}));
    // 89 after 90 shares MSB 21: only the LSB.
    EXPECT_EQ(Wire(89, 3, 90), (Bytes{0xB0, 0x62, 0x01, 0xB0, 0x06, 0x03}));
    // Overdrive "Level" -6..6 rides on 21/5 as 0..12.
    EXPECT_EQ(Wire(107, -6, 106), (Bytes{0xB0, 0x62, 0x05, 0xB0, 0x06, 0x00}));
}

TEST(ParamChange, UpdateBracketIsAddressTenOne) {
    EXPECT_EQ(Wire(122, 0, kNoPreviousPosition),
              (Bytes{0xB0, 0x63, 0x0A, 0xB0, 0x62, 0x01, 0xB0, 0x06, 0x00}));
    EXPECT_EQ(Wire(122, 1, 122), (Bytes{0xB0, 0x06, 0x01}));
}

TEST(ParamChange, ValuesOutsideTheRangeNeverBecomeStatusBytes) {
    // "VCO1 fine" -63..63 with offset 63: 100 would be 163 (A3), a status byte to the unit.
    EXPECT_EQ(Wire(1, 100, 1), (Bytes{0xB0, 0x06, 0x7E}));
    EXPECT_EQ(Wire(1, -200, 1), (Bytes{0xB0, 0x06, 0x00}));
    for (int position = 0; position <= 122; ++position) {
        for (int value : {-1000, -64, 0, 127, 1000}) {
            const Bytes bytes = Wire(position, value, kNoPreviousPosition);
            ASSERT_EQ(bytes.size(), 9u);
            for (size_t i = 1; i < bytes.size(); i += 3) {
                EXPECT_LE(bytes[i + 1], 0x7F) << "position " << position << " value " << value;
            }
        }
    }
}

}  // namespace
