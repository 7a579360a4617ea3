// orvo-sim: a virtual Orvo on virtual MIDI ports, for trying the editor without a unit.

#include <algorithm>
#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "sim/SimPorts.h"
#include "unit/ProgramFolder.h"
#include "unit/VirtualOrvo.h"
#include "util/FileReader.h"
#include "util/FileWriter.h"

namespace {

constexpr const char* kUsage =
    "Usage: orvo-sim [options]\n"
    "A virtual Orvo: opens a MIDI input and output port named \"Orvo Simulator\" (ALSA\n"
    "sequencer, or a JACK server when there is no ALSA sequencer), answers the editor as the\n"
    "unit does and prints one line per message in and out. Runs until interrupted (Ctrl+C).\n"
    "\n"
    "Options:\n"
    "  --name NAME          port name (default \"Orvo Simulator\")\n"
    "  --backend WHICH      auto (default), alsa or jack\n"
    "  --load DIR           load the 99 programs from DIR/01.prg .. DIR/99.prg at start\n"
    "  --save DIR           write the 99 programs to DIR/01.prg .. DIR/99.prg on exit\n"
    "  --erase-delay MS     time the flash erase of a firmware update takes (default 2000)\n"
    "  --fail-firmware      answer every firmware image with \"update failed\"\n"
    "  --reply-delay MS     hold every reply back this long (default 0)\n"
    "  --drop-replies SHARE leave this share (0..1) of replies unsent\n"
    "  --corrupt-dumps SHARE send this share (0..1) of program dumps with a wrong checksum\n"
    "  --seed N             seed of the faults above (default 1)\n"
    "  --quiet              print no line per message\n"
    "  --help               show this text\n";

std::atomic<bool> stopRequested{false};

void OnSignal(int) {
    stopRequested = true;
}

struct Options {
    std::string name = "Orvo Simulator";
    MidiBackend backend = MidiBackend::Automatic;
    std::string loadFolder;
    std::string saveFolder;
    int eraseDelayMs = VirtualOrvo::kDefaultEraseDelayMs;
    SimFaults faults;
    bool quiet = false;
};

bool ParseNumber(const char* text, double lowest, double highest, double* value) {
    char* end = nullptr;
    const double v = std::strtod(text, &end);
    if (end == text || *end != '\0' || v < lowest || v > highest) return false;
    *value = v;
    return true;
}

// Fills options from the command line; 0 to run, else the exit code (0 after --help).
int ParseOptions(int argc, char** argv, Options& options, bool& showHelp) {
    for (int i = 1; i < argc; ++i) {
        const std::string option = argv[i];
        if (option == "--help" || option == "-h") {
            showHelp = true;
            return 0;
        }
        if (option == "--quiet") {
            options.quiet = true;
            continue;
        }
        if (option == "--fail-firmware") {
            options.faults.failFirmware = true;
            continue;
        }
        static const char* const kValueOptions[] = {
            "--name",        "--backend",      "--load", "--save",         "--erase-delay",
            "--reply-delay", "--drop-replies", "--seed", "--corrupt-dumps"};
        if (std::find(std::begin(kValueOptions), std::end(kValueOptions), option) ==
            std::end(kValueOptions)) {
            std::fprintf(stderr, "orvo-sim: unknown option %s (see --help)\n", option.c_str());
            return 2;
        }
        if (i + 1 >= argc) {
            std::fprintf(stderr, "orvo-sim: %s needs a value (see --help)\n", option.c_str());
            return 2;
        }
        const char* value = argv[++i];
        double number = 0;
        bool good = true;
        if (option == "--name") {
            options.name = value;
        } else if (option == "--backend") {
            const std::string which = value;
            good = which == "auto" || which == "alsa" || which == "jack";
            options.backend = MidiBackendNamed(value);
        } else if (option == "--load") {
            options.loadFolder = value;
        } else if (option == "--save") {
            options.saveFolder = value;
        } else if (option == "--erase-delay" || option == "--reply-delay") {
            good = ParseNumber(value, 0, 600000, &number);
            (option == "--erase-delay" ? options.eraseDelayMs : options.faults.replyDelayMs) =
                static_cast<int>(number);
        } else if (option == "--drop-replies" || option == "--corrupt-dumps") {
            good = ParseNumber(value, 0, 1, &number);
            (option == "--drop-replies" ? options.faults.dropReplyShare
                                        : options.faults.corruptDumpShare) = number;
        } else {  // --seed
            good = ParseNumber(value, 0, 4294967295.0, &number);
            options.faults.seed = static_cast<uint32_t>(number);
        }
        if (!good) {
            std::fprintf(stderr, "orvo-sim: bad value \"%s\" for %s\n", value, option.c_str());
            return 2;
        }
    }
    return 0;
}

void LoadPrograms(const std::string& folder, VirtualOrvo& unit) {
    if (!IsFolder(folder)) {
        std::printf("%s does not exist yet: starting with the default program everywhere\n",
                    folder.c_str());
        return;
    }
    std::vector<std::string> problems;
    const int loaded = LoadProgramFolder(folder, unit, &problems);
    for (const std::string& problem : problems) {
        std::fprintf(stderr, "orvo-sim: %s not loaded: %s\n", folder.c_str(), problem.c_str());
    }
    std::printf("loaded %d programs from %s\n", loaded, folder.c_str());
}

// Runs the ports until SIGINT or SIGTERM.
int Serve(VirtualOrvo& unit, const Options& options) {
    SimPorts ports(unit);
    std::string reason;
    if (!ports.Open(options.name, options.backend, &reason)) {
        std::fprintf(stderr, "orvo-sim: cannot open the MIDI ports: %s\n", reason.c_str());
        return 1;
    }
    std::printf("\"%s\" is ready on %s; Ctrl+C ends it\n", options.name.c_str(),
                ports.BackendName());
    std::fflush(stdout);
    std::signal(SIGINT, OnSignal);
    std::signal(SIGTERM, OnSignal);
    while (!stopRequested) {
        ports.Poll();
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    ports.Close();
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    bool showHelp = false;
    if (const int code = ParseOptions(argc, argv, options, showHelp); code != 0 || showHelp) {
        if (showHelp) std::fputs(kUsage, stdout);
        return code;
    }
    VirtualOrvo unit;
    unit.SetFaults(options.faults);
    unit.SetEraseDelayMs(options.eraseDelayMs);
    if (!options.quiet) {
        unit.SetLogSink([](const std::string& line) {
            std::printf("%s\n", line.c_str());
            std::fflush(stdout);
        });
    }
    if (!options.loadFolder.empty()) LoadPrograms(options.loadFolder, unit);
    // The programs are written at the end of a session: make sure now that they can be.
    std::string problem;
    if (!options.saveFolder.empty() && !MakeFolder(options.saveFolder, &problem)) {
        std::fprintf(stderr, "orvo-sim: cannot create the folder %s for --save (%s)\n",
                     options.saveFolder.c_str(), problem.c_str());
        return 1;
    }
    if (Serve(unit, options) != 0) return 1;

    int status = 0;
    if (!options.saveFolder.empty()) {
        if (SaveProgramFolder(options.saveFolder, unit)) {
            std::printf("saved 99 programs to %s\n", options.saveFolder.c_str());
        } else {
            std::fprintf(stderr, "orvo-sim: could not write every program to %s\n",
                         options.saveFolder.c_str());
            status = 1;
        }
    }
    const SimCounters& c = unit.Counters();
    std::printf(
        "%d parameter changes, %d dumps sent, %d programs stored, %d refused, "
        "%d firmware updates\n",
        c.parameterChanges, c.dumpsSent, c.programsStored, c.programsRefused, c.firmwareUpdates);
    return status;
}
