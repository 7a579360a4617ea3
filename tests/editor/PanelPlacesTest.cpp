#include "editor/PanelPlaces.h"

#include <gtest/gtest.h>

#include "unit/UnitParameters.h"

TEST(PanelPlaces, ValueTextsFollowTheirControls) {
    for (int position = 0; position < kUnitParamCount; ++position) {
        SCOPED_TRACE(position);
        const PositionPlace& place = *PositionPlaceAt(position);
        EXPECT_EQ(place.valueText.Width(), 48);
        EXPECT_EQ(place.valueText.Height(), 16);
        if (place.kind != kPlaceKnob) continue;
        // Chart point (x, y): the control at (x, y - 12), the text from (x - 8, y + 33) or, in
        // the performance row, at the top of the panel.
        const int x = place.topLeft.x;
        const int y = place.topLeft.y + 12;
        EXPECT_EQ(place.valueText.L, x - 8);
        if (position >= 75 && position <= 84) {
            EXPECT_EQ(place.valueText.T, 14);
        } else {
            EXPECT_EQ(place.valueText.T, y + 33);
        }
    }
}

TEST(PanelPlaces, SampleOfPlacesFromTheChart) {
    const PositionPlace& coarse = *PositionPlaceAt(0);
    EXPECT_EQ(coarse.kind, kPlaceKnob);
    EXPECT_EQ(coarse.imageId, 106);
    EXPECT_EQ(coarse.topLeft.x, 25);
    EXPECT_EQ(coarse.topLeft.y, 76);
    EXPECT_EQ(coarse.valueText, (Rect{17, 121, 65, 137}));

    const PositionPlace& slope = *PositionPlaceAt(77);
    EXPECT_EQ(slope.kind, kPlaceSwitch);
    EXPECT_EQ(slope.imageId, 133);
    EXPECT_EQ(slope.valueText, (Rect{917, 14, 965, 30}));

    EXPECT_EQ(PositionPlaceAt(80)->kind, kPlaceNone);
    EXPECT_EQ(PositionPlaceAt(75)->imageId, 122);
    EXPECT_FLOAT_EQ(PositionPlaceAt(75)->gearing, 4.0f);
    EXPECT_FLOAT_EQ(PositionPlaceAt(74)->gearing, 0.1f);
    EXPECT_FLOAT_EQ(PositionPlaceAt(89)->gearing, 0.4f);
    EXPECT_EQ(PositionPlaceAt(121)->valueText, (Rect{952, 592, 1000, 608}));
    EXPECT_EQ(PositionPlaceAt(122), nullptr);
}

TEST(PanelPlaces, EffectOverlaysShareTheirPlaces) {
    // Overdrive and equalizer controls stand where the chorus controls stand.
    for (int k = 0; k < kOverdriveCount; ++k) {
        EXPECT_EQ(PositionPlaceAt(104 + k)->valueText, PositionPlaceAt(90 + k)->valueText);
        EXPECT_EQ(PositionPlaceAt(108 + k)->valueText, PositionPlaceAt(90 + k)->valueText);
    }
    for (int k = 4; k < kEqualizerCount; ++k) {
        EXPECT_EQ(PositionPlaceAt(108 + k)->valueText, PositionPlaceAt(90 + k)->valueText);
    }
}
