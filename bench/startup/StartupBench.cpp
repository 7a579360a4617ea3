#include <benchmark/benchmark.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

// The editor's start, from process start to its first painted panel, side by side with the floor
// (an empty Qt main window with a menu bar and a client of the panel's size at the same zoom,
// which starts and reports the same way), at 100 % and at 200 %. At 100 % the editor starts
// first as after installing (no settings folder) and then as on every later start; at 200 % with
// that zoom kept in its settings. They are started in turns, each with ORVO_REPORT_STARTUP=1, in
// a private home and settings folder, MIDI ports off; at the report line the resident memory is
// read and the program is ended with SIGTERM. Run it on a private X server as a user's desktop
// would:
//   ORVO_XVFB_SCREEN=4096x3072 tools/xvfb/on-xvfb.sh build/test/bin/bench_startup
// ORVO_STARTUP_EDITOR names another build of the editor to measure in its place, so that two
// builds are compared against the same floor in one session.
// "reported" figures are the programs' own (the kernel's start, in 10 ms ticks); "outside" ones
// run from the spawn to the report line arriving; "rss" is VmRSS at the report line, in MB.

extern char** environ;

namespace {

constexpr int kRuns = 9;

struct Start {
    double reportedMs = 0;
    double outsideMs = 0;
    double residentMb = 0;
};

// The editor measured: the one built beside the benchmark, or the build ORVO_STARTUP_EDITOR names.
const char* EditorPath() {
    const char* other = std::getenv("ORVO_STARTUP_EDITOR");
    return other != nullptr && *other != '\0' ? other : ORVO_EDITOR_PATH;
}

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
    std::string ConfigFolder() const { return path_ + "/config"; }
    // The next start is the first after installing: no settings folder.
    void ForgetSettings() const {
        std::error_code ignored;
        std::filesystem::remove_all(ConfigFolder() + "/OrvodyneEditor", ignored);
    }
    // The next start opens at this zoom, as kept in the settings file.
    void KeepZoom(double zoom) const {
        std::filesystem::create_directories(ConfigFolder() + "/OrvodyneEditor");
        std::ofstream(ConfigFolder() + "/OrvodyneEditor/settings.ini")
            << "[gui]\nguiscale=" << zoom << "\n";
    }

private:
    std::string path_;
};

// The benchmark's own environment less what a private start must not see, plus the settings.
std::vector<std::string> StartEnvironment(const PrivateHome& home) {
    static const char* const kReplaced[] = {"HOME=",
                                            "XDG_CONFIG_HOME=",
                                            "XDG_CACHE_HOME=",
                                            "XDG_RUNTIME_DIR=",
                                            "ORVO_REPORT_STARTUP=",
                                            "ORVO_STARTUP_EDITOR=",
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
    variables.push_back("XDG_CONFIG_HOME=" + home.ConfigFolder());
    variables.push_back("XDG_CACHE_HOME=" + home.CacheFolder());
    variables.push_back("XDG_RUNTIME_DIR=" + home.Path());
    variables.push_back("ORVO_REPORT_STARTUP=1");
    // No unit is connected: the ports stay off, and no JACK server is started on the side.
    variables.push_back("JACK_NO_START_SERVER=1");
    variables.push_back("JACK_DEFAULT_SERVER=orvo-startup-none");
    if (const char* platform = std::getenv("QT_QPA_PLATFORM"))
        variables.push_back(std::string("QT_QPA_PLATFORM=") + platform);
    return variables;
}

// The resident memory of a running process in MB; 0 when it cannot be read.
double ResidentMb(pid_t process) {
    std::ifstream status("/proc/" + std::to_string(process) + "/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmRSS:", 0) == 0) return std::strtod(line.c_str() + 6, nullptr) / 1024.0;
    }
    return 0;
}

// Ends the child as the desktop would at logout (SIGTERM), and for sure after 10 s.
bool EndChild(pid_t child) {
    kill(child, SIGTERM);
    int status = 0;
    for (int waited = 0; waited < 1000; ++waited) {
        if (waitpid(child, &status, WNOHANG) == child)
            return WIFEXITED(status) || WIFSIGNALED(status);
        usleep(10000);
    }
    kill(child, SIGKILL);
    waitpid(child, &status, 0);
    return false;
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

// A started program and the read end of its standard error.
struct Child {
    pid_t pid = 0;
    int output = -1;
};

std::optional<Child> Spawn(const char* program, const char* zoom,
                           const std::vector<std::string>& variables) {
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
    // The floor takes the zoom as its argument; the editor reads it from its settings.
    const bool floor = std::strcmp(program, ORVO_FLOOR_PATH) == 0;
    char* argv[] = {const_cast<char*>(program), floor ? const_cast<char*>(zoom) : nullptr, nullptr};
    Child child;
    const int failed = posix_spawn(&child.pid, program, &actions, nullptr, argv, envp.data());
    posix_spawn_file_actions_destroy(&actions);
    close(pipeEnds[1]);
    if (failed != 0) {
        close(pipeEnds[0]);
        return std::nullopt;
    }
    child.output = pipeEnds[0];
    return child;
}

// An X server resets when its last client leaves, and refuses connections meanwhile: a program
// started right after the previous one ended could find no display. A small floor window stays
// open for the whole run, so the server never resets (and no start pays for a reset).
class DisplayKeeper {
public:
    DisplayKeeper() {
        const std::optional<Child> child = Spawn(ORVO_FLOOR_PATH, "0.05", StartEnvironment(home_));
        if (!child) return;
        child_ = *child;
        std::string said;
        ReadReport(child_.output, said);
    }
    ~DisplayKeeper() {
        if (child_.output < 0) return;
        EndChild(child_.pid);
        close(child_.output);
    }
    DisplayKeeper(const DisplayKeeper&) = delete;
    DisplayKeeper& operator=(const DisplayKeeper&) = delete;

private:
    PrivateHome home_;
    Child child_;
};

// One start of the program to its report, and its end by SIGTERM.
std::optional<Start> StartOnce(const char* program, const char* zoom,
                               const std::vector<std::string>& variables, std::string& allSaid) {
    std::string said;
    const auto spawned = std::chrono::steady_clock::now();
    const std::optional<Child> child = Spawn(program, zoom, variables);
    if (!child) return std::nullopt;
    const std::optional<double> reported = ReadReport(child->output, said);
    const auto arrived = std::chrono::steady_clock::now();
    const double resident = reported ? ResidentMb(child->pid) : 0;
    const bool ended = EndChild(child->pid);
    // The rest of its output is drained so that a full pipe never holds the child up.
    char buffer[512];
    ssize_t got;
    while ((got = read(child->output, buffer, sizeof buffer)) > 0)
        said.append(buffer, static_cast<size_t>(got));
    close(child->output);
    allSaid += said;
    if (!reported || !ended) return std::nullopt;
    return Start{*reported, std::chrono::duration<double, std::milli>(arrived - spawned).count(),
                 resident};
}

double Median(std::vector<double> values) {
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    const size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

// Medians of several starts of one kind.
struct Figures {
    std::vector<double> reported, outside, resident;

    void Add(const Start& start) {
        reported.push_back(start.reportedMs);
        outside.push_back(start.outsideMs);
        resident.push_back(start.residentMb);
    }
};

// Argument: the zoom in percent, 100 or 200.
void StartupAgainstFloor(benchmark::State& state) {
    static const DisplayKeeper keeper;
    PrivateHome home;
    const double zoom = static_cast<double>(state.range(0)) / 100.0;
    const std::string zoomText = std::to_string(zoom);
    const std::vector<std::string> variables = StartEnvironment(home);
    Figures first, later, floor;
    std::string said;
    auto start = [&](const char* program, Figures& into) {
        const std::optional<Start> started = StartOnce(program, zoomText.c_str(), variables, said);
        if (started) into.Add(*started);
        return started.has_value();
    };
    // One start of each first, not counted: it warms the file cache.
    home.KeepZoom(zoom);
    Figures ignored;
    if (!start(EditorPath(), ignored) || !start(ORVO_FLOOR_PATH, ignored)) {
        state.SkipWithError(("a program did not report its start: " + said).c_str());
        return;
    }
    for (auto _ : state) {
        said.clear();
        bool ok = true;
        if (zoom == 1.0) {
            home.ForgetSettings();
            ok = start(EditorPath(), first);
        }
        home.KeepZoom(zoom);
        ok = ok && start(EditorPath(), later) && start(ORVO_FLOOR_PATH, floor);
        if (!ok) {
            state.SkipWithError(("a program did not report its start: " + said).c_str());
            return;
        }
        state.SetIterationTime(later.outside.back() / 1000.0);
    }
    // The editor keeps nothing between runs.
    if (std::filesystem::exists(home.CacheFolder())) {
        state.SkipWithError("the editor wrote a cache folder");
        return;
    }
    const double floorMs = std::max(Median(floor.reported), 1.0);
    const double floorOutsideMs = std::max(Median(floor.outside), 1.0);
    const double floorMb = std::max(Median(floor.resident), 1.0);
    if (!first.reported.empty()) {
        state.counters["first_ms"] = Median(first.reported);
        state.counters["ratio_first"] = Median(first.reported) / floorMs;
        state.counters["ratio_first_outside"] = Median(first.outside) / floorOutsideMs;
    }
    state.counters["later_ms"] = Median(later.reported);
    state.counters["floor_ms"] = Median(floor.reported);
    state.counters["ratio_later"] = Median(later.reported) / floorMs;
    state.counters["later_outside_ms"] = Median(later.outside);
    state.counters["floor_outside_ms"] = Median(floor.outside);
    state.counters["ratio_later_outside"] = Median(later.outside) / floorOutsideMs;
    state.counters["rss_mb"] = Median(later.resident);
    state.counters["floor_rss_mb"] = Median(floor.resident);
    state.counters["ratio_rss"] = Median(later.resident) / floorMb;
}

}  // namespace

BENCHMARK(StartupAgainstFloor)
    ->ArgName("zoom")
    ->Arg(100)
    ->Arg(200)
    ->Iterations(kRuns)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
