// Programs per second each way between a folder and orvo-sim without a reply delay, paced as
// the program paces them: writes by the unit's replies, requests by the GUI idle hook.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdlib>

#include "support/DistinctProgram.h"
#include "support/TempDir.h"
#include "support/TransfersOnJack.h"
#include "unit/ProgramText.h"

using namespace transfers_on_jack;

namespace {

constexpr int kPrograms = 99;

bool JackAvailable(benchmark::State& state) {
    if (std::getenv("JACK_DEFAULT_SERVER") != nullptr) return true;
    state.SkipWithError("no JACK server: run tools/bench-transfers.sh");
    return false;
}

// Runs one transfer and records the time it took. The dummy driver of a JACK server without
// realtime scheduling drops a cycle's messages now and then on a busy machine; a transfer that
// lost one ends by the time-out report and is run again, at most three times.
template <typename Start, typename Done>
bool TimeTransfer(benchmark::State& state, EditorOnJack& editor, Start start, Done done) {
    for (int attempt = 0; attempt < 3; ++attempt) {
        editor.Locked([&] { editor.Panel().reports.clear(); });
        const auto begin = Clock::now();
        start();
        // The question before replacing the files of the last run is answered with OK; an
        // error ends the run.
        const auto failed = [&] {
            const auto& reports = editor.Panel().reports;
            return std::any_of(reports.begin(), reports.end(), [](const FakePanel::Shown& shown) {
                return shown.kind == ReportKind::kError;
            });
        };
        const bool finished =
            editor.RunUntil([&](ProgramTransfers& t) { return done(t) || failed(); }, 60s);
        const double seconds = std::chrono::duration<double>(Clock::now() - begin).count();
        const bool clean = finished && !editor.Locked(failed);
        if (clean) {
            state.SetIterationTime(seconds);
            return true;
        }
        // The tick's time-out report comes before the next try.
        editor.TickFor(4s);
    }
    state.SkipWithError("the transfer did not complete in three tries");
    return false;
}

// Runs the menu command over and over between library and a fresh orvo-sim; done says when
// one run is over.
void BenchTransfer(benchmark::State& state, const TempDir& library, int command,
                   bool (*done)(ProgramTransfers&)) {
    SimProcess sim(ORVO_SIM_PATH, {});
    EditorOnJack editor(sim);
    if (!editor.Connected()) return state.SkipWithError("orvo-sim's ports did not open");
    editor.Panel().chosenFolder = library.Path();
    for (auto _ : state) {
        if (!TimeTransfer(
                state, editor, [&] { editor.Editor().DoCommand(command); }, done)) {
            return;
        }
    }
    state.counters["programs/s"] =
        benchmark::Counter(kPrograms, benchmark::Counter::kIsIterationInvariantRate);
}

void BM_WriteAllToUnit(benchmark::State& state) {
    if (!JackAvailable(state)) return;
    TempDir library;
    for (int n = 1; n <= kPrograms; ++n) {
        TempDir::Write(library.File(TwoDigits(n) + ".prg"), FormatProgramText(DistinctProgram(n)));
    }
    BenchTransfer(state, library, kCommandWriteAllPrograms,
                  [](ProgramTransfers& t) { return !t.BatchActive(); });
}

void BM_SaveAllFromUnit(benchmark::State& state) {
    if (!JackAvailable(state)) return;
    TempDir library;
    BenchTransfer(state, library, kCommandSaveAllFromUnit,
                  [](ProgramTransfers& t) { return !t.SaveAllActive(); });
}

}  // namespace

BENCHMARK(BM_WriteAllToUnit)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_SaveAllFromUnit)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);
