// The layout editor on a small headless panel with the resize control: the mouse edits, the
// header it writes, and reading that header back in a new panel.
#include "gui/LayoutEditor.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "gui/GuiLayoutStore.h"
#include "gui/GuiResize.h"
#include "gui/HeadlessGraphics.h"
#include "gui/LayoutHeaderReader.h"
#include "gui/LayoutHeaderWriter.h"
#include "gui/PanelKeys.h"
#include "gui/ProbeControl.h"
#include "gui/TestCore.h"
#include "support/TempDir.h"
#include "util/DebugPrint.h"

namespace {

constexpr int kKeyD = kKeyLetterA + 3;

MouseKeys Button(bool shift = false, bool alt = false) {
    MouseKeys keys;
    keys.L = true;
    keys.S = shift;
    keys.A = alt;
    return keys;
}

MouseKeys RightButton() {
    MouseKeys keys;
    keys.R = true;
    return keys;
}

// Three controls on a panel with the resize control, the way the editor builds its own: a
// knob, a fader and a text whose mouse area is smaller than its picture.
struct SmallPanel {
    explicit SmallPanel(const std::string& headerPath) {
        graphics = new HeadlessGraphics(&core);
        resize = std::make_unique<GuiResize>(&core, graphics);
        graphics->AddBackgroundPanel({255, 40, 40, 40});
        text.SetTargetRECT({300, 200, 380, 216});
        for (ProbeControl* control : {&knob, &fader, &text})
            graphics->AddControl(control);
        core.SetGuiResize(resize.get());
        graphics->PrepareDrawing();
        core.AttachGraphics(graphics);
        graphics->SetLayoutMode(1, 16, 4);
        editor = std::make_unique<LayoutEditor>(*graphics, resize.get());
        editor->SetHeaderPath(headerPath);
    }

    void Drag(int fromX, int fromY, int toX, int toY, const MouseKeys& keys = Button()) {
        graphics->MouseDown(fromX, fromY, keys);
        graphics->MouseDrag((fromX + toX) / 2, (fromY + toY) / 2, keys);
        graphics->MouseDrag(toX, toY, keys);
        graphics->MouseUp(toX, toY, {});
    }
    // Right click on (x, y) and take the menu's item; the texts it showed are returned.
    std::vector<std::string> Menu(int x, int y, int item) {
        graphics->AnswerMenuWith(item);
        graphics->MouseDown(x, y, RightButton());
        graphics->MouseUp(x, y, {});
        return graphics->LastMenuTexts();
    }
    // Right click on (x, y) and take the item with this text.
    void Command(int x, int y, const std::string& itemText) {
        const std::vector<std::string> shown = Menu(x, y, -1);
        const auto at = std::find(shown.begin(), shown.end(), itemText);
        ASSERT_NE(at, shown.end()) << itemText;
        Menu(x, y, static_cast<int>(at - shown.begin()));
    }
    std::vector<Control*> Layers() const {
        std::vector<Control*> layers;
        for (int i = 1; i <= graphics->LastLayerIndex(); ++i)
            layers.push_back(graphics->GetControl(i));
        return layers;
    }

    RecordingCore core;
    ProbeControl knob{&core, {100, 50, 140, 90}, 3};
    ProbeControl fader{&core, {200, 40, 220, 140}, 4};
    ProbeControl text{&core, {296, 196, 384, 220}};
    HeadlessGraphics* graphics = nullptr;  // owned by the core
    std::unique_ptr<GuiResize> resize;
    std::unique_ptr<LayoutEditor> editor;
};

class LayoutEditorTest : public ::testing::Test {
protected:
    LayoutEditorTest() { GuiLayoutStore::Process().Clear(); }
    ~LayoutEditorTest() override {
        panel_.reset();
        GuiLayoutStore::Process().Clear();
        Graphics::ReleaseCaches();
    }

    SmallPanel& Build(const std::string& headerPath) {
        panel_.reset();
        GuiLayoutStore::Process().Clear();
        panel_ = std::make_unique<SmallPanel>(headerPath);
        return *panel_;
    }
    std::string Header() const { return dir_.File("PanelLayout.h"); }
    static std::string Expected() {
        return TempDir::Read(std::string(ORVO_GUI_TEST_DATA) + "/PanelLayout.h");
    }

    // The layout of the known test: the knob moved to the grid, the fader brought to the front.
    void EditKnownLayout(SmallPanel& panel) {
        EXPECT_TRUE(panel.graphics->KeyDown(0, 0, kKeyLetterE));
        panel.Drag(110, 60, 147, 81);
        panel.Command(210, 100, "Bring to Front");
    }

    TempDir dir_;
    std::unique_ptr<SmallPanel> panel_;
};

}  // namespace

TEST_F(LayoutEditorTest, MouseMovesOnTheGridResizesByTheCornerAndNeverReachesControls) {
    SmallPanel& panel = Build(Header());
    panel.graphics->KeyDown(0, 0, kKeyLetterE);
    ASSERT_TRUE(panel.editor->Editing());

    // 37 and 21 units from the press: the top left corner lands on the grid line before it.
    panel.Drag(110, 60, 147, 81);
    EXPECT_EQ(panel.knob.DrawRect(), (Rect{128, 64, 168, 104}));
    EXPECT_EQ(panel.knob.TargetRect(), (Rect{128, 64, 168, 104}));
    EXPECT_EQ(panel.editor->Selected(), &panel.knob);
    EXPECT_TRUE(panel.knob.calls.empty()) << panel.knob.calls.front();
    EXPECT_TRUE(panel.core.gestures.empty());

    // The corner zone (8 units) resizes; the right and bottom edges go to the grid.
    panel.Drag(165, 101, 200, 130);
    EXPECT_EQ(panel.knob.DrawRect(), (Rect{128, 64, 192, 128}));

    // With Alt the grid lets go.
    panel.Drag(130, 70, 135, 73, Button(false, true));
    EXPECT_EQ(panel.knob.DrawRect(), (Rect{133, 67, 197, 131}));

    // The zoom places controls from the store, so an edit survives it.
    ASSERT_TRUE(panel.resize->DoViewCommand(16));  // 110 %
    EXPECT_EQ(panel.knob.DrawRect(), (Rect{146, 74, 217, 144}));
}

TEST_F(LayoutEditorTest, ShiftAlignsToTheNearestEdgeOfAnotherControl) {
    SmallPanel& panel = Build(Header());
    panel.graphics->KeyDown(0, 0, kKeyLetterE);
    // On the grid the knob would stand at (144, 48)..(184, 88); the fader's left edge at 200
    // and its top at 40 are within a grid step, so the knob closes up to the fader.
    panel.Drag(110, 60, 160, 60, Button(true));
    EXPECT_EQ(panel.knob.DrawRect(), (Rect{160, 40, 200, 80}));
    // Without Shift the same drag stays on the grid.
    panel.Drag(170, 60, 180, 60);
    EXPECT_EQ(panel.knob.DrawRect().L, 160);
}

TEST_F(LayoutEditorTest, EditTargetChoosesTheRectangleThatMoves) {
    SmallPanel& panel = Build(Header());
    panel.graphics->KeyDown(0, 0, kKeyLetterE);
    panel.Drag(300, 205, 300, 205);  // select the text
    ASSERT_EQ(panel.editor->Selected(), &panel.text);

    // Shift+D only changes what is shown; D edits the picture alone and drops the selection.
    MouseKeys shift;
    shift.S = true;
    EXPECT_TRUE(panel.graphics->KeyDown(0, 0, kKeyD, shift));
    EXPECT_EQ(panel.editor->ShownTarget(), LayoutEditor::kTargetDraw);
    EXPECT_EQ(panel.editor->EditedTarget(), LayoutEditor::kTargetBoth);
    EXPECT_EQ(panel.editor->Selected(), &panel.text);
    EXPECT_TRUE(panel.graphics->KeyDown(0, 0, kKeyD));
    EXPECT_EQ(panel.editor->EditedTarget(), LayoutEditor::kTargetDraw);
    EXPECT_EQ(panel.editor->Selected(), nullptr);

    panel.Drag(300, 205, 332, 237);
    EXPECT_EQ(panel.text.DrawRect(), (Rect{320, 224, 408, 248}));
    EXPECT_EQ(panel.text.TargetRect(), (Rect{300, 200, 380, 216}));
}

TEST_F(LayoutEditorTest, MenuListsWhatAppliesAndUndoRestoresTheLayerOrder) {
    SmallPanel& panel = Build(Header());
    panel.graphics->KeyDown(0, 0, kKeyLetterE);
    // Nothing done and nothing selected yet.
    EXPECT_EQ(panel.Menu(5, 5, -1), (std::vector<std::string>{"Hide Grid", "Hide Mouse Coordinates",
                                                              "Reset View to Default"}));
    panel.Drag(110, 60, 147, 81);
    EXPECT_EQ(panel.Menu(210, 100, 2),
              (std::vector<std::string>{"Undo", "Hide Control", "Bring to Front", "Send to Back",
                                        "Bring Forward", "Send Backward", "Deselect", "Hide Grid",
                                        "Hide Mouse Coordinates", "Reset View to Default",
                                        "Delete Control !!!"}));
    EXPECT_EQ(panel.Layers(), (std::vector<Control*>{&panel.knob, &panel.text, &panel.fader}));

    // The front control offers no way further up; the moved knob can go back to its place.
    EXPECT_EQ(panel.Menu(130, 70, -1),
              (std::vector<std::string>{"Undo", "Reset Control Position", "Hide Control",
                                        "Bring to Front", "Bring Forward", "Deselect", "Hide Grid",
                                        "Hide Mouse Coordinates", "Reset View to Default",
                                        "Delete Control !!!"}));

    panel.Menu(210, 100, 0);  // Undo
    EXPECT_EQ(panel.Layers(), (std::vector<Control*>{&panel.knob, &panel.fader, &panel.text}));
    EXPECT_EQ(panel.knob.DrawRect(), (Rect{128, 64, 168, 104}));
    panel.Menu(210, 100, 0);  // Undo the move as well
    EXPECT_EQ(panel.knob.DrawRect(), (Rect{100, 50, 140, 90}));
    EXPECT_EQ(panel.Menu(210, 100, 0)[0], "Redo");
    EXPECT_EQ(panel.knob.DrawRect(), (Rect{128, 64, 168, 104}));
}

TEST_F(LayoutEditorTest, UndoAndResetLeaveWhatThePanelItselfShowsAndHides) {
    SmallPanel& panel = Build(Header());
    panel.graphics->KeyDown(0, 0, kKeyLetterE);
    panel.Drag(110, 60, 147, 81);
    panel.fader.Hide(true);  // the panel's own logic, as the effect sections are hidden
    panel.Command(130, 70, "Undo");
    EXPECT_EQ(panel.knob.DrawRect(), (Rect{100, 50, 140, 90}));
    EXPECT_TRUE(panel.fader.IsHidden());
    panel.Command(130, 70, "Redo");
    panel.Command(130, 70, "Reset View to Default");
    EXPECT_EQ(panel.knob.DrawRect(), (Rect{100, 50, 140, 90}));
    EXPECT_TRUE(panel.fader.IsHidden());
}

TEST_F(LayoutEditorTest, HideMergeAndDeleteWithItsWarning) {
    SmallPanel& panel = Build(Header());
    panel.graphics->KeyDown(0, 0, kKeyLetterE);
    // The text's picture and mouse area differ: merging makes the mouse area the picture.
    EXPECT_EQ(panel.Menu(300, 205, 0)[0], "Merge Draw and Target Rect");
    EXPECT_EQ(panel.text.TargetRect(), (Rect{296, 196, 384, 220}));
    // Its mouse area moved and shrank, so both resets are offered.
    EXPECT_EQ(panel.Menu(300, 205, 3),
              (std::vector<std::string>{"Undo", "Reset Control Position", "Reset Control Size",
                                        "Hide Control", "Send to Back", "Send Backward", "Deselect",
                                        "Hide Grid", "Hide Mouse Coordinates",
                                        "Reset View to Default", "Delete Control !!!"}));
    EXPECT_TRUE(panel.text.IsHidden());
    EXPECT_EQ(panel.Menu(300, 205, -1)[3], "Show Control");

    panel.graphics->AnswerMessagesWith(kAnswerCancel);
    const std::vector<std::string> menu = panel.Menu(210, 100, 10);
    ASSERT_EQ(menu[10], "Delete Control !!!");
    ASSERT_EQ(panel.graphics->Messages().size(), 1u);
    EXPECT_EQ(panel.graphics->Messages()[0].caption, "Warning!!!");
    EXPECT_EQ(panel.graphics->Messages()[0].text,
              "If you confirm this dialog, you need to delete control number 2!\n\n"
              "Delete control from plugin constructor immediately, otherwise your GUI layout "
              "will be messed up after next recompile...\n\n"
              "If you want to add new control, just place it after last attached control in "
              "plugin constructor.");
    EXPECT_TRUE(panel.editor->Deleted().empty());

    panel.graphics->AnswerMessagesWith(kAnswerOk);
    panel.Menu(210, 100, 10);
    EXPECT_EQ(panel.editor->Deleted(), (std::vector<Control*>{&panel.fader}));
    const std::string header = TempDir::Read(Header());
    EXPECT_EQ(header.find("ProbeControl 2\n"), std::string::npos);
    EXPECT_NE(header.find("GetControl(3)->Hide(true)"), std::string::npos);
    // A deleted control is out of editing: a press where it stands selects nothing.
    panel.Drag(210, 100, 250, 100);
    EXPECT_EQ(panel.fader.DrawRect(), (Rect{200, 40, 220, 140}));
}

TEST_F(LayoutEditorTest, HeaderOfAKnownLayoutIsTheStoredText) {
    SmallPanel& panel = Build(Header());
    EditKnownLayout(panel);
    EXPECT_EQ(TempDir::Read(Header()), Expected());
}

TEST_F(LayoutEditorTest, HeaderReadBackAtFirstActivationGivesTheSameLayout) {
    SmallPanel& first = Build(Header());
    EditKnownLayout(first);
    first.Drag(300, 205, 300, 205);
    first.Command(300, 205, "Hide Control");
    const LayoutModes edited = first.editor->CurrentLayout();

    // A new process: the panel as built, then E.
    SmallPanel& second = Build(Header());
    EXPECT_EQ(second.knob.DrawRect(), (Rect{100, 50, 140, 90}));
    second.graphics->KeyDown(0, 0, kKeyLetterE);
    EXPECT_EQ(second.editor->CurrentLayout(), edited);
    EXPECT_EQ(second.Layers(), (std::vector<Control*>{&second.knob, &second.text, &second.fader}));
    EXPECT_EQ(second.knob.DrawRect(), (Rect{128, 64, 168, 104}));
    EXPECT_TRUE(second.text.IsHidden());
    const GuiLayoutStore::Placement* knob = GuiLayoutStore::Process().Find(0, &second.knob);
    ASSERT_NE(knob, nullptr);
    EXPECT_EQ(knob->draw[0], 128.0);
    EXPECT_EQ(GuiLayoutStore::Process().Mode(0)[3].control, &second.fader);
}

TEST_F(LayoutEditorTest, HeaderOfAnotherPanelBuildLeavesTheLayout) {
    std::string header = Expected();
    const std::string probe = "class ProbeControl 1\n";
    header.replace(header.find(probe), probe.size(), "class KnobMultiControl 1\n");
    header.replace(header.rfind(probe), probe.size(), "class KnobMultiControl 1\n");
    TempDir::Write(Header(), header);
    SmallPanel& panel = Build(Header());
    panel.graphics->KeyDown(0, 0, kKeyLetterE);
    EXPECT_EQ(panel.knob.DrawRect(), (Rect{100, 50, 140, 90}));
    EXPECT_EQ(panel.Layers(), (std::vector<Control*>{&panel.knob, &panel.text, &panel.fader}));
}

TEST_F(LayoutEditorTest, HeaderThatCannotBeWrittenIsIgnored) {
    SmallPanel& panel = Build(dir_.Path() + "/missing/PanelLayout.h");
    std::vector<std::string> lines;
    SetDebugSink([&lines](const std::string& line) { lines.push_back(line); });
    panel.graphics->KeyDown(0, 0, kKeyLetterE);
    panel.Drag(110, 60, 147, 81);
    SetDebugSink({});
    EXPECT_EQ(panel.knob.DrawRect(), (Rect{128, 64, 168, 104}));
    EXPECT_FALSE(std::filesystem::exists(dir_.Path() + "/missing"));
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_NE(lines[0].find("Layout header not written"), std::string::npos);
    EXPECT_TRUE(panel.editor->CanUndo());
}

TEST_F(LayoutEditorTest, LayoutModeZeroLeavesTheKeyAndTheMouseToControls) {
    SmallPanel& panel = Build(Header());
    panel.graphics->SetLayoutMode(0, 16, 4);
    panel.knob.takesKeys = true;
    EXPECT_TRUE(panel.graphics->KeyDown(110, 60, kKeyLetterE));
    EXPECT_EQ(panel.knob.Last(), "key 110,60 19");
    EXPECT_FALSE(panel.editor->Editing());
    panel.graphics->MouseDown(110, 60, Button());
    EXPECT_EQ(panel.knob.Last(), "press 110,60");
    EXPECT_FALSE(std::filesystem::exists(Header()));
}

TEST(LayoutHeader, ReaderTakesBackWhatTheWriterWrote) {
    LayoutModes modes(2);
    modes[0] = {{"class KnobMultiControl", 1, 2, {-16, 32, 64, 96}, {0, 32, 64, 80}, false},
                {"class (anonymous namespace)::Fader", 2, 1, {1, 2, 3, 4}, {1, 2, 3, 4}, true}};
    modes[1] = {{"class KnobMultiControl", 1, 1, {10, 20, 30, 40}, {10, 20, 30, 40}, true}};
    const std::string text = LayoutHeaderWriter::Text(modes);
    LayoutModes back = LayoutHeaderReader::Parse(text);
    ASSERT_EQ(back.size(), 2u);
    // The reader gives each mode in layer order.
    EXPECT_EQ(back[0], (std::vector<LayoutEntry>{modes[0][1], modes[0][0]}));
    EXPECT_EQ(back[1], modes[1]);
    // Windows line ends are read alike; a line cut short is left out.
    std::string crlf;
    for (char c : text)
        crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    EXPECT_EQ(LayoutHeaderReader::Parse(crlf), back);
    const std::string cut = text.substr(0, text.find(", false);"));
    EXPECT_TRUE(LayoutHeaderReader::Parse(cut)[0].size() < 2);
}

// The stored header compiled into this test: the layout it reproduces on the panel as built.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wunused-parameter"
#include "gui/data/PanelLayout.h"
#pragma GCC diagnostic pop

TEST_F(LayoutEditorTest, CompiledHeaderReproducesTheLayout) {
    SmallPanel& panel = Build(Header());
    PanelLayout layout;
    layout.SetDefaultViewLayout(panel.graphics);
    layout.SetGUIResizeLayout(panel.graphics, panel.resize.get());
    EXPECT_EQ(panel.Layers(), (std::vector<Control*>{&panel.knob, &panel.text, &panel.fader}));
    EXPECT_EQ(panel.knob.DrawRect(), (Rect{128, 64, 168, 104}));
    EXPECT_EQ(panel.text.TargetRect(), (Rect{300, 200, 380, 216}));
    // The resize control places the controls from the layout it was given.
    panel.resize->Relayout();
    EXPECT_EQ(panel.knob.DrawRect(), (Rect{128, 64, 168, 104}));
    EXPECT_EQ(GuiLayoutStore::Process().Mode(0)[2].control, &panel.text);
}
