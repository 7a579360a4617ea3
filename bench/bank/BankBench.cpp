// The unit's bank against orvo-sim over JACK, paced as the program paces it: reading all 99
// locations, and a verified send of 99 changed locations (each read first for the snapshot,
// written, and read back), clean and with a tenth of the replies dropped and a tenth of the
// dumps damaged. Each runs at the default output pace (fast:0, a DIN cable's) and with the
// "fast interface" setting (fast:1), side by side.

#include <benchmark/benchmark.h>

#include <cstdlib>

#include "library/BankTransfers.h"
#include "library/db/LibraryDatabase.h"
#include "support/DistinctProgram.h"
#include "support/TempDir.h"
#include "support/TransfersOnJack.h"

using namespace transfers_on_jack;

namespace {

constexpr int kLocations = 99;

bool JackAvailable(benchmark::State& state) {
    if (std::getenv("JACK_DEFAULT_SERVER") != nullptr) return true;
    state.SkipWithError("no JACK server: run tools/bench-bank.sh");
    return false;
}

// The editor on orvo-sim with the bank on a library of its own.
class BankOnJack {
public:
    BankOnJack(std::vector<std::string> simOptions, bool fastInterface)
        : sim_(ORVO_SIM_PATH, std::move(simOptions)), editor_(sim_, fastInterface) {}
    bool Ready() {
        return editor_.Connected() && editor_.Locked([&] { return bank_.Open(); });
    }
    // Runs one read or send to its end; its time in seconds, or nothing when it did not end.
    template <typename Start>
    std::optional<double> Run(Start start, Clock::duration within) {
        const auto begin = Clock::now();
        if (!editor_.Locked([&] { return start(bank_); })) return std::nullopt;
        const bool ended =
            editor_.RunUntil([&](ProgramTransfers&) { return !bank_.Busy(); }, within);
        if (!ended) return std::nullopt;
        return std::chrono::duration<double>(Clock::now() - begin).count();
    }
    // Plans a new program for every location.
    void PlanAll(int seed) {
        std::vector<ProgramValues> programs;
        for (int n = 1; n <= kLocations; ++n)
            programs.push_back(DistinctProgram(seed + n));
        editor_.Locked([&] {
            bank_.Arrangement().Place(1, programs);
            return bank_.KeepPlan();
        });
    }
    int Verified() {
        return editor_.Locked([&] {
            int verified = 0;
            for (int n = 1; n <= kLocations; ++n)
                verified += bank_.MarkOf(n) == BankTransfers::Mark::kVerified ? 1 : 0;
            return verified;
        });
    }
    std::string Message() {
        return editor_.Locked([&] { return bank_.Message(); });
    }

private:
    SimProcess sim_;
    EditorOnJack editor_;
    TempDir dir_;
    LibraryDatabase database_{dir_.File("library.sqlite")};
    BankTransfers bank_{editor_.Programs().Transfers(), database_};
};

void BM_ReadBank(benchmark::State& state) {
    if (!JackAvailable(state)) return;
    BankOnJack bank({}, state.range(0) != 0);
    if (!bank.Ready()) return state.SkipWithError("orvo-sim's ports did not open");
    for (auto _ : state) {
        const auto seconds = bank.Run([](BankTransfers& b) { return b.StartRead(); }, 60s);
        if (!seconds) return state.SkipWithError("the read did not end");
        state.SetIterationTime(*seconds);
    }
    state.SetLabel(bank.Message());
}

void SendAll(benchmark::State& state, std::vector<std::string> simOptions) {
    if (!JackAvailable(state)) return;
    BankOnJack bank(std::move(simOptions), state.range(0) != 0);
    if (!bank.Ready()) return state.SkipWithError("orvo-sim's ports did not open");
    int seed = 1000;
    for (auto _ : state) {
        bank.PlanAll(seed);
        seed += 1000;
        const auto seconds = bank.Run([](BankTransfers& b) { return b.StartSend(); }, 600s);
        if (!seconds) return state.SkipWithError("the send did not end");
        state.SetIterationTime(*seconds);
        state.counters["verified"] = bank.Verified();
    }
    state.SetLabel(bank.Message());
}

void BM_SendBank(benchmark::State& state) {
    SendAll(state, {});
}

void BM_SendBankWithFaults(benchmark::State& state) {
    SendAll(state, {"--drop-replies", "0.1", "--corrupt-dumps", "0.1", "--seed", "5"});
}

}  // namespace

BENCHMARK(BM_ReadBank)
    ->ArgName("fast")
    ->DenseRange(0, 1)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);
BENCHMARK(BM_SendBank)
    ->ArgName("fast")
    ->DenseRange(0, 1)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);
BENCHMARK(BM_SendBankWithFaults)
    ->ArgName("fast")
    ->DenseRange(0, 1)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);
