// The program library at the size a collector's reaches: 10,000 programs from as many .prg
// files in 100 folders. Import of all the files into a new library; a search at each key as
// the user types a word; the list sorted by likeness to a program.
#include <benchmark/benchmark.h>

#include <array>
#include <filesystem>
#include <string>

#include "library/db/LibraryDatabase.h"
#include "library/db/LibraryImport.h"
#include "support/DistinctProgram.h"
#include "support/TempDir.h"
#include "unit/ProgramConversion.h"
#include "unit/ProgramText.h"

namespace {

constexpr int kPrograms = 10000;
constexpr int kPerFolder = 100;

constexpr std::array<const char*, 8> kWords = {"Fat",  "Bass", "Pluck", "Growl",
                                               "Lead", "Soft", "Acid",  "Rubber"};

// The files, written once for every benchmark of the run.
const TempDir& ProgramFiles() {
    static TempDir files;
    static bool written = false;
    if (!written) {
        for (int n = 0; n < kPrograms; ++n) {
            const std::string folder = files.File("bank" + std::to_string(n / kPerFolder));
            if (n % kPerFolder == 0) std::filesystem::create_directory(folder);
            const std::string name = TwoDigits(n % kPerFolder % 99 + 1) + " " +
                                     kWords[static_cast<size_t>(n) % kWords.size()] + " " +
                                     kWords[static_cast<size_t>(n / 7) % kWords.size()] + " " +
                                     std::to_string(n);
            TempDir::Write(folder + "/" + name + ".prg",
                           FormatProgramText(ClampProgramValues(DistinctProgram(n))));
        }
        written = true;
    }
    return files;
}

// A library of every file, made once.
LibraryDatabase& FullLibrary() {
    static TempDir dir;
    static LibraryDatabase database(dir.File("library.sqlite"));
    if (!database.IsOpen()) {
        database.Open();
        ImportIntoLibrary(database, {ProgramFiles().Path()});
    }
    return database;
}

void ImportTenThousandFiles(benchmark::State& state) {
    const std::string folder = ProgramFiles().Path();
    int64_t programs = 0;
    for (auto _ : state) {
        state.PauseTiming();
        TempDir dir;
        LibraryDatabase database(dir.File("library.sqlite"));
        state.ResumeTiming();
        database.Open();
        const ImportReport report = ImportIntoLibrary(database, {folder});
        programs = database.Count();
        benchmark::DoNotOptimize(report);
    }
    state.counters["programs"] = static_cast<double>(programs);
}
BENCHMARK(ImportTenThousandFiles)->Unit(benchmark::kMillisecond)->Iterations(3);

// One search for each key of "growl" typed: g, gr, gro, grow, growl.
void SearchAsYouType(benchmark::State& state) {
    LibraryDatabase& database = FullLibrary();
    const std::string word = "growl";
    size_t length = 0;
    size_t found = 0;
    for (auto _ : state) {
        length = length % word.size() + 1;
        LibraryQuery query;
        query.text = word.substr(0, length);
        found = database.Find(query).size();
        benchmark::DoNotOptimize(found);
    }
    state.counters["library"] = static_cast<double>(database.Count());
}
BENCHMARK(SearchAsYouType)->Unit(benchmark::kMillisecond);

void LikenessSort(benchmark::State& state) {
    LibraryDatabase& database = FullLibrary();
    LibraryQuery query;
    query.sort = LibrarySort::kLikeness;
    query.likeness = ClampProgramValues(DistinctProgram(4321));
    for (auto _ : state) {
        benchmark::DoNotOptimize(database.Find(query));
    }
    state.counters["library"] = static_cast<double>(database.Count());
}
BENCHMARK(LikenessSort)->Unit(benchmark::kMillisecond);

}  // namespace
