// The editor's own panel, with its images and the Qt text renderer, drawn at the zooms a user
// picks: texts that must not run into each other, and artwork that must not show what is not
// there.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "QtPanelDriver.h"
#include "editor/OrvoEditor.h"
#include "editor/OrvoPanel.h"
#include "gui/GraphicsFactory.h"
#include "gui/GuiResize.h"
#include "gui/ParaGraphicEq.h"
#include "gui/TextControl.h"
#include "library/MakePlugin.h"
#include "platform/qt/GraphicsQt.h"
#include "plugin/Parameter.h"

namespace {

constexpr double kZooms[] = {0.5, 1.0, 2.0};

// One way the effect area can look: the effect type and, for the equalizer, its view.
struct EffectView {
    int type;
    bool knobs;
};
constexpr EffectView kEffectViews[] = {
    {kEffectOff, false},       {kEffectChorus, false},   {kEffectOverdrive, false},
    {kEffectEqualizer, false}, {kEffectEqualizer, true},
};

// Where a text's letters reach across its row: from the left of its first character to the
// right of its last (a value text ends in a blank before its empty unit label).
struct Span {
    int left = 0;
    int right = 0;
};

class FrontPanelLook : public ::testing::Test {
protected:
    void SetUp() override {
        OffscreenApp();
        // Made without a settings file, the editor keeps its zooms nowhere.
        SetGraphicsFactory([](PluginBase* core) { return new GraphicsQt(core); });
        editor_.reset(MakePlugin(nullptr, &channel_));
        SetGraphicsFactory({});
        ASSERT_NE(editor_, nullptr);
        panel_ = static_cast<OrvoPanel*>(editor_->Panel());
        graphics_ = &panel_->Panel();
    }
    void TearDown() override {
        editor_.reset();
        Graphics::ReleaseCaches();
    }

    // The panel as the user sees it with this effect at this zoom.
    void Show(const EffectView& view, double zoom) {
        // Either view switch chooses its view whatever value it is given.
        editor_->SetParameterValue(view.knobs ? kParamParametricEqView : kParamParagraphicEqView,
                                   1);
        editor_->SetParameterValue(ParamIndexOfPosition(kEffectTypePosition), view.type);
        editor_->RedrawParamControls();
        editor_->Resize()->SetScale(zoom);
        editor_->Resize()->ApplyChange();
        graphics_->MarkAllDirty();
        Rect dirty;
        if (graphics_->CollectDirty(dirty)) graphics_->DrawDirty(dirty);
    }
    uint32_t Pixel(int x, int y) const { return graphics_->DrawBitmap()->Row(y)[x] & 0x00FFFFFFu; }

    // Every text the value text of each position can show, from the position's lowest value to
    // its highest, as the editor writes it.
    std::map<int, std::vector<std::string>> EveryValueText() {
        std::map<int, std::vector<std::string>> texts;
        for (int position = 0; position < kUnitParamCount; ++position) {
            const int index = ParamIndexOfPosition(position);
            const Parameter& param = *editor_->GetParam(index);
            const double kept = param.value;
            for (int value = PositionMinimum(position); value <= PositionMaximum(position);
                 ++value) {
                editor_->SetParameterValue(index, value);
                texts[position].push_back(panel_->ValueText(position)->Text());
            }
            editor_->SetParameterValue(index, kept);
        }
        return texts;
    }

    // How far the letters of any of texts reach when drawn in the value text of position.
    Span Reach(int position, const std::vector<std::string>& texts) {
        TextControl& control = *panel_->ValueText(position);
        Span reach{control.DrawRect().R, control.DrawRect().L};
        for (const std::string& text : texts) {
            Rect placed = control.DrawRect();
            EXPECT_TRUE(graphics_->MeasureText(control.GetTextStyle(), text, placed));
            Rect letters = control.DrawRect();
            const std::string shown = text.substr(0, text.find_last_not_of(' ') + 1);
            EXPECT_TRUE(graphics_->MeasureText(control.GetTextStyle(), shown, letters));
            reach.left = std::min(reach.left, placed.L);
            reach.right = std::max(reach.right, placed.L + letters.Width());
        }
        return reach;
    }

    uint16_t channel_ = 1;
    std::unique_ptr<OrvoEditor> editor_;
    OrvoPanel* panel_ = nullptr;
    Graphics* graphics_ = nullptr;
};

// "trigger" (trig/gate) and "upper" (key priority) stand 40 units apart in the top row; no two
// value texts of a row may touch, whatever values they show, at any zoom or effect.
TEST_F(FrontPanelLook, NoTwoValueTextsOfARowTouchAtAnyZoomOrEffect) {
    const std::map<int, std::vector<std::string>> texts = EveryValueText();
    for (const EffectView& view : kEffectViews) {
        for (double zoom : kZooms) {
            Show(view, zoom);
            SCOPED_TRACE(testing::Message()
                         << "effect " << view.type << (view.knobs ? " knobs" : "") << " at "
                         << zoom * 100 << " %");
            std::vector<int> shown;
            std::map<int, Span> reach;
            for (const auto& [position, values] : texts) {
                if (panel_->ValueText(position)->IsHidden()) continue;
                shown.push_back(position);
                reach[position] = Reach(position, values);
            }
            for (int a : shown) {
                for (int b : shown) {
                    const Rect& boxA = panel_->ValueText(a)->DrawRect();
                    const Rect& boxB = panel_->ValueText(b)->DrawRect();
                    if (boxA.T != boxB.T || boxA.L >= boxB.L || a == b) continue;
                    EXPECT_LT(reach[a].right, reach[b].left)
                        << "position " << a << " reaches " << reach[a].right << ", position " << b
                        << " starts at " << reach[b].left;
                }
            }
        }
    }
}

// At 50 % the equalizer display is 230 x 57 pixels and its full set of labels would overlap
// ("200300", "5k7k10k", gains stacked on one another); fewer are shown there, never touching,
// and always the middle ones.
TEST_F(FrontPanelLook, EqualizerAxisLabelsNeverRunTogether) {
    for (double zoom : kZooms) {
        Show({kEffectEqualizer, false}, zoom);
        SCOPED_TRACE(testing::Message() << zoom * 100 << " %");
        ParaGraphicEq& equalizer = *panel_->Equalizer();
        ASSERT_FALSE(equalizer.IsHidden());
        const std::vector<ParaGraphicEq::GridLabel>& labels = equalizer.GridLabels(*graphics_);
        std::vector<std::string> frequencies, gains;
        for (const ParaGraphicEq::GridLabel& label : labels) {
            (label.gain ? gains : frequencies).push_back(label.text);
            EXPECT_GT(label.extent.Width(), 0) << label.text;
        }
        for (size_t a = 0; a < labels.size(); ++a) {
            for (size_t b = a + 1; b < labels.size(); ++b) {
                const Rect& one = labels[a].extent;
                const Rect& other = labels[b].extent;
                if (labels[a].gain != labels[b].gain) continue;
                const bool apart = labels[a].gain ? one.B <= other.T || other.B <= one.T
                                                  : one.R < other.L || other.R < one.L;
                EXPECT_TRUE(apart) << labels[a].text << " and " << labels[b].text;
            }
        }
        EXPECT_NE(std::find(frequencies.begin(), frequencies.end(), "1k"), frequencies.end());
        EXPECT_NE(std::find(gains.begin(), gains.end(), "0"), gains.end());
        if (zoom >= 1.0) {
            EXPECT_EQ(frequencies.size(), 12u) << "every line is labelled at 100 % and up";
            EXPECT_EQ(gains.size(), 7u);
        } else {
            EXPECT_GE(frequencies.size(), 4u);
            EXPECT_GE(gains.size(), 3u);
        }
    }
}

// A held handle shows its band's frequency, gain and width on a dark box of 45 x 36 pixels;
// " 2.00kHz" is wider than that, and the box must reach under every digit: the darkened area is
// one rectangle, its rows starting at one column, with the text inside it.
TEST_F(FrontPanelLook, EqualizerValueLabelStandsWhollyOnItsBackground) {
    Show({kEffectEqualizer, false}, 1.0);
    ParaGraphicEq& equalizer = *panel_->Equalizer();
    const Rect& display = equalizer.DrawRect();
    int band = -1;
    for (int b = 0; b < equalizer.BandCount() && band < 0; ++b) {
        const bool inside =
            equalizer.HandleX(b) < display.Width() - 50 && equalizer.HandleY(b) >= 40;
        if (equalizer.Band(b).Frequency() >= 1000.0f && inside) band = b;
    }
    ASSERT_GE(band, 0) << "the default program has a band above 1 kHz";
    const int hx = display.L + equalizer.HandleX(band);
    const int hy = display.T + equalizer.HandleY(band);
    const Rect box{hx, hy - 40, hx + 45, hy - 4};
    std::vector<uint32_t> before;
    for (int y = box.T; y < box.B; ++y) {
        for (int x = box.L - 20; x < box.R; ++x)
            before.push_back(Pixel(x, y));
    }

    graphics_->MouseDown(hx, hy, MouseKeys{true});
    Rect dirty;
    if (graphics_->CollectDirty(dirty)) graphics_->DrawDirty(dirty);
    size_t i = 0;
    int edge = -1;
    for (int y = box.T; y < box.B; ++y) {
        int first = box.R;
        for (int x = box.L - 20; x < box.R; ++x, ++i) {
            if (Pixel(x, y) != before[i]) first = std::min(first, x);
        }
        if (edge < 0) edge = first;
        EXPECT_EQ(first, edge) << "row " << y << " of the label";
    }
    EXPECT_LT(edge, box.L) << "the frequency line reaches past the 45-pixel box";
    graphics_->MouseUp(hx, hy, MouseKeys{true});
}

// The effect's blend controls exist only with an effect on; without one the space under their
// value texts (917..1005 x 453..475 at 100 %) shows the bare frame, with one its names.
TEST_F(FrontPanelLook, BlendNamesShowOnlyWithTheBlendControls) {
    for (double zoom : kZooms) {
        for (const EffectView& view : kEffectViews) {
            Show(view, zoom);
            SCOPED_TRACE(testing::Message()
                         << "effect " << view.type << " at " << zoom * 100 << " %");
            const auto at = [zoom](int units) { return static_cast<int>(units * zoom); };
            const uint32_t frame = Pixel(at(1000), at(470));
            int differing = 0;
            for (int y = at(453); y < at(475); ++y) {
                for (int x = at(917); x < at(1005); ++x)
                    differing += Pixel(x, y) != frame;
            }
            if (view.type == kEffectOff) {
                EXPECT_EQ(differing, 0) << "names of controls that are not there";
            } else {
                EXPECT_GT(differing, 20 * zoom * zoom) << "the blend controls have no names";
            }
        }
    }
}

// The WRITE ALL tab hangs under the WRITE button; the VCO 1 frame starts 10 units below the
// tab's corner and its top edge must look the same under the tab as beside it.
TEST_F(FrontPanelLook, WriteAllTabLeavesTheVco1FrameAlone) {
    for (double zoom : kZooms) {
        Show({kEffectOff, false}, zoom);
        SCOPED_TRACE(testing::Message() << zoom * 100 << " %");
        const auto at = [zoom](int units) { return static_cast<int>(units * zoom); };
        // Rows 74 and 75: the frame's edge, above the faders, which start at 76.
        for (int y = at(74); y < at(76); ++y) {
            for (int x = at(56); x < at(137); ++x) {
                ASSERT_EQ(Pixel(x, y), Pixel(at(250), y)) << x << ", " << y;
            }
        }
        // The tab itself is there.
        int tab = 0;
        for (int x = at(56); x < at(137); ++x)
            tab += Pixel(x, at(68)) != Pixel(at(20), at(68));
        EXPECT_GT(tab, at(60));
    }
}

TEST_F(FrontPanelLook, TheProgramNumberLeavesTheVco1FrameAlone) {
    for (double zoom : kZooms) {
        Show({kEffectOff, false}, zoom);
        SCOPED_TRACE(testing::Message() << zoom * 100 << " %");
        const auto at = [zoom](int units) { return static_cast<int>(units * zoom); };
        // The frame's edge under the display and its well, as it runs beside them.
        for (int y = at(74); y < at(76); ++y) {
            for (int x = at(150); x < at(210); ++x) {
                ASSERT_EQ(Pixel(x, y), Pixel(at(250), y)) << x << ", " << y;
            }
        }
    }
}

}  // namespace
