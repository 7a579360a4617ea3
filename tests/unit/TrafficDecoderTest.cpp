#include "unit/TrafficDecoder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {
using Bytes = std::vector<uint8_t>;

std::string Line(TrafficDecoder& decoder, const Bytes& bytes, int stream = 2) {
    return decoder.Describe(stream, bytes.data(), bytes.size(), bytes.size());
}
}  // namespace

TEST(TrafficDecoder, ParameterChangesReadAsNameAndValueWhateverStreamTheyCameOn) {
    TrafficDecoder decoder;
    // VCO1 coarse (address 11/1, offset 12) set to 0, then VCO1 fine (11/2, offset 63) to -3.
    EXPECT_EQ(Line(decoder, {0xB0, 0x63, 0x0B}), "address MSB 11  [B0 63 0B]");
    EXPECT_EQ(Line(decoder, {0xB0, 0x62, 0x01}), "address LSB 1  [B0 62 01]");
    EXPECT_EQ(Line(decoder, {0xB0, 0x06, 0x0C}), "VCO1 coarse = 0  [B0 06 0C]");
    EXPECT_EQ(Line(decoder, {0xB0, 0x62, 0x02}), "address LSB 2  [B0 62 02]");
    EXPECT_EQ(Line(decoder, {0xB0, 0x06, 0x3C}), "VCO1 fine = -3  [B0 06 3C]");
    // Another stream has its own address: a lone data entry there names nothing yet.
    EXPECT_EQ(Line(decoder, {0xB0, 0x06, 0x05}, 1), "data entry 5, no address yet  [B0 06 05]");

    // The update bracket (10/1), and the effect addresses following the effect type sent.
    for (const Bytes& b : {Bytes{0xB0, 0x63, 0x0A}, Bytes{0xB0, 0x62, 0x01}})
        Line(decoder, b);
    EXPECT_EQ(Line(decoder, {0xB0, 0x06, 0x00}), "update begins  [B0 06 00]");
    for (const Bytes& b : {Bytes{0xB0, 0x63, 0x15}, Bytes{0xB0, 0x62, 0x01}})
        Line(decoder, b);
    EXPECT_EQ(Line(decoder, {0xB0, 0x06, 0x02}), "EFFECT Type = 2 (overdrive)  [B0 06 02]");
    Line(decoder, {0xB0, 0x62, 0x05});
    EXPECT_EQ(Line(decoder, {0xB0, 0x06, 0x00}), "Level = -6  [B0 06 00]");

    EXPECT_EQ(Line(decoder, {0x90, 0x3C, 0x64}), "note on 60, velocity 100  [90 3C 64]");
    EXPECT_EQ(Line(decoder, {0x90, 0x3C, 0x00}), "note off 60  [90 3C 00]");
    EXPECT_EQ(Line(decoder, {0xF8}), "F8");
}

TEST(TrafficDecoder, SystemExclusiveMessagesOfTheUnitAreNamed) {
    TrafficDecoder decoder;
    EXPECT_EQ(Line(decoder, {0xF0, 0x00, 0x21, 0x11, 0x03, 0x40, 0x00, 0x0C, 0xF7}),
              "dump request for 12");
    // A program of 104 bytes of 01: the sum 104 travels as 00 68.
    Bytes dump = {0xF0, 0x00, 0x21, 0x11, 0x03, 0x41, 0x00, 0x0C};
    dump.insert(dump.end(), 104, 0x01);
    dump.insert(dump.end(), {0x00, 0x68, 0xF7});
    EXPECT_EQ(Line(decoder, dump), "dump of 12, checksum good");
    dump[113] = 0x69;
    EXPECT_EQ(Line(decoder, dump), "dump of 12, checksum bad");
    dump[5] = 0x20;
    dump[113] = 0x68;
    EXPECT_EQ(Line(decoder, dump), "program write 12, checksum good");

    // Replies are known by their length, whatever the family byte.
    EXPECT_EQ(Line(decoder, {0xF0, 0x00, 0x21, 0x11, 0x02, 0x21, 0xF7}),
              "status reply 21 (program stored)");
    EXPECT_EQ(Line(decoder, {0xF0, 0x00, 0x21, 0x11, 0x03, 0x15, 0xF7}),
              "status reply 15 (update failed)");
    EXPECT_EQ(Line(decoder, {0xF0, 0x00, 0x21, 0x11, 0x02, 0x10, 0xF7}), "firmware update start");

    // The monitor keeps only the beginning of a firmware image; the length still shows.
    const Bytes start = {0xF0, 0x00, 0x21, 0x11, 0x02, 0x13, 0x05, 0x24};
    EXPECT_EQ(decoder.Describe(2, start.data(), start.size(), 91441), "firmware data, 91441 bytes");
    const Bytes foreign = {0xF0, 0x7E, 0x7F, 0x06, 0x01, 0xF7};
    EXPECT_EQ(Line(decoder, foreign), "F0 7E 7F 06 01 F7");
}
