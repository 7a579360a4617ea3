#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <thread>

#include "editor/EqualizerBands.h"
#include "gui/HeadlessGraphics.h"
#include "gui/ParaGraphicEq.h"
#include "plugin/PluginBase.h"

namespace {

constexpr int kEqParam = 161;
// The editor panel's place of the display, 460 x 115.
const Rect kPanelPlace = kEqualizerPlace;

// The unit's four bands (bass shelf, two peaks, treble shelf), all flat, from its parameter
// values: the peaks apart, at about 450 Hz and 1.5 kHz.
std::array<EqBandRecord, kEqBandCount> FlatBands() {
    EqParamValues values{};
    const int frequencies[kEqBandCount] = {40, 42, 86, 40};
    const int widths[kEqBandCount] = {64, 30, 30, 64};
    for (int b = 0; b < kEqBandCount; ++b) {
        values[static_cast<size_t>(b * 3)] = frequencies[b];
        values[static_cast<size_t>(b * 3 + 1)] = widths[b];
    }
    std::array<EqBandRecord, kEqBandCount> bands;
    for (int b = 0; b < kEqBandCount; ++b)
        bands[static_cast<size_t>(b)] = EqBandFromParams(b, values);
    return bands;
}

void SetEditorBands(ParaGraphicEq& eq) {
    for (const EqBandRecord& band : FlatBands())
        eq.SetBand(band);
}

// A middle band (1 or 2) with the unit's limits, at a gain, frequency and width of the test's.
EqBandRecord Peak(int band, float gain, float frequency, float width) {
    EqBandRecord record = FlatBands()[static_cast<size_t>(band)];
    record.gain = gain;
    record.frequency = frequency;
    record.width = width;
    return record;
}

MouseKeys Left() {
    MouseKeys keys;
    keys.L = true;
    return keys;
}

MouseKeys Right() {
    MouseKeys keys;
    keys.R = true;
    return keys;
}

class ParaGraphicEqTest : public ::testing::Test {
protected:
    ParaGraphicEqTest() : eq_(&core_, kPanelPlace, kEqParam, EqualizerDisplaySettings()) {
        SetEditorBands(eq_);
    }

    // Presses on band b's handle and returns the panel point pressed.
    void PressHandle(int b, const MouseKeys& keys) {
        eq_.OnPress(kPanelPlace.L + eq_.HandleX(b), kPanelPlace.T + eq_.HandleY(b), keys);
    }

    PluginBase core_;
    ParaGraphicEq eq_;
};

}  // namespace

TEST_F(ParaGraphicEqTest, PressSelectsTheFirstBandWithinReachAndSetsItsIndexAsValue) {
    PressHandle(2, Left());
    EXPECT_TRUE(eq_.Band(2).Selected());
    EXPECT_FALSE(eq_.Band(1).Selected());
    EXPECT_EQ(eq_.CurrentBand(), 2);
    EXPECT_DOUBLE_EQ(eq_.Value(), 2.0 / 3.0);
    // Ten pixels off on one axis is out of reach.
    eq_.OnRelease(0, 0, Left());
    eq_.OnPress(kPanelPlace.L + eq_.HandleX(1) + 10, kPanelPlace.T + eq_.HandleY(1), Left());
    EXPECT_FALSE(eq_.Band(1).Selected());
}

TEST_F(ParaGraphicEqTest, LeftDragMovesFrequencyAndGainWithinTheBandsLimits) {
    PressHandle(1, Left());
    // A quarter of the height above the centre is half the highest gain.
    eq_.OnDrag(kPanelPlace.L + 230, kPanelPlace.T + 115 / 4, 5, -5, Left());
    EXPECT_NEAR(eq_.Band(1).Frequency(), eq_.Scale().FrequencyAt(230, 460), 0.01);
    EXPECT_NEAR(eq_.Band(1).Gain(), 12.0f, 0.5f);
    // Far past the top right: frequency and gain stop at the band's limits.
    eq_.OnDrag(kPanelPlace.R + 300, kPanelPlace.T - 200, 5, -5, Left());
    EXPECT_FLOAT_EQ(eq_.Band(1).Frequency(), 4800.0f);
    EXPECT_FLOAT_EQ(eq_.Band(1).Gain(), 20.0f);
    EXPECT_NEAR(eq_.Band(1).Position(), eq_.Scale().Position(4800.0), 1e-9);
    eq_.OnDrag(kPanelPlace.L - 300, kPanelPlace.B + 200, -5, 5, Left());
    EXPECT_FLOAT_EQ(eq_.Band(1).Frequency(), 140.0f);
    EXPECT_FLOAT_EQ(eq_.Band(1).Gain(), -20.0f);
}

TEST_F(ParaGraphicEqTest, LowerHalfDragUsesTheLowestGain) {
    EqSettings settings = EqualizerDisplaySettings();
    settings.lowestGain = -12.0f;
    ParaGraphicEq eq(&core_, kPanelPlace, kEqParam, settings);
    SetEditorBands(eq);
    eq.OnPress(kPanelPlace.L + eq.HandleX(1), kPanelPlace.T + eq.HandleY(1), Left());
    eq.OnDrag(kPanelPlace.L + eq.HandleX(1), kPanelPlace.B, 0, 5, Left());
    EXPECT_FLOAT_EQ(eq.Band(1).Gain(), -12.0f);
}

TEST_F(ParaGraphicEqTest, RightDragStepsTheWidthWithinItsLimits) {
    const float width = eq_.Band(1).Width();
    const float frequency = eq_.Band(1).Frequency();
    PressHandle(1, Right());
    eq_.OnDrag(600, 600, 3, 0, Right());
    EXPECT_NEAR(eq_.Band(1).Width(), width + 0.1f, 1e-5);
    eq_.OnDrag(600, 600, 0, 3, Right());
    eq_.OnDrag(600, 600, -1, 0, Right());
    EXPECT_NEAR(eq_.Band(1).Width(), width - 0.1f, 1e-5);
    for (int i = 0; i < 20; ++i)
        eq_.OnDrag(600, 600, 0, -1, Right());
    EXPECT_FLOAT_EQ(eq_.Band(1).Width(), 1.38848f);
    for (int i = 0; i < 30; ++i)
        eq_.OnDrag(600, 600, -1, 0, Right());
    EXPECT_FLOAT_EQ(eq_.Band(1).Width(), 0.1442f);
    // The frequency stays where it was.
    EXPECT_FLOAT_EQ(eq_.Band(1).Frequency(), frequency);
}

TEST_F(ParaGraphicEqTest, DragSendsTheBandIndexToTheBoundParameterAndReleaseEndsTheSelection) {
    PressHandle(3, Left());
    eq_.OnDrag(kPanelPlace.L + 400, kPanelPlace.T + 50, 1, 0, Left());
    EXPECT_DOUBLE_EQ(core_.ParamValue(kEqParam), 1.0);
    eq_.OnRelease(0, 0, Left());
    for (int b = 0; b < eq_.BandCount(); ++b)
        EXPECT_FALSE(eq_.Band(b).Selected());
    // A drag with no band held changes nothing.
    const float gain = eq_.Band(3).Gain();
    eq_.OnDrag(kPanelPlace.L + 10, kPanelPlace.T + 10, 1, 1, Left());
    EXPECT_EQ(eq_.Band(3).Gain(), gain);
}

TEST_F(ParaGraphicEqTest, SingleBandDisplayUsesValueZeroAndIgnoresUnknownBands) {
    EqSettings settings = EqualizerDisplaySettings();
    settings.bandCount = 1;
    ParaGraphicEq eq(&core_, kPanelPlace, kEqParam, settings);
    eq.SetBand({0, kEqPeak, 6.0f, 1000.0f, 1.0f, 20.0f, 12000.0f, -24.0f, 24.0f, 0.1f, 2.0f});
    eq.SetBand({5, kEqPeak, 6.0f, 1000.0f, 1.0f, 20.0f, 12000.0f, -24.0f, 24.0f, 0.1f, 2.0f});
    eq.OnPress(kPanelPlace.L + eq.HandleX(0), kPanelPlace.T + eq.HandleY(0), Left());
    ASSERT_TRUE(eq.Band(0).Selected());
    EXPECT_EQ(eq.Value(), 0.0);
}

TEST_F(ParaGraphicEqTest, CurveIsTheSumOfTheBandsAndFollowsASizeChange) {
    eq_.UpdateCurve();
    ASSERT_EQ(eq_.Curve().size(), 460u);
    EXPECT_TRUE(
        std::all_of(eq_.Curve().begin(), eq_.Curve().end(), [](float v) { return v == 0.0f; }));
    eq_.SetBand(Peak(1, 12.0f, 500.0f, 1.0f));
    eq_.SetBand(Peak(2, 12.0f, 500.0f, 1.0f));
    eq_.UpdateCurve();
    const int centre = eq_.HandleX(1);
    // Two equal boosts at one place add up: each a quarter of the height.
    EXPECT_FLOAT_EQ(eq_.Curve()[static_cast<size_t>(centre)], -2.0f * 115.0f * 0.25f);
    eq_.SetDrawRECT({0, 0, 920, 230});
    eq_.UpdateCurve();
    ASSERT_EQ(eq_.Curve().size(), 920u);
    EXPECT_FLOAT_EQ(eq_.Curve()[static_cast<size_t>(eq_.HandleX(1))], -2.0f * 230.0f * 0.25f);
}

TEST_F(ParaGraphicEqTest, BandsSetFromAnotherThreadNeverShowHalfChanged) {
    // Two settings that differ in every value, so that any mix of them shows.
    auto set = [this](bool boost) {
        eq_.SetBand(boost ? Peak(1, 12.0f, 500.0f, 1.0f) : Peak(1, -9.0f, 2000.0f, 0.5f));
    };
    set(true);
    const std::vector<float> boost = eq_.CurveNow();
    set(false);
    const std::vector<float> cut = eq_.CurveNow();
    // A learned controller moves the band from the MIDI input thread while the panel draws.
    std::atomic<bool> stop{false};
    std::thread midi([&] {
        for (int i = 0; !stop; ++i)
            set(i % 2 == 0);
    });
    int torn = 0;
    for (int draw = 0; draw < 2000; ++draw) {
        const std::vector<float> curve = eq_.CurveNow();
        if (curve != boost && curve != cut) ++torn;
    }
    stop = true;
    midi.join();
    EXPECT_EQ(torn, 0);
}

namespace {

// Draws the display alone on a plain panel and reads pixels back.
class ParaGraphicEqDrawTest : public ::testing::Test {
protected:
    ParaGraphicEqDrawTest() : graphics_(nullptr) { graphics_.PrepareDrawing(); }

    void Fill(uint32_t colour) {
        raster::Bitmap* bitmap = graphics_.DrawBitmap();
        for (int y = 0; y < bitmap->Height(); ++y)
            std::fill_n(bitmap->Row(y), bitmap->Width(), colour);
    }
    uint32_t Pixel(int x, int y) { return graphics_.DrawBitmap()->Row(y)[x] & 0xFFFFFF; }
    void Draw(ParaGraphicEq& eq) {
        graphics_.AddControl(&eq);
        graphics_.DrawDirty(eq.DrawRect());
    }

    HeadlessGraphics graphics_;
};

}  // namespace

TEST_F(ParaGraphicEqDrawTest, FlatBandsDrawTheCentreLineWithItsFaintCompanions) {
    EqSettings settings = EqualizerDisplaySettings();
    settings.hideGrid = true;
    settings.hideHandles = true;
    ParaGraphicEq eq(nullptr, kPanelPlace, kEqParam, settings);
    SetEditorBands(eq);
    Fill(0xFF000000);
    Draw(eq);
    const int centre = (kPanelPlace.T + kPanelPlace.B) / 2;
    for (int x = kPanelPlace.L + 1; x < kPanelPlace.R - 16; ++x) {
        ASSERT_EQ(Pixel(x, centre), 0xFF0000u) << x;
        const uint32_t above = Pixel(x, centre - 1);
        ASSERT_GT(above >> 16, 0u) << x;
        ASSERT_LT(above >> 16, 0xD0u) << x;
        ASSERT_EQ(Pixel(x, centre - 3), 0u) << x;
        ASSERT_EQ(Pixel(x, centre + 3), 0u) << x;
    }
    // Nothing under the gain labels' margin.
    EXPECT_EQ(Pixel(kPanelPlace.R - 5, centre), 0u);
}

TEST_F(ParaGraphicEqDrawTest, BoostLiftsTheCurveAndTheHandleSitsOnIt) {
    EqSettings settings = EqualizerDisplaySettings();
    settings.hideGrid = true;
    ParaGraphicEq eq(nullptr, kPanelPlace, kEqParam, settings);
    SetEditorBands(eq);
    eq.SetBand(Peak(1, 12.0f, 500.0f, 1.0f));
    Fill(0xFF000000);
    Draw(eq);
    const int x = kPanelPlace.L + eq.HandleX(1);
    const int y = kPanelPlace.T + eq.HandleY(1);
    EXPECT_EQ(eq.HandleY(1), 115 / 4);
    EXPECT_EQ(Pixel(x, y), 0xFFFF00u);  // the handle
    EXPECT_EQ(Pixel(x, y + 5), 0u);     // its black rim
    EXPECT_EQ(Pixel(x + 40, y), 0u);    // the curve has fallen away from the top there
    EXPECT_EQ(Pixel(x + 200, (kPanelPlace.T + kPanelPlace.B) / 2), 0xFF0000u);
}

TEST_F(ParaGraphicEqDrawTest, HeldHandleAtTheRightEdgeShowsItsLabelToTheLeft) {
    EqSettings settings = EqualizerDisplaySettings();
    settings.hideGrid = true;
    ParaGraphicEq eq(nullptr, kPanelPlace, kEqParam, settings);
    // The treble shelf moved to the display's right edge.
    EqBandRecord treble = FlatBands()[3];
    treble.frequency = treble.frequencyHigh = settings.highestFrequency;
    eq.SetBand(treble);
    eq.OnPress(kPanelPlace.L + eq.HandleX(3), kPanelPlace.T + eq.HandleY(3), Left());
    ASSERT_TRUE(eq.Band(3).Selected());
    Fill(0xFFFFFFFF);
    Draw(eq);
    const int hx = kPanelPlace.L + eq.HandleX(3), hy = kPanelPlace.T + eq.HandleY(3);
    const uint32_t shaded = Pixel(hx - 50 + 1, hy - 40 + 1);
    EXPECT_LT(shaded & 0xFF, 0xC0u);
    EXPECT_GT(shaded & 0xFF, 0x80u);
    EXPECT_EQ(Pixel(hx - 50 + 46, hy - 40 + 1), 0xFFFFFFu);
    eq.OnRelease(0, 0, Left());
    Fill(0xFFFFFFFF);
    graphics_.DrawDirty(eq.DrawRect());
    EXPECT_EQ(Pixel(hx - 50 + 1, hy - 40 + 1), 0xFFFFFFu);
}

// The curve is drawn smoothly: where it climbs, pixels take the share of it that covers them,
// so reds between the faint companions' and the full curve's lie along its flanks.
TEST_F(ParaGraphicEqDrawTest, CurveIsAntialiasedAlongItsFlanks) {
    EqSettings settings = EqualizerDisplaySettings();
    settings.hideGrid = true;
    settings.hideHandles = true;
    ParaGraphicEq eq(nullptr, kPanelPlace, kEqParam, settings);
    SetEditorBands(eq);
    eq.SetBand(Peak(1, 12.0f, 500.0f, 1.0f));
    Fill(0xFF000000);
    Draw(eq);
    int partial = 0;
    for (int y = kPanelPlace.T; y < kPanelPlace.B; ++y) {
        for (int x = kPanelPlace.L; x < kPanelPlace.R; ++x) {
            const uint32_t red = Pixel(x, y) >> 16;
            if ((Pixel(x, y) & 0xFFFF) == 0 && red > 0x50 && red < 0xF0) ++partial;
        }
    }
    EXPECT_GT(partial, 40);
}

// The display follows the panel's zoom: its labels and handles grow and shrink with it, the grid
// labels never below a legible size.
TEST_F(ParaGraphicEqDrawTest, LabelsAndHandlesFollowTheZoom) {
    EqSettings settings = EqualizerDisplaySettings();
    settings.hideGrid = true;
    ParaGraphicEq eq(nullptr, kPanelPlace, kEqParam, settings);
    SetEditorBands(eq);
    const int radius = static_cast<int>(settings.handleRadius);
    graphics_.AddControl(&eq);
    for (const double zoom : {2.0, 1.0}) {
        eq.ApplyScale(zoom);
        EXPECT_EQ(eq.Zoomed(12), static_cast<int>(12 * zoom));
        Fill(0xFF000000);
        eq.MarkDirty(false);
        graphics_.DrawDirty(eq.DrawRect());
        const int x = kPanelPlace.L + eq.HandleX(1), y = kPanelPlace.T + eq.HandleY(1);
        const int inside = static_cast<int>(radius * zoom) - 1;
        EXPECT_EQ(Pixel(x + inside, y), 0xFFFF00u) << zoom;
        EXPECT_NE(Pixel(x + static_cast<int>(radius * zoom) + 2, y), 0xFFFF00u) << zoom;
    }
    eq.ApplyScale(0.5);
    EXPECT_EQ(eq.Zoomed(12), 6);
    EXPECT_EQ(eq.Zoomed(1), 1) << "never less than a pixel";
}
