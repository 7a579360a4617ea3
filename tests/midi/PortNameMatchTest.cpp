#include "midi/PortNameMatch.h"

#include <gtest/gtest.h>

TEST(PortNameMatch, StoredNamesMatchExactlyOrByTheirKeptBeginning) {
    EXPECT_TRUE(PortNameMatches("Orvo:MIDI 1", "Orvo:MIDI 1"));
    EXPECT_FALSE(PortNameMatches("Orvo:MIDI 1", "Orvo:MIDI 10"));
    EXPECT_FALSE(PortNameMatches("orvo:midi 1", "Orvo:MIDI 1"));
    EXPECT_FALSE(PortNameMatches("", "Orvo:MIDI 1"));

    const std::string longName = std::string(120, 'p') + "\xC3\xA9";
    const std::string kept = longName.substr(0, 99);
    EXPECT_TRUE(PortNameMatches(kept.c_str(), longName));
    EXPECT_FALSE(PortNameMatches(kept.substr(0, 98).c_str(), longName));
}

TEST(PortNameMatch, OwnPortsAreRecognisedUnderBothBackEnds) {
    const std::string client = "RtMidi Output Client";
    const std::string port = "RtMidi Output";
    EXPECT_TRUE(IsOwnPortName("RtMidi Output Client:RtMidi Output", client, port));
    EXPECT_TRUE(IsOwnPortName("RtMidi Output Client-01:RtMidi Output", client, port));
    EXPECT_TRUE(IsOwnPortName("RtMidi Output Client:RtMidi Output 128:0", client, port));

    EXPECT_FALSE(IsOwnPortName("RtMidi Output Client:RtMidi Output2", client, port));
    EXPECT_FALSE(IsOwnPortName("RtMidi Output Client-x:RtMidi Output", client, port));
    EXPECT_FALSE(IsOwnPortName("RtMidi Output Clients:RtMidi Output", client, port));
    EXPECT_FALSE(IsOwnPortName("Orvo:RtMidi Output", client, port));
    EXPECT_FALSE(IsOwnPortName("RtMidi Output Client:RtMidi Output 128", client, port));
}
