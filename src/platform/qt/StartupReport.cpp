#include "platform/qt/StartupReport.h"

#include <cstdlib>
#include <cstring>
#include <ctime>

#include "util/ProcessInfo.h"

StartupReport::Mode StartupReport::ModeFromEnvironment() {
    return ModeFor(std::getenv("ORVO_REPORT_STARTUP"));
}

StartupReport::Mode StartupReport::ModeFor(const char* setting) {
    if (setting == nullptr || setting[0] == '\0' || std::strcmp(setting, "0") == 0)
        return Mode::Off;
    if (std::strcmp(setting, "quit") == 0) return Mode::ReportAndQuit;
    return Mode::Report;
}

std::optional<long long> StartupReport::StartNsFromStatLine(const char* line, long ticksPerSecond) {
    if (line == nullptr || ticksPerSecond <= 0) return std::nullopt;
    // The command name in parentheses may hold blanks and parentheses itself: the fields are
    // counted from the last ')'. The start time is field 22; the state (field 3) follows it.
    const char* field = std::strrchr(line, ')');
    if (field == nullptr) return std::nullopt;
    ++field;
    for (int number = 3; number <= 22; ++number) {
        while (*field == ' ')
            ++field;
        if (*field == '\0') return std::nullopt;
        if (number == 22) break;
        while (*field != ' ' && *field != '\0')
            ++field;
    }
    char* end = nullptr;
    const unsigned long long ticks = std::strtoull(field, &end, 10);
    if (end == field) return std::nullopt;
    const long long wholeSeconds = static_cast<long long>(ticks / ticksPerSecond);
    const long long restTicks = static_cast<long long>(ticks % ticksPerSecond);
    return wholeSeconds * 1000000000LL + restTicks * 1000000000LL / ticksPerSecond;
}

std::optional<double> StartupReport::MsSinceProcessStart() {
    std::FILE* stat = std::fopen("/proc/self/stat", "r");
    if (stat == nullptr) return std::nullopt;
    char line[1024];
    const bool read = std::fgets(line, sizeof line, stat) != nullptr;
    std::fclose(stat);
    if (!read) return std::nullopt;
    const std::optional<long long> startNs = StartNsFromStatLine(line, ClockTicksPerSecond());
    timespec now{};
    if (!startNs || clock_gettime(CLOCK_BOOTTIME, &now) != 0) return std::nullopt;
    const long long nowNs = static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec;
    if (nowNs < *startNs) return std::nullopt;
    return static_cast<double>(nowNs - *startNs) / 1e6;
}

void StartupReport::Print(std::FILE* out, std::optional<double> ms) {
    if (ms) {
        std::fprintf(out, "startup: first paint after %.0f ms\n", *ms);
    } else {
        std::fputs("startup: first paint after an unknown time (no process start time)\n", out);
    }
    std::fflush(out);
}
