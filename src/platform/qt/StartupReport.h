#pragma once

#include <cstdio>
#include <optional>

// How long the process took from its start, as the kernel recorded it, to its first painted
// window: dynamic loading and static initialisation are counted too. ORVO_REPORT_STARTUP asks
// for it: "1" prints one line to standard error, "quit" prints it and then ends the program
// through its ordinary quit, so that a benchmark can start it again and again.
class StartupReport {
public:
    enum class Mode { Off, Report, ReportAndQuit };

    static Mode ModeFromEnvironment();
    static Mode ModeFor(const char* setting);

    // Milliseconds since the process started; none when the kernel's record cannot be read.
    // The kernel keeps the start in clock ticks (10 ms here), so the figure is that coarse.
    static std::optional<double> MsSinceProcessStart();

    // The process's start in CLOCK_BOOTTIME nanoseconds, read from a /proc/PID/stat line.
    static std::optional<long long> StartNsFromStatLine(const char* line, long ticksPerSecond);

    // Prints the report line "startup: first paint after N ms".
    static void Print(std::FILE* out, std::optional<double> ms);
};
