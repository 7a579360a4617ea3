#include "editor/PanelLabels.h"

#include <gtest/gtest.h>

#include "editor/PanelPlaces.h"
#include "unit/UnitParameters.h"

namespace {

TEST(PanelLabels, MessagesNameControlsAsThePanelPrintsThem) {
    EXPECT_EQ(PanelControlName(76), "RESONANCE");
    EXPECT_EQ(PanelControlName(82), "OCTAVE");
    EXPECT_EQ(PanelControlName(3), "VCO 1 SAW ENV DECAY");  // a name of two lines, on one
    EXPECT_EQ(PanelControlName(25), "VCO 3 FINE");          // the same in every VCO row
    EXPECT_EQ(PanelControlName(56), "OUTPUT BASS VOL");
    EXPECT_EQ(PanelControlName(98), "TAP 2 LEVEL");
    EXPECT_EQ(PanelControlName(107), "OVERDRIVE LEVEL");
    EXPECT_EQ(PanelControlName(114), "MID 1 Q");
    EXPECT_EQ(PanelControlName(80), "") << "MIDI channel has no control";
    EXPECT_EQ(PanelLabelOf(kUnitParamCount), nullptr);
}

TEST(PanelLabels, EveryControlOfThePanelHasAName) {
    for (int position = 0; position < kUnitParamCount; ++position) {
        const bool control = PositionPlaceAt(position)->kind != kPlaceNone;
        EXPECT_EQ(!PanelControlName(position).empty(), control) << position;
    }
}

}  // namespace
