#include "util/NumberText.h"

#include <gtest/gtest.h>

#include "support/DecimalCommaLocale.h"

namespace {

class NumberText : public ::testing::Test {
protected:
    void SetUp() override {
        if (!DecimalCommaLocale::Enter()) GTEST_SKIP() << DecimalCommaLocale::Problem();
    }
    void TearDown() override { DecimalCommaLocale::Leave(); }
};

// Under a desktop locale with a decimal comma the panel and the settings file still get points.
TEST_F(NumberText, WritesADecimalPointWhateverTheLocale) {
    EXPECT_EQ(FixedText(1.5, 1), "1.5");
    EXPECT_EQ(FixedText(-7.9, 3), "-7.900");
    EXPECT_EQ(FixedText(1.2, 15), "1.200000000000000");
    EXPECT_EQ(FixedText(2.675, 0), "3");
    EXPECT_EQ(GeneralText(1500.0 / 1000.0, 2), "1.5");
    EXPECT_EQ(GeneralText(25, 3), "25");
    EXPECT_EQ(GeneralText(-18, 4), "-18");
    EXPECT_EQ(GeneralText(0.70710678, 3), "0.707");
    EXPECT_EQ(GeneralText(123456, 3), "1.23e+05");
    EXPECT_EQ(PaddedText(FixedText(1.5, 2), 5), " 1.50");
    EXPECT_EQ(PaddedText(FixedText(123.25, 2), 5), "123.25");
}

TEST_F(NumberText, ReadsADecimalPointWhateverTheLocale) {
    EXPECT_EQ(ParseDecimal("1.200000000000000"), 1.2);
    EXPECT_EQ(ParseDecimal("  +2.5x"), 2.5);
    EXPECT_EQ(ParseDecimal("-0.75"), -0.75);
    EXPECT_EQ(ParseDecimal(".5"), 0.5);
    EXPECT_EQ(ParseDecimal("1,5"), 1.0) << "a comma ends the number, as in a file written here";
    EXPECT_FALSE(ParseDecimal("").has_value());
    EXPECT_FALSE(ParseDecimal(" x1").has_value());
    EXPECT_FALSE(ParseDecimal("inf").has_value());
    EXPECT_FALSE(ParseDecimal("nan").has_value());
}

}  // namespace
