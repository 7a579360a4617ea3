// Help > User Guide and Help > Program Database on a desktop that opens nothing: the user is told
// where the document is and can open its folder or copy its path or address.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QClipboard>
#include <QGuiApplication>
#include <QMessageBox>

#include "EditorInWindow.h"
#include "editor/OrvoEditor.h"
#include "platform/qt/GraphicsQt.h"
#include "plugin/EditorCommand.h"
#include "util/ProfileFile.h"

namespace {

// A desktop without a viewer or browser (or only one that opens folders); the boxes are
// answered by pressing the button named in pressed.
class DesktopWithoutViewers : public GraphicsQt {
public:
    using GraphicsQt::GraphicsQt;

    bool OpenUrl(const QString& url) override {
        asked << url;
        return url.endsWith('/') && opensFolders;
    }
    int ExecMessageBox(QMessageBox& box) override {
        QStringList buttons;
        for (QAbstractButton* button : box.buttons())
            buttons << button->text();
        boxes.push_back({box.windowTitle(), box.text(), box.informativeText(), buttons});
        for (QAbstractButton* button : box.buttons()) {
            if (button->text() == pressed) button->click();
        }
        return 0;
    }

    struct Box {
        QString caption, text, detail;
        QStringList buttons;
    };
    QStringList asked;
    std::vector<Box> boxes;
    QString pressed = "Close";
    bool opensFolders = false;
};

class UnopenedDocument : public ::testing::Test {
protected:
    void SetUp() override {
        test = std::make_unique<EditorInWindow>(
            [](PluginBase* core) { return new DesktopWithoutViewers(core); });
        desktop = static_cast<DesktopWithoutViewers*>(&test->Gui());
        QGuiApplication::clipboard()->setText("something else");
    }
    std::string GuidePath() const {
        const std::string settings = test->SettingsPath();
        return settings.substr(0, settings.rfind('/') + 1) + "Orvo_userguide-V122.pdf";
    }
    QString Clipboard() const { return QGuiApplication::clipboard()->text(); }

    std::unique_ptr<EditorInWindow> test;
    DesktopWithoutViewers* desktop = nullptr;
};

}  // namespace

TEST_F(UnopenedDocument, TheGuideThatCannotBeOpenedIsNamedWithItsPathAndTheOffers) {
    test->Editor().DoCommand(kCommandUserGuide);
    ASSERT_EQ(desktop->boxes.size(), 1u);
    const DesktopWithoutViewers::Box& box = desktop->boxes[0];
    EXPECT_EQ(box.caption, "Orvo Editor");
    EXPECT_TRUE(box.text.contains("no program that opens")) << box.text.toStdString();
    EXPECT_EQ(box.detail, QString::fromStdString(GuidePath()));
    EXPECT_TRUE(box.buttons.contains("Open Folder"));
    EXPECT_TRUE(box.buttons.contains("Copy Path"));
    // Closing it leaves the clipboard alone.
    EXPECT_EQ(Clipboard(), "something else");
}

TEST_F(UnopenedDocument, CopyPathPutsTheGuidesPathOnTheClipboard) {
    desktop->pressed = "Copy Path";
    test->Editor().DoCommand(kCommandUserGuide);
    EXPECT_EQ(Clipboard(), QString::fromStdString(GuidePath()));
}

TEST_F(UnopenedDocument, OpenFolderOpensTheGuidesFolder) {
    desktop->pressed = "Open Folder";
    desktop->opensFolders = true;
    test->Editor().DoCommand(kCommandUserGuide);
    const std::string folder = GuidePath().substr(0, GuidePath().rfind('/') + 1);
    EXPECT_EQ(desktop->asked.value(1), QString::fromStdString(folder));
    EXPECT_EQ(desktop->boxes.size(), 1u);
}

TEST_F(UnopenedDocument, AFolderThatCannotBeOpenedEitherLeavesThePathOnTheClipboard) {
    desktop->pressed = "Open Folder";
    test->Editor().DoCommand(kCommandUserGuide);
    ASSERT_EQ(desktop->boxes.size(), 2u);
    EXPECT_TRUE(desktop->boxes[1].text.contains("on the clipboard"));
    EXPECT_EQ(Clipboard(), QString::fromStdString(GuidePath()));
}

TEST_F(UnopenedDocument, TheProgramDatabaseOffersToCopyItsAddress) {
    ASSERT_TRUE(
        WriteProfileString(test->SettingsPath(), "help", "database", "https://example.org/orvo/"));
    desktop->pressed = "Copy Address";
    test->Editor().DoCommand(kCommandProgramDatabase);
    ASSERT_EQ(desktop->boxes.size(), 1u);
    EXPECT_TRUE(desktop->boxes[0].text.contains("no web browser"));
    EXPECT_EQ(desktop->boxes[0].detail, "https://example.org/orvo/");
    EXPECT_FALSE(desktop->boxes[0].buttons.contains("Open Folder"));
    EXPECT_EQ(Clipboard(), "https://example.org/orvo/");
}
