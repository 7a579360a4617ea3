#include "editor/OrvoEditor.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "unit/UnitParameters.h"

// The editor registers the unit's parameters from the chart; what it registers is what the
// panel, the program files and the undo history see.
namespace {

class RegisteredTable : public ::testing::Test {
protected:
    OrvoEditor editor_{nullptr, nullptr};
};

}  // namespace

TEST_F(RegisteredTable, RegistrationFollowsTheChart) {
    for (int position = 0; position < kUnitParamCount; ++position) {
        SCOPED_TRACE(position);
        const UnitParameter& chart = *UnitParameterAt(position);
        const Parameter& p = *editor_.GetParam(ParamIndexOfPosition(position));
        // Names live in 32-byte fields: the two 32-character names lose their last letter.
        EXPECT_EQ(std::string(p.name), std::string(chart.name).substr(0, 31));
        EXPECT_EQ(p.kind, kParamInteger);
        EXPECT_EQ(p.minimum, chart.minimum);
        EXPECT_EQ(p.maximum, chart.maximum);
        EXPECT_EQ(p.defaultValue, chart.defaultValue);
        EXPECT_EQ(p.value, chart.defaultValue);
        EXPECT_EQ(p.step, 1.0);
        EXPECT_EQ(p.displayPrecision, 0);
    }
}

TEST_F(RegisteredTable, PanelParametersHaveTheirKindsAndNames) {
    for (int s = 0; s < kSectionCount; ++s) {
        const Parameter& p = *editor_.GetParam(kParamFirstSectionSwitch + s);
        EXPECT_EQ(p.kind, kParamDouble);
        EXPECT_EQ(p.step, 0.001);
        EXPECT_EQ(p.displayPrecision, 3);
        EXPECT_STREQ(p.name, SectionName(static_cast<UnitSection>(s)));
    }
    EXPECT_STREQ(editor_.GetParam(160)->name, "Effect");
    EXPECT_STREQ(editor_.GetParam(158)->name, "EnvLFO");
    const Parameter& pgeq = *editor_.GetParam(161);
    EXPECT_EQ(pgeq.kind, kParamInteger);
    EXPECT_EQ(pgeq.maximum, 3.0);
    EXPECT_STREQ(pgeq.name, "PGEq");
    EXPECT_STREQ(editor_.GetParam(134)->name, "WriteAll");
    EXPECT_EQ(editor_.GetParam(134)->kind, kParamDouble);
    EXPECT_STREQ(editor_.GetParam(138)->name, "7 segment display");
    EXPECT_EQ(editor_.GetParam(138)->maximum, 99.0);
    EXPECT_STREQ(editor_.GetParam(162)->name, "4 Band Parametric Equalizer");
    EXPECT_STREQ(editor_.GetParam(163)->name, "4 Band Paragraphic Equalizer");
    for (int index : {0, 1, 2, 125, 126, 130, 131, 133, 135, 137, 139, 152, 164, 166}) {
        const Parameter& p = *editor_.GetParam(index);
        EXPECT_EQ(p.kind, kParamUntyped) << index;
        EXPECT_STREQ(p.name, "") << index;
        EXPECT_EQ(p.maximum, 1.0) << index;
    }
}

TEST_F(RegisteredTable, ConstructionCapturesTheDefaultProgram) {
    const ParamSnapshot* snapshot = editor_.Snapshot(0);
    ASSERT_TRUE(snapshot->initialised);
    EXPECT_EQ(snapshot->name, "-");
    ASSERT_EQ(snapshot->chunk.UsedSize(), 1336);
    double vintage;
    std::memcpy(&vintage, snapshot->chunk.Data() + 72 * 8, 8);
    EXPECT_EQ(vintage, -1.0);
}
