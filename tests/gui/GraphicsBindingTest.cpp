#include <gtest/gtest.h>

#include "ProbeControl.h"
#include "TestCore.h"
#include "gui/TextControl.h"

namespace {

class GraphicsBinding : public ::testing::Test {
protected:
    void SetUp() override {
        graphics = &core.AttachHeadless();
        graphics->AddControl(&first);
        graphics->AddControl(&second);
        graphics->AddControl(&follower);
        follower.AddAuxParam(9);
        follower.AddAuxParam(20);
        follower.AddAuxParam(20);
    }

    RecordingCore core;
    HeadlessGraphics* graphics = nullptr;
    ProbeControl first{&core, {0, 0, 10, 10}, 20};
    ProbeControl second{&core, {20, 0, 30, 10}, 20};
    ProbeControl follower{&core, {40, 0, 50, 10}, 3};
};

TEST_F(GraphicsBinding, EveryControlOnTheParameterAndTheFirstMatchingAuxFollowTheCore) {
    graphics->SetParamFromCore(20, 0.25, true);
    EXPECT_DOUBLE_EQ(first.Value(), 0.25);
    EXPECT_DOUBLE_EQ(second.Value(), 0.25);
    EXPECT_DOUBLE_EQ(follower.Aux(1).value, 0.25);
    EXPECT_DOUBLE_EQ(follower.Aux(2).value, 0.0);

    // A plain value is normalised with the parameter's range first: 0..127.
    graphics->SetParamFromCore(20, 127.0, false);
    EXPECT_DOUBLE_EQ(first.Value(), 1.0);
    graphics->SetParamFromCore(20, 500.0, false);  // clamped into the range
    EXPECT_DOUBLE_EQ(second.Value(), 1.0);
}

TEST_F(GraphicsBinding, FirstValueFromTheCoreBecomesTheDefaultWithoutMarking) {
    ProbeControl fresh{&core, {0, 0, 1, 1}, 30};
    fresh.MarkClean();
    fresh.SetValueFromCore(0.4);
    EXPECT_DOUBLE_EQ(fresh.DefaultValue(), 0.4);
    EXPECT_FALSE(fresh.IsDirty());
    fresh.SetValueFromCore(0.6);
    EXPECT_TRUE(fresh.IsDirty());
    EXPECT_TRUE(fresh.RedrawAgain());
    EXPECT_TRUE(core.pushes.empty());  // values from the core are never sent back

    // A double-click brings the learned default back and pushes it.
    fresh.OnDoubleClick(0, 0, {});
    EXPECT_DOUBLE_EQ(fresh.Value(), 0.4);
    ASSERT_EQ(core.pushes.size(), 1u);
    EXPECT_EQ(core.pushes[0].index, 30);
    EXPECT_DOUBLE_EQ(core.pushes[0].normalized, 0.4);
}

TEST_F(GraphicsBinding, AttachingTheGraphicsHandsEveryControlItsParameter) {
    RecordingCore other;
    other.GetParam(40)->value = 127.0;
    auto* panel = new HeadlessGraphics(&other);
    ProbeControl bound{&other, {0, 0, 1, 1}, 40};
    panel->AddControl(&bound);
    other.AttachGraphics(panel);
    EXPECT_DOUBLE_EQ(bound.Value(), 1.0);
    EXPECT_DOUBLE_EQ(bound.DefaultValue(), 1.0);
}

TEST_F(GraphicsBinding, ValueAndNameDisplaysFollowEveryMark) {
    TextControl value{&core, {0, 20, 40, 36}, TextStyle{}};
    TextControl name{&core, {0, 40, 40, 56}, TextStyle{}};
    first.SetValueDisplay(&value);
    first.SetNameDisplay(&name);
    Parameter& param = *core.GetParam(20);
    CopyBounded(param.label, "ms");
    CopyBounded(param.name, "Attack");
    first.SetValueFromUser(64.0 / 127.0);
    EXPECT_EQ(value.Text(), "64 ms");
    EXPECT_EQ(name.Text(), "Attack");

    AddDisplayText(param, 0, "off");
    first.SetValueFromUser(0.0);
    EXPECT_EQ(value.Text(), "off ");  // a display text drops the label, the blank stays

    param.displayPrecision = 2;
    param.negateDisplay = true;
    first.SetValueFromUser(0.5);  // 64 on the grid of 1
    EXPECT_EQ(value.Text(), "-64.00 ms");
}

TEST_F(GraphicsBinding, ListParameterPromptsWithAMenuOfItsDisplayTexts) {
    Parameter& param = *core.GetParam(20);
    InitIntParam(param, "Wave", 0, 0, 3);
    param.kind = kParamList;
    AddDisplayText(param, 0, "saw");
    AddDisplayText(param, 1, "square");
    AddDisplayText(param, 3, "noise");
    AddDisplayText(param, 7, "never");  // beyond the item count: never offered
    param.value = 1;
    first.SetPromptDisabled(false);

    graphics->AnswerMenuWith(3);
    first.OnPress(5, 5, {false, true, false, false, false});
    ASSERT_EQ(graphics->MenuCount(), 1);
    EXPECT_EQ(graphics->LastMenuTexts(), (std::vector<std::string>{"saw", "square", "", "noise"}));
    EXPECT_EQ(graphics->LastMenuFlags()[1], PopupMenu::kItemChecked);
    EXPECT_EQ(graphics->LastMenuFlags()[0], 0);
    ASSERT_FALSE(core.pushes.empty());
    EXPECT_DOUBLE_EQ(core.pushes.back().normalized, 1.0);  // item 3 of 0..3
    EXPECT_DOUBLE_EQ(param.value, 3.0);

    // Nothing chosen: nothing changes.
    graphics->AnswerMenuWith(-1);
    const size_t pushes = core.pushes.size();
    first.OnPress(5, 5, {false, true, false, false, false});
    EXPECT_EQ(core.pushes.size(), pushes);
}

TEST_F(GraphicsBinding, RightClickOpensATextEntryCentredOnTheControl) {
    // Prompts are off by default: a right click does nothing.
    first.OnPress(5, 5, {false, true, false, false, false});
    EXPECT_TRUE(graphics->Entries().empty());

    ProbeControl knob{&core, {100, 50, 133, 83}, 20};
    knob.SetPromptDisabled(false);
    core.GetParam(20)->value = 42;
    knob.OnPress(110, 60, {false, true, false, false, false});
    ASSERT_EQ(graphics->Entries().size(), 1u);
    const HeadlessGraphics::EntryRequest& entry = graphics->Entries()[0];
    EXPECT_EQ(entry.text, "42");
    // Centre (116.5, 66.5) truncated to (116, 66).
    EXPECT_EQ(entry.rect, (Rect{96, 58, 136, 74}));
    EXPECT_EQ(entry.param, core.GetParam(20));
    EXPECT_TRUE(knob.RedrawAgain());
    EXPECT_TRUE(graphics->Entries()[0].control == &knob);
}

TEST_F(GraphicsBinding, CommittedEntryTextGoesThroughTheParameter) {
    Parameter& param = *core.GetParam(20);
    InitIntParam(param, "Detune", 0, -50, 50);
    param.negateDisplay = true;
    graphics->CommitEntryText(&first, &param, "10");
    EXPECT_DOUBLE_EQ(param.value, -10.0);
    graphics->CommitEntryText(&first, &param, "abc");  // no leading number: 0
    EXPECT_DOUBLE_EQ(param.value, 0.0);

    // Without a parameter the control gets the raw text.
    class Named : public ProbeControl {
    public:
        using ProbeControl::ProbeControl;
        void SetTextFromEntry(const std::string& text) override { received = text; }
        std::string received;
    } named{&core, {0, 0, 1, 1}};
    graphics->CommitEntryText(&named, nullptr, std::string(40, 'x'));
    EXPECT_EQ(named.received, std::string(32, 'x'));  // at most 32 characters are read
}

}  // namespace
