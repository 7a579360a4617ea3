#include <benchmark/benchmark.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

// The editor's start, from process start to its first painted panel, side by side with the floor
// (an empty Qt main window with a menu bar and a panel-sized client, which starts and reports the
// same way). The editor starts cold (an empty cache folder: every image is decoded) and warm
// (the images the cold start kept are read back). They are started in turns, each with
// ORVO_REPORT_STARTUP=quit, in a private home and settings folder, MIDI ports off. Run it on a
// private X server as a user's desktop would:
//   tools/xvfb/on-xvfb.sh build/test/bin/bench_startup
// Argument 0 starts on the platform the benchmark itself has, 1 on Qt's offscreen platform.
// "reported" figures are the programs' own (the kernel's start, in 10 ms ticks); "outside" ones
// run from the spawn to the report line arriving.

extern char** environ;

namespace {

constexpr int kRuns = 9;

struct Start {
    double reportedMs = 0;
    double outsideMs = 0;
};

// A folder of its own for the programs' home, settings and single-instance socket.
class PrivateHome {
public:
    PrivateHome() {
        char pattern[] = "/tmp/orvo-startup-XXXXXX";
        if (mkdtemp(pattern) != nullptr) path_ = pattern;
        std::filesystem::create_directories(path_ + "/config");
    }
    ~PrivateHome() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    const std::string& Path() const { return path_; }
    std::string CacheFolder() const { return path_ + "/cache"; }
    // The next start finds no kept images.
    void EmptyCache() const {
        std::error_code ignored;
        std::filesystem::remove_all(CacheFolder(), ignored);
    }

private:
    std::string path_;
};

// The benchmark's own environment less what a private start must not see, plus the settings.
std::vector<std::string> StartEnvironment(const PrivateHome& home, bool offscreen) {
    static const char* const kReplaced[] = {"HOME=",
                                            "XDG_CONFIG_HOME=",
                                            "XDG_CACHE_HOME=",
                                            "XDG_RUNTIME_DIR=",
                                            "ORVO_REPORT_STARTUP=",
                                            "JACK_DEFAULT_SERVER=",
                                            "JACK_NO_START_SERVER=",
                                            "QT_QPA_PLATFORM="};
    std::vector<std::string> variables;
    for (char** entry = environ; *entry != nullptr; ++entry) {
        const std::string variable = *entry;
        const bool replaced =
            std::any_of(std::begin(kReplaced), std::end(kReplaced),
                        [&](const char* name) { return variable.rfind(name, 0) == 0; });
        if (!replaced) variables.push_back(variable);
    }
    variables.push_back("HOME=" + home.Path());
    variables.push_back("XDG_CONFIG_HOME=" + home.Path() + "/config");
    variables.push_back("XDG_CACHE_HOME=" + home.CacheFolder());
    variables.push_back("XDG_RUNTIME_DIR=" + home.Path());
    variables.push_back("ORVO_REPORT_STARTUP=quit");
    // No unit is connected: the ports stay off, and no JACK server is started on the side.
    variables.push_back("JACK_NO_START_SERVER=1");
    variables.push_back("JACK_DEFAULT_SERVER=orvo-startup-none");
    const char* platform = std::getenv("QT_QPA_PLATFORM");
    if (offscreen) {
        variables.push_back("QT_QPA_PLATFORM=offscreen");
    } else if (platform != nullptr) {
        variables.push_back(std::string("QT_QPA_PLATFORM=") + platform);
    }
    return variables;
}

// Reads the child's standard error until the report line; its figure, none on failure.
std::optional<double> ReadReport(int fd, std::string& said) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    char buffer[512];
    while (std::chrono::steady_clock::now() < deadline) {
        const size_t at = said.find("startup: first paint after ");
        if (at != std::string::npos && said.find('\n', at) != std::string::npos)
            return std::strtod(said.c_str() + at + 27, nullptr);
        pollfd wait{fd, POLLIN, 0};
        if (poll(&wait, 1, 1000) < 0 && errno != EINTR) return std::nullopt;
        if ((wait.revents & (POLLIN | POLLHUP)) == 0) continue;
        const ssize_t got = read(fd, buffer, sizeof buffer);
        if (got <= 0) return std::nullopt;
        said.append(buffer, static_cast<size_t>(got));
    }
    return std::nullopt;
}

// One start of the program to its report and its ordinary end (exit 0).
std::optional<Start> StartOnce(const char* program, const std::vector<std::string>& variables,
                               std::string& allSaid) {
    std::string said;
    std::vector<char*> envp;
    for (const std::string& variable : variables)
        envp.push_back(const_cast<char*>(variable.c_str()));
    envp.push_back(nullptr);
    int pipeEnds[2];
    if (pipe(pipeEnds) != 0) return std::nullopt;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], STDERR_FILENO);
    posix_spawn_file_actions_addclose(&actions, pipeEnds[0]);
    char* argv[] = {const_cast<char*>(program), nullptr};
    const auto spawned = std::chrono::steady_clock::now();
    pid_t child = 0;
    const int failed = posix_spawn(&child, program, &actions, nullptr, argv, envp.data());
    posix_spawn_file_actions_destroy(&actions);
    close(pipeEnds[1]);
    if (failed != 0) {
        close(pipeEnds[0]);
        return std::nullopt;
    }
    const std::optional<double> reported = ReadReport(pipeEnds[0], said);
    const auto arrived = std::chrono::steady_clock::now();
    if (!reported) kill(child, SIGKILL);
    // The rest of its output is drained so that a full pipe never holds the child up.
    char buffer[512];
    ssize_t got;
    while ((got = read(pipeEnds[0], buffer, sizeof buffer)) > 0)
        said.append(buffer, static_cast<size_t>(got));
    close(pipeEnds[0]);
    allSaid += said;
    int status = 0;
    waitpid(child, &status, 0);
    if (!reported || !WIFEXITED(status) || WEXITSTATUS(status) != 0) return std::nullopt;
    return Start{*reported, std::chrono::duration<double, std::milli>(arrived - spawned).count()};
}

double Median(std::vector<double> values) {
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    const size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

void StartupAgainstFloor(benchmark::State& state) {
    PrivateHome home;
    const std::vector<std::string> variables = StartEnvironment(home, state.range(0) == 1);
    std::vector<double> cold, warm, floor, coldOutside, warmOutside, floorOutside;
    std::string said;
    // One start of each first, not counted: it writes the settings and warms the file cache.
    const bool ready =
        StartOnce(ORVO_EDITOR_PATH, variables, said) && StartOnce(ORVO_FLOOR_PATH, variables, said);
    if (!ready) {
        state.SkipWithError(("a program did not report its start: " + said).c_str());
        return;
    }
    for (auto _ : state) {
        said.clear();
        home.EmptyCache();
        const std::optional<Start> coldStart = StartOnce(ORVO_EDITOR_PATH, variables, said);
        const std::optional<Start> warmStart = StartOnce(ORVO_EDITOR_PATH, variables, said);
        const std::optional<Start> floorStart = StartOnce(ORVO_FLOOR_PATH, variables, said);
        if (!coldStart || !warmStart || !floorStart) {
            state.SkipWithError(("a program did not report its start: " + said).c_str());
            return;
        }
        cold.push_back(coldStart->reportedMs);
        warm.push_back(warmStart->reportedMs);
        floor.push_back(floorStart->reportedMs);
        coldOutside.push_back(coldStart->outsideMs);
        warmOutside.push_back(warmStart->outsideMs);
        floorOutside.push_back(floorStart->outsideMs);
        state.SetIterationTime(warmStart->outsideMs / 1000.0);
    }
    const double floorMs = std::max(Median(floor), 1.0);
    const double floorOutsideMs = std::max(Median(floorOutside), 1.0);
    state.counters["cold_ms"] = Median(cold);
    state.counters["warm_ms"] = Median(warm);
    state.counters["floor_ms"] = Median(floor);
    state.counters["ratio_cold"] = Median(cold) / floorMs;
    state.counters["ratio_warm"] = Median(warm) / floorMs;
    state.counters["cold_outside_ms"] = Median(coldOutside);
    state.counters["warm_outside_ms"] = Median(warmOutside);
    state.counters["floor_outside_ms"] = Median(floorOutside);
    state.counters["ratio_cold_outside"] = Median(coldOutside) / floorOutsideMs;
    state.counters["ratio_warm_outside"] = Median(warmOutside) / floorOutsideMs;
}

}  // namespace

BENCHMARK(StartupAgainstFloor)
    ->ArgName("offscreen")
    ->Arg(0)
    ->Arg(1)
    ->Iterations(kRuns)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
