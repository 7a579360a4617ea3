#include "library/HelpDocuments.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

#include "library/Librarian.h"
#include "resources/Resources.h"
#include "support/CaptureOutputPort.h"
#include "support/FakeEditorPanel.h"
#include "support/HeadlessEditor.h"
#include "support/TempDir.h"
#include "util/ProfileFile.h"

namespace {

std::string GuideResource() {
    const std::span<const uint8_t> guide = resources::FindResource(resources::kUserGuideId);
    return std::string(guide.begin(), guide.end());
}

class HelpMenu : public ::testing::Test {
protected:
    void SetUp() override {
        settingsPath_ = dir_.File("settings.ini");
        guidePath_ = dir_.File("Orvo_userguide-V122.pdf");
        auto panel = std::make_unique<FakePanel>();
        panel_ = panel.get();
        editor_.AttachPanel(std::move(panel));
        editor_.AttachPrograms(std::make_unique<Librarian>(editor_, settingsPath_));
    }

    TempDir dir_;
    std::string settingsPath_;
    std::string guidePath_;
    CaptureOutputPort port_;
    uint16_t channel_ = 1;
    OrvoEditor editor_{&port_, &channel_};
    FakePanel* panel_ = nullptr;
};

TEST_F(HelpMenu, TheGuideIsWrittenBesideTheSettingsWhenMissingAndOpened) {
    const std::string guide = GuideResource();
    ASSERT_GT(guide.size(), 10000u) << "the build embeds the user guide";
    ASSERT_EQ(guide.compare(0, 5, "%PDF-"), 0);

    EXPECT_TRUE(editor_.DoCommand(kCommandUserGuide));
    EXPECT_EQ(TempDir::Read(guidePath_), guide);
    ASSERT_EQ(panel_->openedDocuments, std::vector<std::string>{guidePath_});

    // A guide that is there is kept as it is, and opened again.
    TempDir::Write(guidePath_, "kept");
    editor_.DoCommand(kCommandUserGuide);
    EXPECT_EQ(TempDir::Read(guidePath_), "kept");
    EXPECT_EQ(panel_->openedDocuments.size(), 2u);

    // Deleted, it is written again, byte for byte.
    ASSERT_EQ(std::remove(guidePath_.c_str()), 0);
    editor_.DoCommand(kCommandUserGuide);
    EXPECT_EQ(TempDir::Read(guidePath_), guide);
}

TEST(HelpDocuments, AGuideThatCannotBeWrittenLeavesNothingAndIsStillAskedFor) {
    TempDir dir;
    // The settings folder is gone, so the guide cannot be written beside the settings file.
    const HelpDocuments help(dir.File("gone/settings.ini"),
                             resources::FindResource(resources::kUserGuideId));
    FakePanel panel;
    help.OpenUserGuide(panel);
    EXPECT_TRUE(std::filesystem::is_empty(dir.Path()));
    // The viewer is still asked, and says itself that the file is missing.
    EXPECT_EQ(panel.openedDocuments,
              std::vector<std::string>{dir.File("gone/Orvo_userguide-V122.pdf")});
    // Without a folder in the settings path there is nowhere to put it.
    const HelpDocuments nowhere("settings.ini", resources::FindResource(resources::kUserGuideId));
    nowhere.OpenUserGuide(panel);
    EXPECT_EQ(panel.openedDocuments.size(), 1u);
}

TEST_F(HelpMenu, TheProgramDatabaseAddressComesFromTheSettingsWhenGiven) {
    editor_.DoCommand(kCommandProgramDatabase);
    ASSERT_EQ(panel_->openedDocuments.size(), 1u);
    EXPECT_EQ(panel_->openedDocuments[0], HelpDocuments::kProgramDatabaseAddress);
    EXPECT_EQ(panel_->openedDocuments[0].rfind("https://", 0), 0u);

    ASSERT_TRUE(
        WriteProfileString(settingsPath_, "help", "database", "http://programs.example.org/orvo"));
    editor_.DoCommand(kCommandProgramDatabase);
    EXPECT_EQ(panel_->openedDocuments.back(), "http://programs.example.org/orvo");
}

TEST(HelpMenuOnThePanel, TheProgramsPanelHandsTheDocumentsToTheDesktop) {
    TempDir dir;
    CaptureOutputPort port;
    uint16_t channel = 1;
    HeadlessEditor made(&port, &channel, dir.File("settings.ini"));
    OrvoEditor* editor = made.editor.get();
    HeadlessGraphics* headless = made.graphics;
    ASSERT_NE(headless, nullptr);
    editor->DoCommand(kCommandUserGuide);
    editor->DoCommand(kCommandProgramDatabase);
    EXPECT_EQ(headless->OpenedLinks(),
              (std::vector<std::string>{dir.File("Orvo_userguide-V122.pdf"),
                                        HelpDocuments::kProgramDatabaseAddress}));
    EXPECT_EQ(TempDir::Read(dir.File("Orvo_userguide-V122.pdf")), GuideResource());
}

}  // namespace
