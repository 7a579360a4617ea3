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

// Port lists as RtMidi's ALSA back end reports them: "client:port client-number:port-number".
TEST(PortNameMatch, AStoredAlsaNameFindsItsPortWhateverNumbersTheSequencerGaveIt) {
    const std::vector<std::string> beforeReplug = {"off", "Midi Through:Midi Through Port-0 14:0",
                                                   "Orvo:Orvo MIDI 1 24:0",
                                                   "USB Keys:USB Keys MIDI 1 28:0"};
    const std::vector<std::string> afterReplug = {"off", "Midi Through:Midi Through Port-0 14:0",
                                                  "USB Keys:USB Keys MIDI 1 24:0",
                                                  "Orvo:Orvo MIDI 1 32:0"};
    EXPECT_EQ(FindStoredPort("Orvo:Orvo MIDI 1 24:0", beforeReplug), 2);
    // Plugged in again: the unit's port moved to 32, and 24 is now the keyboard's.
    EXPECT_EQ(FindStoredPort("Orvo:Orvo MIDI 1 24:0", afterReplug), 3);
    EXPECT_EQ(FindStoredPort("USB Keys:USB Keys MIDI 1 28:0", afterReplug), 2);
    // A name kept without numbers finds the numbered port too.
    EXPECT_EQ(FindStoredPort("Orvo:Orvo MIDI 1", afterReplug), 3);
    EXPECT_EQ(FindStoredPort("Orvo:Orvo MIDI 2 24:1", afterReplug), -1);
    EXPECT_EQ(FindStoredPort("Orvo:Orvo MIDI", afterReplug), -1);
}

TEST(PortNameMatch, NumbersChooseOnlyBetweenPortsThatDifferByThemAlone) {
    // Two alike interfaces: the stored numbers pick the one the user chose.
    const std::vector<std::string> twoAlike = {"off", "UM-ONE:UM-ONE MIDI 1 20:0",
                                               "UM-ONE:UM-ONE MIDI 1 24:0"};
    EXPECT_EQ(FindStoredPort("UM-ONE:UM-ONE MIDI 1 24:0", twoAlike), 2);
    EXPECT_EQ(FindStoredPort("UM-ONE:UM-ONE MIDI 1 20:0", twoAlike), 1);
    // Both renumbered: the one on the stored port number, else the first.
    const std::vector<std::string> renumbered = {"off", "Hub:Hub Port 36:0", "Hub:Hub Port 40:1"};
    EXPECT_EQ(FindStoredPort("Hub:Hub Port 20:1", renumbered), 2);
    EXPECT_EQ(FindStoredPort("Hub:Hub Port 20:5", renumbered), 1);

    // JACK names carry no numbers and match exactly; a trailing word is no address.
    const std::vector<std::string> jack = {"off", "orvo:out", "orvo:out 2"};
    EXPECT_EQ(FindStoredPort("orvo:out", jack), 1);
    EXPECT_EQ(FindStoredPort("orvo:out 2", jack), 2);
    EXPECT_EQ(WithoutAlsaAddress("orvo:out 2"), "orvo:out 2");
    EXPECT_EQ(WithoutAlsaAddress("Orvo:Orvo MIDI 1 24:0"), "Orvo:Orvo MIDI 1");
}
