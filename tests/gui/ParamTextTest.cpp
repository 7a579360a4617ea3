#include <gtest/gtest.h>

#include "gui/ParamText.h"

#include "support/DecimalCommaLocale.h"

namespace {

TEST(ParamText, EntryFilterKeepsOnlyWhatTheKindCanHold) {
    Parameter integer;
    integer.kind = kParamInteger;
    Parameter real;
    real.kind = kParamDouble;
    std::u32string typed = U"1.5";
    std::u32string kept;
    for (char32_t c : typed) {
        if (EntryAcceptsChar(&integer, c)) kept += c;
    }
    EXPECT_EQ(kept, U"15");
    EXPECT_TRUE(EntryAcceptsChar(&real, U'.'));
    for (char32_t c : {U'+', U'-', U'0', U'9', U'\b'})
        EXPECT_TRUE(EntryAcceptsChar(&integer, c));
    for (char32_t c : {U'a', U' ', U'e', U','})
        EXPECT_FALSE(EntryAcceptsChar(&real, c));
    EXPECT_TRUE(EntryAcceptsChar(nullptr, U'x'));  // a free text takes anything
}

TEST(ParamText, PlainValuesAreFormattedWithTheDisplayPrecision) {
    Parameter param;
    InitIntParam(param, "Tune", 0, -12, 12);
    param.value = -7.9;  // whole numbers truncate toward zero
    EXPECT_EQ(FormatPlainValue(param), "-7");
    param.negateDisplay = true;
    EXPECT_EQ(FormatPlainValue(param), "7");
    param.displayPrecision = 3;
    param.negateDisplay = false;
    EXPECT_EQ(FormatPlainValue(param), "-7.900");
}

TEST(ParamText, EnteredTextsOfListsMatchTheirDisplayTexts) {
    Parameter list;
    list.kind = kParamList;
    AddDisplayText(list, 2, "square");
    EXPECT_DOUBLE_EQ(ParseEntryValue(list, "square"), 2.0);
    EXPECT_DOUBLE_EQ(ParseEntryValue(list, "Square"), 0.0);
    Parameter real;
    real.kind = kParamDouble;
    EXPECT_DOUBLE_EQ(ParseEntryValue(real, "-2.5x"), -2.5);
    EXPECT_DOUBLE_EQ(ParseEntryValue(real, ""), 0.0);
}

// Qt sets the process locale from the desktop; a German one must not put "1,5" on the panel,
// nor make an entered "2.5" read as 2.
TEST(ParamText, NumbersKeepTheirDecimalPointUnderADecimalCommaLocale) {
    if (!DecimalCommaLocale::Enter()) GTEST_SKIP() << DecimalCommaLocale::Problem();
    Parameter real;
    real.kind = kParamDouble;
    real.value = 1.5;
    real.displayPrecision = 1;
    const std::string shown = FormatPlainValue(real);
    const double entered = ParseEntryValue(real, "2.5");
    DecimalCommaLocale::Leave();
    EXPECT_EQ(shown, "1.5");
    EXPECT_DOUBLE_EQ(entered, 2.5);
}

}  // namespace
