#include "platform/qt/StartupReport.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

TEST(StartupReport, ProcessStartIsReadFromTheStatLinePastTheCommandName) {
    // Field 22 (the start in clock ticks) counted from the last ')': a command name may hold
    // blanks and parentheses of its own.
    std::string line = "4242 (orvo) (x) 3) S";
    for (int field = 4; field <= 21; ++field)
        line += " " + std::to_string(field);
    const std::string tail = " 99 100\n";
    EXPECT_EQ(StartupReport::StartNsFromStatLine((line + " 12345" + tail).c_str(), 100),
              123450000000LL);
    EXPECT_EQ(StartupReport::StartNsFromStatLine((line + " 7" + tail).c_str(), 250), 28000000LL);

    EXPECT_EQ(StartupReport::StartNsFromStatLine("4242 orvo S 1 2 3", 100), std::nullopt);
    EXPECT_EQ(StartupReport::StartNsFromStatLine("4242 (orvo) S 1 2 3", 100), std::nullopt);
    EXPECT_EQ(StartupReport::StartNsFromStatLine((line + " x" + tail).c_str(), 100), std::nullopt);
    EXPECT_EQ(StartupReport::StartNsFromStatLine((line + " 5" + tail).c_str(), 0), std::nullopt);
}

TEST(StartupReport, ThisProcessStartedBeforeNowAndNotLongAgo) {
    const std::optional<double> ms = StartupReport::MsSinceProcessStart();
    ASSERT_TRUE(ms.has_value());
    EXPECT_GE(*ms, 0.0);
    EXPECT_LT(*ms, 600000.0);
}

TEST(StartupReport, TheVariableAsksForTheReportOrTheReportAndTheEnd) {
    EXPECT_EQ(StartupReport::ModeFor(nullptr), StartupReport::Mode::Off);
    EXPECT_EQ(StartupReport::ModeFor(""), StartupReport::Mode::Off);
    EXPECT_EQ(StartupReport::ModeFor("0"), StartupReport::Mode::Off);
    EXPECT_EQ(StartupReport::ModeFor("1"), StartupReport::Mode::Report);
    EXPECT_EQ(StartupReport::ModeFor("quit"), StartupReport::Mode::ReportAndQuit);
}
