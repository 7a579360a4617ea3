#include "plugin/Parameter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

TEST(Parameter, PrecisionFollowsTheStepsDecimals) {
    struct Case {
        double step;
        int precision;
    } cases[] = {{1.0, 0}, {0.001, 3}, {0.3, 1}, {1e-7, 6}, {2.5, 1}};
    for (const Case& c : cases) {
        Parameter param;
        InitParam(param, "p", 0.0, 0.0, 10.0, c.step, 1.0);
        EXPECT_EQ(param.displayPrecision, c.precision) << "step " << c.step;
    }
}

TEST(Parameter, InitParamRaisesEmptyRangeAndTypesUntypedRecords) {
    Parameter param;
    InitParam(param, "p", 0.0, 0.0, 0.0, 1.0, 0.0);
    EXPECT_EQ(param.kind, kParamDouble);
    EXPECT_EQ(param.maximum, 1.0);
    EXPECT_EQ(param.shape, 1.0) << "shape 0 leaves the exponent alone";

    Parameter integer;
    InitIntParam(integer, "VCO1 coarse", 0, -12, 48);
    EXPECT_EQ(integer.kind, kParamInteger);
    EXPECT_EQ(integer.minimum, -12.0);
    EXPECT_EQ(integer.maximum, 48.0);
    EXPECT_EQ(integer.value, 0.0);
    EXPECT_STREQ(integer.name, "VCO1 coarse");
}

TEST(Parameter, LongNamesAreCutToThirtyOneCharacters) {
    Parameter param;
    InitIntParam(param, "a name much longer than thirty-one characters", 0, 0, 1);
    EXPECT_EQ(std::string(param.name), "a name much longer than thirty-");
}

TEST(Parameter, FromNormalizedSnapsToTheStepGrid) {
    Parameter coarse;
    InitIntParam(coarse, "coarse", 0, -12, 48);
    FromNormalized(coarse, 0.5);
    EXPECT_EQ(coarse.value, 18.0);

    Parameter full;
    InitIntParam(full, "full", 0, 0, 127);
    FromNormalized(full, 0.5);
    EXPECT_EQ(full.value, 64.0);
    FromNormalized(full, 1.0);
    EXPECT_EQ(full.value, 127.0);

    Parameter sw;
    InitParam(sw, "switch", 0.0, 0.0, 1.0, 0.001, 1.0);
    FromNormalized(sw, 0.3337);
    EXPECT_DOUBLE_EQ(sw.value, 0.3337) << "doubles are not snapped";
}

TEST(Parameter, ToNormalizedClampsAndAppliesShape) {
    Parameter param;
    InitIntParam(param, "p", 0, 10, 110);
    param.value = 5.0;
    EXPECT_EQ(ToNormalized(param), 0.0);
    param.value = 500.0;
    EXPECT_EQ(ToNormalized(param), 1.0);
    param.value = 60.0;
    EXPECT_DOUBLE_EQ(ToNormalized(param), 0.5);

    Parameter shaped;
    InitParam(shaped, "s", 0.0, 0.0, 1.0, 0.001, 2.0);
    shaped.value = 0.25;
    EXPECT_DOUBLE_EQ(ToNormalized(shaped), 0.5);
    FromNormalized(shaped, 0.5);
    EXPECT_DOUBLE_EQ(shaped.value, 0.25);
}

TEST(Parameter, ClampTurnsNotANumberIntoTheMinimum) {
    Parameter param;
    InitIntParam(param, "p", 0, -1, 80);
    EXPECT_EQ(Clamp(param, std::numeric_limits<double>::quiet_NaN()), -1.0);
    EXPECT_EQ(Clamp(param, -std::numeric_limits<double>::infinity()), -1.0);
    EXPECT_EQ(Clamp(param, 1e300), 80.0);
}

TEST(Parameter, DisplayLabelIsEmptyWhileAWordStandsForTheValue) {
    Parameter param;
    InitIntParam(param, "type", 0, 0, 4);
    CopyBounded(param.label, "dB");
    AddDisplayText(param, 1, "HPF");
    AddDisplayText(param, 2, "");
    param.value = 1.7;
    EXPECT_STREQ(DisplayLabel(param), "");
    param.value = 2.0;
    EXPECT_STREQ(DisplayLabel(param), "dB");
    param.value = 0.0;
    EXPECT_STREQ(DisplayLabel(param), "dB");
}
