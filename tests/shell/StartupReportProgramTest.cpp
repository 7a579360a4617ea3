// The program asked to report its start: one line with the time from process start to the first
// painted panel, then the ordinary end, which keeps the last program as File > Quit does.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>

#include <sys/wait.h>

#include "support/TempDir.h"

TEST(StartupReportProgram, ReportsItsFirstPaintOnceAndEndsNormally) {
    TempDir folder;
    const std::string command =
        "cd '" + folder.Path() + "' && env HOME='" + folder.Path() + "' XDG_CONFIG_HOME='" +
        folder.Path() + "/config' XDG_RUNTIME_DIR='" + folder.Path() +
        "' ORVO_REPORT_STARTUP=quit JACK_NO_START_SERVER=1 LSAN_OPTIONS=detect_leaks=0 "
        "timeout -k 10 60 '" ORVO_EDITOR_PATH "' >out.txt 2>err.txt";
    const auto before = std::chrono::steady_clock::now();
    const int status = std::system(command.c_str());
    const double outsideMs =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - before)
            .count();
    const std::string err = TempDir::Read(folder.File("err.txt"));
    ASSERT_TRUE(WIFEXITED(status)) << err;
    EXPECT_EQ(WEXITSTATUS(status), 0) << err;

    const std::string prefix = "startup: first paint after ";
    const size_t at = err.find(prefix);
    ASSERT_NE(at, std::string::npos) << err;
    EXPECT_EQ(err.find(prefix, at + 1), std::string::npos) << "reported twice: " << err;
    char* end = nullptr;
    const double reportedMs = std::strtod(err.c_str() + at + prefix.size(), &end);
    EXPECT_EQ(std::string(end, 4), " ms\n");
    EXPECT_GT(reportedMs, 0.0);
    // Counted from the process's own start, which comes after the test's clock started; the
    // kernel keeps that start in ticks of up to 10 ms.
    EXPECT_LE(reportedMs, outsideMs + 10.0);

    // Ended through the ordinary quit: the last program was kept beside the settings.
    EXPECT_TRUE(std::filesystem::exists(folder.File("config/OrvodyneEditor/lastprogram.prg")));
}
