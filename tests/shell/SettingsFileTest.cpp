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

TEST_F(SettingsFileTest, AFastInterfaceIsKeptAndAFileThatNeverHadOneKeepsItsKeys) {
    ASSERT_TRUE(file.Load(settings));
    settings.fastInterface = true;
    ASSERT_TRUE(file.WriteSettings(settings));
    EXPECT_EQ(TempDir::Read(Path()),
              "[midi]\nindev=off\ninBdev=off\noutdev=off\nfastinterface=1\n");
    MidiSettings again;
    SettingsFile reread;
    ASSERT_TRUE(reread.Load(again));
    EXPECT_TRUE(again.fastInterface);
    again.fastInterface = false;
    ASSERT_TRUE(reread.WriteSettings(again));
    EXPECT_EQ(TempDir::Read(Path()),
              "[midi]\nindev=off\ninBdev=off\noutdev=off\nfastinterface=0\n");
    MidiSettings cable;
    ASSERT_TRUE(SettingsFile().Load(cable));
    EXPECT_FALSE(cable.fastInterface);
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

TEST(SettingsFolder, TheOldCacheFolderIsInTheXdgCacheOrHomeOrIsMissing) {
    TempDir dir;
    {
        ScopedEnv cache("XDG_CACHE_HOME", dir.Path() + "/xdg");
        EXPECT_EQ(SettingsFile::OldCacheFolder(), dir.Path() + "/xdg/orvo-editor");
    }
    ScopedEnv cache("XDG_CACHE_HOME", "");
    {
        ScopedEnv home("HOME", dir.Path());
        EXPECT_EQ(SettingsFile::OldCacheFolder(), dir.Path() + "/.cache/orvo-editor");
    }
    ScopedEnv home("HOME", std::nullopt);
    EXPECT_FALSE(SettingsFile::OldCacheFolder());
    EXPECT_TRUE(SettingsFile::RemoveOldCacheFolder());
}

TEST(SettingsFolder, TheVirtualOrvosProgramsAreInTheXdgDataFolderOrHomeOrNowhere) {
    {
        ScopedEnv data("XDG_DATA_HOME", "/data");
        EXPECT_EQ(SettingsFile::VirtualUnitFolder(), "/data/OrvodyneEditor/Virtual Orvo");
    }
    ScopedEnv data("XDG_DATA_HOME", "");
    {
        ScopedEnv home("HOME", "/home/someone");
        EXPECT_EQ(SettingsFile::VirtualUnitFolder(),
                  "/home/someone/.local/share/OrvodyneEditor/Virtual Orvo");
    }
    ScopedEnv home("HOME", std::nullopt);
    EXPECT_FALSE(SettingsFile::VirtualUnitFolder());
}

// What earlier versions kept goes, and nothing outside it: links inside the folder, and the folder
// itself when it is a link, are removed as links without touching what they point at.
TEST(SettingsFolder, RemovingTheOldCacheFolderFollowsNoLinkOutOfIt) {
    namespace fs = std::filesystem;
    TempDir dir;
    ScopedEnv cache("XDG_CACHE_HOME", dir.Path() + "/cache");
    const std::string folder = dir.Path() + "/cache/orvo-editor";
    const std::string outside = dir.Path() + "/precious";
    fs::create_directories(folder + "/nested");
    fs::create_directories(outside);
    std::ofstream(folder + "/0123.pixels") << "kept";
    std::ofstream(folder + "/nested/0456.shown") << "kept";
    std::ofstream(outside + "/keep.prg") << "mine";
    fs::create_directory_symlink(outside, folder + "/linked-folder");
    fs::create_symlink(outside + "/keep.prg", folder + "/linked-file");
    std::ofstream(dir.Path() + "/cache/other-program") << "theirs";

    EXPECT_TRUE(SettingsFile::RemoveOldCacheFolder());
    EXPECT_FALSE(fs::exists(fs::symlink_status(folder)));
    EXPECT_TRUE(fs::exists(outside + "/keep.prg"));
    EXPECT_TRUE(fs::exists(dir.Path() + "/cache/other-program"));
    // Gone already: the next start finds nothing to do.
    EXPECT_TRUE(SettingsFile::RemoveOldCacheFolder());

    fs::create_directory_symlink(outside, folder);
    EXPECT_TRUE(SettingsFile::RemoveOldCacheFolder());
    EXPECT_FALSE(fs::exists(fs::symlink_status(folder)));
    EXPECT_TRUE(fs::exists(outside + "/keep.prg"));
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
