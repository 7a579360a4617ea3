#include "shell/Preferences.h"

#include <gtest/gtest.h>

#include "shell/FakeRoles.h"

namespace {
using Opened = std::vector<std::pair<MidiRole, std::string>>;

struct PreferencesTest : ::testing::Test {
    // A run that started with a settings file: every channel is 1.
    void StoredNames(const char* unit, const char* keyboard, const char* output) {
        current.SetName(MidiRole::UnitInput, unit);
        current.SetName(MidiRole::KeyboardInput, keyboard);
        current.SetName(MidiRole::Output, output);
        for (MidiRole r : {MidiRole::UnitInput, MidiRole::KeyboardInput, MidiRole::Output}) {
            current.SetChannel(r, 1);
        }
    }

    MidiSettings current, backup;
    FakeRoles roles{current};
    int writes = 0;
    Preferences preferences{current, backup, &roles, [this] { ++writes; }};
};
}  // namespace

TEST_F(PreferencesTest, AChosenPortThatIsMissingStaysChosenAndIsShownAsSuch) {
    StoredNames("Orvo:MIDI 2", "off", "Orvo:MIDI 2");
    preferences.Open();
    EXPECT_STREQ(current.unitInputName, "Orvo:MIDI 2");
    EXPECT_STREQ(current.outputName, "Orvo:MIDI 2");
    EXPECT_EQ(writes, 0);
    const int missing = preferences.MissingItem(MidiRole::Output);
    ASSERT_EQ(missing, static_cast<int>(roles.outputs.size()));
    EXPECT_EQ(preferences.Items(MidiRole::Output)[missing], "Orvo:MIDI 2");
    EXPECT_EQ(preferences.Selected(MidiRole::Output), missing);
    EXPECT_EQ(preferences.MissingItem(MidiRole::KeyboardInput), -1);

    // The port is plugged in: the lists are read again and the name is an ordinary item.
    roles.outputs.push_back("Orvo:MIDI 2");
    roles.listsChanged = true;
    EXPECT_TRUE(preferences.Refresh());
    EXPECT_EQ(preferences.MissingItem(MidiRole::Output), -1);
    EXPECT_EQ(preferences.Selected(MidiRole::Output), 3);
    EXPECT_FALSE(preferences.Refresh());

    // Picking the missing item keeps the name and re-opens the role on it.
    preferences.Select(MidiRole::UnitInput, preferences.MissingItem(MidiRole::UnitInput));
    EXPECT_STREQ(current.unitInputName, "Orvo:MIDI 2");
    EXPECT_EQ(roles.opened.back(),
              (std::pair<MidiRole, std::string>{MidiRole::UnitInput, "Orvo:MIDI 2"}));
}

TEST_F(PreferencesTest, TheSearchLeavesOutTheKeyboardAndItsFindingIsTaken) {
    StoredNames("off", "Keys:out", "off");
    preferences.Open();
    const std::unique_ptr<UnitSearch> search = preferences.NewSearch();
    ASSERT_NE(search, nullptr);
    EXPECT_EQ(search->Inputs(), std::vector<std::string>{"Orvo:MIDI 1"});
    EXPECT_EQ(search->Outputs(), (std::vector<std::string>{"Orvo:MIDI 1", "Other:in"}));
    // The search's own reading of replies: only a good dump of program 1 is the unit.
    const std::vector<uint8_t> request = {0xF0, 0x00, 0x21, 0x11, 0x03, 0x40, 0x00, 0x01, 0xF7};
    EXPECT_EQ(UnitSearch::ClassifyReply(request.data(), request.size()), UnitSearch::Reply::Echo);
    std::vector<uint8_t> dump = {0xF0, 0x00, 0x21, 0x11, 0x03, 0x41, 0x00, 0x01};
    dump.insert(dump.end(), 104, 0x02);
    dump.insert(dump.end(), {0x01, 0x50, 0xF7});  // 208 = 1 * 128 + 80
    EXPECT_EQ(UnitSearch::ClassifyReply(dump.data(), dump.size()), UnitSearch::Reply::UnitDump);
    dump[7] = 0x02;
    EXPECT_EQ(UnitSearch::ClassifyReply(dump.data(), dump.size()), UnitSearch::Reply::DamagedDump);
    const std::vector<uint8_t> stored = {0xF0, 0x00, 0x21, 0x11, 0x03, 0x21, 0xF7};
    EXPECT_EQ(UnitSearch::ClassifyReply(stored.data(), stored.size()), UnitSearch::Reply::Other);

    preferences.TakeFound({"Orvo:MIDI 1", "Orvo:MIDI 1"});
    EXPECT_STREQ(current.outputName, "Orvo:MIDI 1");
    EXPECT_STREQ(current.unitInputName, "Orvo:MIDI 1");
    EXPECT_STREQ(current.keyboardInputName, "Keys:out");
    EXPECT_EQ(roles.opened.size(), 2u);
    // The unit answered the search: the status's last answer is now.
    EXPECT_EQ(roles.unitAnswers, 1);
}

TEST_F(PreferencesTest, OpeningSelectsStoredNamesAndTurnsUnknownOnesOff) {
    StoredNames("orvo:midi 1", "no input", "Other:in");
    preferences.Open();
    EXPECT_EQ(preferences.Items(MidiRole::KeyboardInput), roles.inputs);
    EXPECT_EQ(preferences.Items(MidiRole::Output), roles.outputs);
    EXPECT_EQ(preferences.Selected(MidiRole::UnitInput), 1);  // found regardless of case
    EXPECT_STREQ(current.unitInputName, "orvo:midi 1");
    EXPECT_EQ(preferences.Selected(MidiRole::KeyboardInput), 0);
    EXPECT_STREQ(current.keyboardInputName, "off");
    EXPECT_EQ(preferences.Selected(MidiRole::Output), 2);
    EXPECT_EQ(writes, 1);
    EXPECT_TRUE(roles.opened.empty());
    EXPECT_TRUE(backup.SameAs(current));
}

TEST_F(PreferencesTest, WithoutPortObjectsOnlyTheVirtualOrvoIsOfferedAndNeverSearched) {
    // What the link lists without a MIDI system.
    roles.hasObjects = false;
    roles.inputs = roles.outputs = {"off", "Virtual Orvo"};
    StoredNames("Orvo:MIDI 1", "off", "Orvo:MIDI 1");
    preferences.Open();
    // The chosen port is kept, shown as missing after the two the link offers.
    EXPECT_EQ(preferences.Items(MidiRole::UnitInput),
              (std::vector<std::string>{"off", "Virtual Orvo", "Orvo:MIDI 1"}));
    EXPECT_EQ(preferences.Selected(MidiRole::Output), 2);
    EXPECT_STREQ(current.outputName, "Orvo:MIDI 1");
    EXPECT_EQ(writes, 0);
    EXPECT_TRUE(backup.SameAs(current));
    EXPECT_EQ(preferences.NewSearch(), nullptr);
    // It plays no keys: the keyboard's list leaves it out.
    EXPECT_EQ(preferences.Items(MidiRole::KeyboardInput), std::vector<std::string>{"off"});

    preferences.Select(MidiRole::Output, 1);
    EXPECT_STREQ(current.outputName, "Virtual Orvo");
    EXPECT_EQ(roles.opened.back(),
              (std::pair<MidiRole, std::string>{MidiRole::Output, "Virtual Orvo"}));
}

TEST_F(PreferencesTest, TheSearchNeverAsksTheVirtualOrvo) {
    roles.inputs.push_back("Virtual Orvo");
    roles.outputs.push_back("Virtual Orvo");
    preferences.Open();
    const std::unique_ptr<UnitSearch> search = preferences.NewSearch();
    ASSERT_NE(search, nullptr);
    for (const std::string& name : search->Inputs())
        EXPECT_NE(name, "Virtual Orvo");
    for (const std::string& name : search->Outputs())
        EXPECT_NE(name, "Virtual Orvo");
}

TEST_F(PreferencesTest, APickOpensThePortAtOnceAndOnePortNeverServesBothInputs) {
    preferences.Open();  // a first run: "off" everywhere, channels 0
    preferences.Select(MidiRole::UnitInput, 1);
    preferences.Select(MidiRole::KeyboardInput, 1);  // the same port: this role gives way
    preferences.Select(MidiRole::Output, 1);
    EXPECT_EQ(roles.opened, (Opened{{MidiRole::UnitInput, "Orvo:MIDI 1"},
                                    {MidiRole::KeyboardInput, "off"},
                                    {MidiRole::Output, "Orvo:MIDI 1"}}));
    EXPECT_STREQ(current.unitInputName, "Orvo:MIDI 1");
    EXPECT_STREQ(current.keyboardInputName, "off");
    EXPECT_EQ(preferences.Selected(MidiRole::KeyboardInput), 1);  // the list keeps the pick
    EXPECT_EQ(current.unitInputChannel, 1);
    EXPECT_EQ(current.keyboardInputChannel, 1);
    EXPECT_EQ(current.outputChannel, 1);
    preferences.Select(MidiRole::Output, 7);  // no such item
    EXPECT_EQ(roles.opened.size(), 3u);
}

TEST_F(PreferencesTest, CancelPutsBackTheSettingsAndThePortsTheyName) {
    StoredNames("Orvo:MIDI 1", "Keys:out", "Orvo:MIDI 1");
    preferences.Open();
    preferences.Select(MidiRole::Output, 2);
    preferences.Select(MidiRole::KeyboardInput, 0);
    roles.opened.clear();
    preferences.Cancel();
    EXPECT_STREQ(current.outputName, "Orvo:MIDI 1");
    EXPECT_STREQ(current.keyboardInputName, "Keys:out");
    // Only the roles that changed, each on the restored name.
    EXPECT_EQ(roles.opened,
              (Opened{{MidiRole::KeyboardInput, "Keys:out"}, {MidiRole::Output, "Orvo:MIDI 1"}}));
    EXPECT_TRUE(current.SameAs(backup));
    EXPECT_EQ(writes, 0);
}

TEST_F(PreferencesTest, CancelOnAFirstRunClosesTheOutputItOpened) {
    preferences.Open();
    preferences.Select(MidiRole::Output, 1);
    EXPECT_EQ(current.outputChannel, 1);
    preferences.Cancel();
    EXPECT_STREQ(current.outputName, "off");
    EXPECT_EQ(current.outputChannel, 0);
    EXPECT_EQ(roles.opened.back(), (std::pair<MidiRole, std::string>{MidiRole::Output, "off"}));
}

TEST_F(PreferencesTest, CancelWithoutChangesTouchesNothing) {
    StoredNames("Orvo:MIDI 1", "off", "Other:in");
    preferences.Open();
    preferences.Cancel();
    EXPECT_TRUE(roles.opened.empty());
    EXPECT_EQ(writes, 0);
    EXPECT_STREQ(current.outputName, "Other:in");
}

TEST_F(PreferencesTest, AFastInterfaceReopensTheOutputAtItsPaceAndCancelTakesItBack) {
    StoredNames("Orvo:MIDI 1", "off", "Orvo:MIDI 1");
    preferences.Open();
    roles.opened.clear();
    EXPECT_FALSE(preferences.FastInterface());
    preferences.SetFastInterface(true);
    EXPECT_TRUE(current.fastInterface);
    EXPECT_EQ(roles.opened, (Opened{{MidiRole::Output, "Orvo:MIDI 1"}}));
    preferences.SetFastInterface(true);
    EXPECT_EQ(roles.opened.size(), 1u) << "no change, no re-opening";
    preferences.Cancel();
    EXPECT_FALSE(current.fastInterface);
    EXPECT_EQ(roles.opened.size(), 2u) << "the output is back at the cable's pace";
}
