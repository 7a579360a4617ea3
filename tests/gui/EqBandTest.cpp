#include <gtest/gtest.h>

#include <cmath>

#include "gui/EqBand.h"
#include "gui/EqScale.h"
#include "gui/EqSettings.h"
#include "support/DecimalCommaLocale.h"

namespace {

constexpr int kWidth = 400;
constexpr int kHeight = 100;

// 20 Hz to 12 kHz, -30 to 30 dB.
EqSettings PanelSettings() {
    EqSettings settings;
    settings.highestFrequency = 12000.0f;
    return settings.Validated();
}

// The frequency whose position puts the band's centre at the given column.
float FrequencyAtColumn(const EqScale& scale, int column) {
    return static_cast<float>(scale.FrequencyAt(column + 0.5, kWidth));
}

EqBand MakeBand(const EqScale& scale, int type, float gain, int column, float width) {
    EqBandRecord record;
    record.type = type;
    record.gain = gain;
    record.frequency = FrequencyAtColumn(scale, column);
    record.width = width;
    record.widthLow = 4.0f;
    record.widthHigh = 10.0f;
    EqBand band;
    band.Set(record, scale);
    band.ComputeResponse(scale, kWidth, kHeight);
    return band;
}

int CentreColumn(const EqBand& band) {
    return TruncateColumn(kWidth * band.Position());
}

}  // namespace

TEST(EqBand, BandAtZeroDecibelsContributesNothing) {
    const EqScale scale(PanelSettings());
    for (int type : {kEqPeak, kEqLowShelf, kEqHighShelf, kEqBump}) {
        const EqBand band = MakeBand(scale, type, 0.0f, 200, type == kEqPeak ? 1.0f : 5.0f);
        for (int i = 0; i < kWidth; ++i)
            ASSERT_EQ(band.Response()[i], 0.0f) << type << " " << i;
    }
}

TEST(EqBand, PeakReachesFullGainAtItsCentreAndBoostsGoUp) {
    const EqScale scale(PanelSettings());
    const EqBand boost = MakeBand(scale, kEqPeak, 12.0f, 200, 1.0f);
    const int centre = CentreColumn(boost);
    ASSERT_EQ(centre, 200);
    // 12 dB of 30 is a fifth of the height above the centre line.
    EXPECT_FLOAT_EQ(boost.Response()[centre], -20.0f);
    EXPECT_FLOAT_EQ(boost.Response()[centre - 1], -20.0f);
    EXPECT_LT(boost.Response()[centre - 20], 0.0f);
    EXPECT_GT(boost.Response()[centre - 20], -20.0f);
    EXPECT_EQ(boost.Response()[centre - 60], 0.0f);
    EXPECT_EQ(boost.Response()[centre + 60], 0.0f);
    const EqBand cut = MakeBand(scale, kEqPeak, -6.0f, 200, 1.0f);
    EXPECT_FLOAT_EQ(cut.Response()[200], 10.0f);
}

TEST(EqBand, PeakWiderThanTheRoomToAnEdgeIsCutThereNotSqueezed) {
    const EqScale scale(PanelSettings());
    const EqBand inside = MakeBand(scale, kEqPeak, 12.0f, 200, 1.0f);
    const EqBand atLeft = MakeBand(scale, kEqPeak, 12.0f, 10, 1.0f);
    const EqBand atRight = MakeBand(scale, kEqPeak, 12.0f, kWidth - 6, 1.0f);
    ASSERT_EQ(CentreColumn(atLeft), 10);
    ASSERT_EQ(CentreColumn(atRight), kWidth - 6);
    // Half the peak is 43 columns, more than the room on either side.
    for (int offset = -10; offset <= 5; ++offset) {
        EXPECT_FLOAT_EQ(atLeft.Response()[10 + offset], inside.Response()[200 + offset]) << offset;
        EXPECT_FLOAT_EQ(atRight.Response()[kWidth - 6 + offset], inside.Response()[200 + offset])
            << offset;
    }
    // Nothing lands beyond the right edge.
    for (int i = kWidth; i < kWidth + 50; ++i)
        EXPECT_EQ(atRight.Response()[i], 0.0f);
}

TEST(EqBand, ShelvesHoldTheGainOnTheirSideAndFadeAcrossTheTransition) {
    const EqScale scale(PanelSettings());
    const EqBand low = MakeBand(scale, kEqLowShelf, 12.0f, 200, 4.0f);
    const EqBand high = MakeBand(scale, kEqHighShelf, 12.0f, 200, 4.0f);
    // A slope of 4 spreads the transition over 40 % of the width around the centre.
    EXPECT_FLOAT_EQ(low.Response()[0], -20.0f);
    EXPECT_FLOAT_EQ(low.Response()[119], -20.0f);
    EXPECT_EQ(low.Response()[281], 0.0f);
    EXPECT_EQ(high.Response()[119], 0.0f);
    EXPECT_FLOAT_EQ(high.Response()[281], -20.0f);
    EXPECT_FLOAT_EQ(high.Response()[kWidth - 1], -20.0f);
    for (int i = 121; i < 280; ++i) {
        EXPECT_GE(low.Response()[i], low.Response()[i - 1]) << i;
        EXPECT_LE(high.Response()[i], high.Response()[i - 1]) << i;
    }
    EXPECT_NEAR(low.Response()[200], -10.0f, 0.5f);
    EXPECT_NEAR(high.Response()[200], -10.0f, 0.5f);
}

TEST(EqBand, BumpIsARaisedCosineAroundItsCentre) {
    const EqScale scale(PanelSettings());
    const EqBand bump = MakeBand(scale, kEqBump, 12.0f, 200, 1.0f);
    EXPECT_NEAR(bump.Response()[200], -20.0f, 0.1f);
    for (int offset = 1; offset < 43; ++offset) {
        EXPECT_NEAR(bump.Response()[200 - offset], bump.Response()[200 + offset], 0.1f) << offset;
    }
    EXPECT_NEAR(bump.Response()[200 - 43], 0.0f, 1e-4f);
    EXPECT_EQ(bump.Response()[200 - 50], 0.0f);
}

TEST(EqBand, OddValuesNeverWriteOutsideTheColumnsOrProduceNonNumbers) {
    const EqScale scale(PanelSettings());
    for (float frequency : {0.0f, -5.0f, NAN, 1e30f}) {
        for (int type : {kEqPeak, kEqLowShelf, kEqHighShelf, kEqBump}) {
            EqBandRecord record;
            record.type = type;
            record.gain = 20.0f;
            record.frequency = frequency;
            record.width = 1e6f;
            EqBand band;
            band.Set(record, scale);
            band.ComputeResponse(scale, 20000, kHeight);  // wider than the display can be
            for (int i = 0; i < EqBand::kMaxColumns; ++i)
                ASSERT_TRUE(std::isfinite(band.Response()[i]));
        }
    }
}

TEST(EqScale, AxesMapFrequencyLogarithmicallyAndEachGainHalfToItsLimit) {
    EqSettings settings = PanelSettings();
    settings.lowestGain = -12.0f;
    settings.highestGain = 24.0f;
    const EqScale scale(settings);
    EXPECT_DOUBLE_EQ(scale.Position(20.0), 0.0);
    EXPECT_DOUBLE_EQ(scale.Position(12000.0), 1.0);
    EXPECT_NEAR(scale.FrequencyAt(200, 400), std::sqrt(20.0 * 12000.0), 1e-6);
    EXPECT_DOUBLE_EQ(scale.GainY(0.0, 100), 50.0);
    EXPECT_DOUBLE_EQ(scale.GainY(24.0, 100), 0.0);
    EXPECT_DOUBLE_EQ(scale.GainY(-12.0, 100), 100.0);
    EXPECT_DOUBLE_EQ(scale.GainAt(25.0, 100), 12.0);
    EXPECT_DOUBLE_EQ(scale.GainAt(75.0, 100), -6.0);
}

TEST(EqScale, GridListsAndTheirLabels) {
    EXPECT_EQ(EqScale::ParseGridList("25, 50, 100,200"), (std::vector<int>{25, 50, 100, 200}));
    EXPECT_EQ(EqScale::ParseGridList("-18, -6, 0, 6"), (std::vector<int>{-18, -6, 0, 6}));
    EXPECT_EQ(EqScale::ParseGridList("10, x, 30"), (std::vector<int>{10}));
    EXPECT_TRUE(EqScale::ParseGridList("").empty());
    EXPECT_EQ(EqScale::FrequencyGridLabel(500), "500");
    EXPECT_EQ(EqScale::FrequencyGridLabel(1000), "1k");
    EXPECT_EQ(EqScale::FrequencyGridLabel(10000), "10k");
    EXPECT_EQ(EqScale::FrequencyGridLabel(1500), "1.5k");
    EXPECT_EQ(EqScale::GainGridLabel(-18), "-18");
}

// The value label's texts keep their decimal point under a desktop locale with a decimal comma,
// which Qt sets for the whole process.
TEST(EqScale, LabelNumbersKeepTheirDecimalPointUnderADecimalCommaLocale) {
    if (!DecimalCommaLocale::Enter()) GTEST_SKIP() << DecimalCommaLocale::Problem();
    const std::string frequency = EqScale::FrequencyText(1500.0);
    const std::string lowFrequency = EqScale::FrequencyText(62.5);
    const std::string gain = EqScale::GainText(-4.5);
    const std::string peak = EqScale::WidthText(kEqPeak, 1.0, 0.1, 3.0);
    const std::string shelf = EqScale::WidthText(kEqLowShelf, 0.4, 0.1, 3.0);
    const std::string gridLabel = EqScale::FrequencyGridLabel(1500);
    DecimalCommaLocale::Leave();
    EXPECT_EQ(frequency, " 1.50kHz");
    EXPECT_EQ(lowFrequency, "62.50Hz");
    EXPECT_EQ(gain, "-4.5dB");
    EXPECT_EQ(peak, "Q=1.41");
    EXPECT_EQ(shelf, "S=2.7");
    EXPECT_EQ(gridLabel, "1.5k");
}

TEST(EqScale, ValueLabelTexts) {
    EXPECT_EQ(EqScale::FrequencyText(1000.0), " 1.00kHz");
    EXPECT_EQ(EqScale::FrequencyText(4800.0), " 4.80kHz");
    EXPECT_EQ(EqScale::FrequencyText(50.0), "50.00Hz");
    EXPECT_EQ(EqScale::FrequencyText(999.0), "999.00Hz");
    EXPECT_EQ(EqScale::GainText(-6.0), "-6dB");
    EXPECT_EQ(EqScale::GainText(12.34), "12.3dB");
    // One octave: Q = sqrt(2) / (2 - 1).
    EXPECT_EQ(EqScale::WidthText(kEqPeak, 1.0, 0.1442, 1.38848), "Q=1.41");
    // A shelf at the low end of its slope range shows the steepest S, the high limit.
    EXPECT_EQ(EqScale::WidthText(kEqLowShelf, 4.0, 4.0, 10.0), "S=10");
    EXPECT_EQ(EqScale::WidthText(kEqHighShelf, 10.0, 4.0, 10.0), "S=4");
    EXPECT_EQ(EqScale::WidthText(kEqBump, 2.5, 0.0, 10.0), "B=2.5");
}

TEST(EqScale, ValueLabelSitsAboveMovesLeftAtTheRightEdgeAndBelowNearTheTop) {
    EXPECT_EQ(EqScale::LabelBox(100, 60, 460), (Rect{100, 20, 145, 56}));
    EXPECT_EQ(EqScale::LabelBox(411, 60, 460), (Rect{361, 20, 406, 56}));
    EXPECT_EQ(EqScale::LabelBox(410, 60, 460), (Rect{410, 20, 455, 56}));
    EXPECT_EQ(EqScale::LabelBox(100, 39, 460), (Rect{100, 59, 145, 95}));
    EXPECT_EQ(EqScale::LabelBox(450, 10, 460), (Rect{400, 30, 445, 66}));
}

TEST(EqSettings, OutOfRangeSettingsFallBack) {
    EqSettings settings;
    settings.bandCount = 12;
    settings.lowestFrequency = 5.0f;
    settings.highestFrequency = 30000.0f;
    settings.lowestGain = 0.0f;
    settings.highestGain = 55.0f;
    EqSettings valid = settings.Validated();
    EXPECT_EQ(valid.bandCount, 10);
    EXPECT_EQ(valid.lowestFrequency, 20.0f);
    EXPECT_EQ(valid.highestFrequency, 22000.0f);
    EXPECT_EQ(valid.lowestGain, -40.0f);
    EXPECT_EQ(valid.highestGain, 40.0f);

    settings = {};
    settings.bandCount = -3;
    settings.lowestFrequency = 500.0f;
    settings.highestFrequency = 400.0f;  // not above the lowest
    settings.lowestGain = NAN;
    valid = settings.Validated();
    EXPECT_EQ(valid.bandCount, 0);
    EXPECT_EQ(valid.lowestFrequency, 20.0f);
    EXPECT_EQ(valid.highestFrequency, 400.0f);
    EXPECT_EQ(valid.lowestGain, -40.0f);

    // A lowest frequency above 24 kHz cannot stay above the corrected highest one.
    settings = {};
    settings.lowestFrequency = 23000.0f;
    settings.highestFrequency = 30000.0f;
    valid = settings.Validated();
    EXPECT_LT(valid.lowestFrequency, valid.highestFrequency);

    settings = {};
    settings.lowestFrequency = 40.0f;
    settings.highestFrequency = 16000.0f;
    settings.lowestGain = -24.0f;
    settings.highestGain = 24.0f;
    valid = settings.Validated();
    EXPECT_EQ(valid.lowestFrequency, 40.0f);
    EXPECT_EQ(valid.highestFrequency, 16000.0f);
    EXPECT_EQ(valid.lowestGain, -24.0f);
}
