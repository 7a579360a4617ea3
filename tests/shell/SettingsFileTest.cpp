#include "shell/SettingsFile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "midi/MidiSettings.h"
#include "shell/ShellTestSupport.h"
#include "support/TempDir.h"

namespace {
struct SettingsFileTest : ::testing::Test {
    TempDir dir;
    ScopedEnv configHome{"XDG_CONFIG_HOME", dir.Path()};
    MidiSettings settings;
    SettingsFile file;

    std::string Path() const { return dir.Path() + "/OrvodyneEditor/settings.ini"; }
    void WriteFile(const std::string& text) {
        std::filesystem::create_directories(dir.Path() + "/OrvodyneEditor");
        TempDir::Write(Path(), text);
    }
};
}  // namespace

TEST_F(SettingsFileTest, FirstRunCreatesTheFolderAndKeepsTheInitialRecord) {
    ASSERT_TRUE(file.Load(settings));
    EXPECT_TRUE(std::filesystem::is_directory(dir.Path() + "/OrvodyneEditor"));
    EXPECT_FALSE(std::filesystem::exists(Path()));
    EXPECT_EQ(file.Path(), Path());
    EXPECT_EQ(file.Folder(), dir.Path() + "/OrvodyneEditor");
    EXPECT_STREQ(settings.outputName, "off");
    EXPECT_EQ(settings.outputChannel, 0);
    ASSERT_TRUE(file.WriteSettings(settings));
    EXPECT_EQ(TempDir::Read(Path()), "[midi]\nindev=off\ninBdev=off\noutdev=off\n");
}

TEST_F(SettingsFileTest, AStoredFileGivesNamesDefaultsAndChannelOne) {
    WriteFile("[MIDI]\r\nOUTDEV = Orvo:MIDI 1 \r\n[gui]\r\nguiscale=0.85\r\n");
    ASSERT_TRUE(file.Load(settings));
    EXPECT_STREQ(settings.outputName, "Orvo:MIDI 1");
    EXPECT_STREQ(settings.unitInputName, "no input");
    EXPECT_STREQ(settings.keyboardInputName, "no input");
    EXPECT_EQ(settings.unitInputChannel, 1);
    EXPECT_EQ(settings.keyboardInputChannel, 1);
    EXPECT_EQ(settings.outputChannel, 1);
    // Writing keeps the other sections as they were.
    settings.SetName(MidiRole::UnitInput, "off");
    settings.SetName(MidiRole::KeyboardInput, "off");
    ASSERT_TRUE(file.WriteSettings(settings));
    const std::string text = TempDir::Read(Path());
    EXPECT_NE(text.find("guiscale=0.85"), std::string::npos);
    EXPECT_NE(text.find("indev=off"), std::string::npos);
    EXPECT_NE(text.find("inBdev=off"), std::string::npos);
}

TEST_F(SettingsFileTest, BadFilesGiveBoundedNamesAndNoHarm) {
    const std::string overlong(5000, 'x');
    for (const std::string& text : {std::string(), std::string("\0\xff\x01[midi\n=\n\0", 11),
                                    "[midi]\nindev=" + overlong + "\n", std::string(3 << 20, '['),
                                    std::string("[midi]\noutdev=\xC3\xA9\xFF port\n")}) {
        WriteFile(text);
        MidiSettings record;
        SettingsFile loaded;
        ASSERT_TRUE(loaded.Load(record));
        for (MidiRole role : {MidiRole::UnitInput, MidiRole::KeyboardInput, MidiRole::Output}) {
            EXPECT_LE(std::strlen(record.Name(role)), 99u);
        }
    }
}

TEST(SettingsFolder, ComesFromTheXdgVariablesOrIsMissing) {
    {
        ScopedEnv config("XDG_CONFIG_HOME", "");
        ScopedEnv home("HOME", "/home/someone");
        EXPECT_EQ(SettingsFile::ConfigFolder(), "/home/someone/.config");
    }
    ScopedEnv config("XDG_CONFIG_HOME", std::nullopt);
    ScopedEnv home("HOME", std::nullopt);
    EXPECT_FALSE(SettingsFile::ConfigFolder());
    MidiSettings settings;
    SettingsFile file;
    EXPECT_FALSE(file.Load(settings));
}

TEST(SettingsFolder, TheCacheFolderIsMadeInTheXdgCacheOrHomeOrIsMissing) {
    TempDir dir;
    {
        ScopedEnv cache("XDG_CACHE_HOME", dir.Path() + "/xdg");
        EXPECT_EQ(SettingsFile::CacheFolder(), dir.Path() + "/xdg/orvo-editor");
        EXPECT_TRUE(std::filesystem::is_directory(dir.Path() + "/xdg/orvo-editor"));
    }
    ScopedEnv cache("XDG_CACHE_HOME", "");
    {
        ScopedEnv home("HOME", dir.Path());
        EXPECT_EQ(SettingsFile::CacheFolder(), dir.Path() + "/.cache/orvo-editor");
        // A file where the folder should be: no folder, and the start goes on without one.
        std::ofstream(dir.Path() + "/blocked") << "x";
        ScopedEnv blocked("XDG_CACHE_HOME", dir.Path() + "/blocked");
        EXPECT_FALSE(SettingsFile::CacheFolder());
    }
    ScopedEnv home("HOME", std::nullopt);
    EXPECT_FALSE(SettingsFile::CacheFolder());
}

TEST(SettingsFolder, APathOfAnyLengthWorks) {
    TempDir dir;
    std::string deep = dir.Path();
    while (deep.size() < 400)
        deep += "/a-rather-long-folder-name";
    ScopedEnv config("XDG_CONFIG_HOME", deep);
    MidiSettings settings;
    SettingsFile file;
    ASSERT_TRUE(file.Load(settings));
    EXPECT_GT(file.Path().size(), 199u);
    settings.SetName(MidiRole::Output, "Orvo:MIDI 1");
    ASSERT_TRUE(file.WriteSettings(settings));
    MidiSettings again;
    SettingsFile reread;
    ASSERT_TRUE(reread.Load(again));
    EXPECT_STREQ(again.outputName, "Orvo:MIDI 1");
}
