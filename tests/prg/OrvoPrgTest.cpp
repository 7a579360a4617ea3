#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <sys/stat.h>
#include <sys/wait.h>

#include "unit/FirmwareMessages.h"
#include "unit/ProgramConversion.h"
#include "unit/ProgramText.h"
#include "unit/UnitMessages.h"
#include "unit/UnitParameters.h"

namespace {

using Bytes = std::vector<uint8_t>;

struct Result {
    int exitCode;
    std::string out;
    std::string err;
};

// Runs orvo-prg in a temporary folder of its own.
class OrvoPrgTest : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/orvo-prg-test-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        folder_ = pattern;
    }
    void TearDown() override { std::system(("rm -rf '" + folder_ + "'").c_str()); }

    std::string Path(const std::string& name) const { return folder_ + "/" + name; }

    Result Run(const std::string& arguments) {
        const std::string command = "cd '" + folder_ + "' && '" ORVO_PRG_PATH "' " + arguments +
                                    " >stdout.txt 2>stderr.txt";
        const int status = std::system(command.c_str());
        return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, Read("stdout.txt"),
                Read("stderr.txt")};
    }

    void Write(const std::string& name, const std::string& bytes) {
        std::ofstream(Path(name), std::ios::binary) << bytes;
    }
    void Write(const std::string& name, const Bytes& bytes) {
        Write(name, std::string(bytes.begin(), bytes.end()));
    }
    std::string Read(const std::string& name) {
        std::ifstream in(Path(name), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    Bytes ReadBytes(const std::string& name) {
        const std::string text = Read(name);
        return Bytes(text.begin(), text.end());
    }

    static ProgramValues Chorus() {
        ProgramValues values{};
        values[0] = -12;
        values[6] = 64;
        values[89] = kEffectChorus;
        values[94] = -64;
        values[103] = 127;
        return ClampProgramValues(values);  // as the unit would hold it
    }
    static Bytes Dump(const ProgramValues& values, int program) {
        Bytes dump = *BuildProgramWrite(program, ProgramSlotsToUnitBytes(values));
        dump[kCodeIndex] = kCodeProgramDump;
        return dump;
    }

    std::string folder_;
};

TEST_F(OrvoPrgTest, ToSyxWritesTheProgramWriteForTheLocation) {
    Write("bass.prg", FormatProgramText(Chorus()));
    const Bytes expected = *BuildProgramWrite(42, ProgramSlotsToUnitBytes(Chorus()));
    EXPECT_EQ(Run("to-syx bass.prg --program 42").exitCode, 0);
    EXPECT_EQ(ReadBytes("bass.syx"), expected);
    const Result toStdout = Run("to-syx bass.prg --program 42 -o -");
    EXPECT_EQ(toStdout.exitCode, 0);
    EXPECT_EQ(toStdout.out, std::string(expected.begin(), expected.end()));
}

TEST_F(OrvoPrgTest, ToSyxRefusesFilesThatAreNoProgram) {
    Write("empty.prg", "");
    Write("garbage.prg", std::string("\x01\xff\x80\n 999 \n\0\0", 11));
    Write("huge.prg", std::string(5 * 1024 * 1024, '7'));
    for (const char* name : {"empty.prg", "garbage.prg", "huge.prg", "missing.prg"}) {
        const Result result = Run(std::string("to-syx ") + name + " --program 1");
        EXPECT_EQ(result.exitCode, 1) << name;
        EXPECT_EQ(std::count(result.err.begin(), result.err.end(), '\n'), 1) << result.err;
        EXPECT_NE(result.err.find(name), std::string::npos) << result.err;
    }
}

TEST_F(OrvoPrgTest, ToSyxRefusesAPartProgramAndNamesTheLine) {
    // The editor would load each of these, filling in what is missing.
    const std::string whole = FormatProgramText(Chorus());
    std::string noNumber = whole;
    noNumber.replace(noNumber.find("64 "), 2, "xx");  // slot 6, the file's seventh line
    Write("nonumber.prg", noNumber);
    std::string cut;
    for (size_t line = 0, at = 0; line < 103; ++line) {
        const size_t end = whole.find('\n', at) + 1;
        cut += whole.substr(at, end - at);
        at = end;
    }
    Write("cut.prg", cut);
    Write("blanks.prg", "\r\n\r\n" + whole);  // blank lines are no value lines
    // Without a carriage return the editor would read this line as 12.
    Write("outside.prg", "128\n" + whole);

    // A middle line missing: the dummy lines would make up the count, every later value
    // moving up a slot.
    std::string gap;
    for (size_t line = 0, at = 0; at < whole.size(); ++line) {
        const size_t end = whole.find('\n', at) + 1;
        if (line != 40) gap += whole.substr(at, end - at);
        at = end;
    }
    Write("gap.prg", gap);
    const struct {
        const char* name;
        const char* cause;
    } refusals[] = {
        {"nonumber.prg", "line 7 holds \"xx\" where a number belongs"},
        {"cut.prg", "line 103 ends the file after only 103 of the 104 value lines"},
        {"outside.prg", "line 1 holds 128, outside -64..127"},
        {"gap.prg", "line 41 is the line of slot 42: the line of slot 41 is missing"},
    };
    for (const auto& r : refusals) {
        const Result result = Run(std::string("to-syx ") + r.name + " --program 5 -o out.syx");
        EXPECT_EQ(result.exitCode, 1);
        EXPECT_EQ(result.err, std::string("orvo-prg: The program file \"") + r.name +
                                  "\" cannot be used: " + r.cause + ".\n");
    }
    EXPECT_EQ(Read("out.syx"), "");

    const Result result = Run("to-syx blanks.prg --program 5 -o out.syx");
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(ReadBytes("out.syx"), *BuildProgramWrite(5, ProgramSlotsToUnitBytes(Chorus())));
}

TEST_F(OrvoPrgTest, OutputGoesToDevicesAndPipesAsTheyAre) {
    Write("bass.prg", FormatProgramText(Chorus()));
    const Bytes expected = *BuildProgramWrite(42, ProgramSlotsToUnitBytes(Chorus()));
    Result result = Run("to-syx bass.prg --program 42 -o /dev/null");
    EXPECT_EQ(result.exitCode, 0) << result.err;
    result = Run("to-syx bass.prg --program 42 -o /dev/stdout");
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.out, std::string(expected.begin(), expected.end()));
    // A FIFO with a reader at its other end.
    ASSERT_EQ(mkfifo(Path("pipe").c_str(), 0600), 0);
    const std::string throughPipe = "cd '" + folder_ +
                                    "' && (cat pipe > piped.syx & '" ORVO_PRG_PATH
                                    "' to-syx bass.prg --program 42 -o pipe; wait)";
    EXPECT_EQ(std::system(throughPipe.c_str()), 0);
    EXPECT_EQ(ReadBytes("piped.syx"), expected);
    Write("one.syx", Dump(Chorus(), 3));
    EXPECT_EQ(Run("from-syx one.syx -o /dev/null").exitCode, 0);
    Write("image.ldr", std::string(70, '\x11'));
    EXPECT_EQ(Run("firmware image.ldr -o /dev/null").exitCode, 0);
    // What cannot be written says why.
    result = Run("to-syx bass.prg --program 42 -o missing/out.syx");
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_NE(result.err.find("cannot write missing/out.syx: cannot create a file in missing/: "
                              "No such file or directory"),
              std::string::npos)
        << result.err;
}

TEST_F(OrvoPrgTest, FromSyxGivesTheProgramTextOfDumpsAndWrites) {
    Write("one.syx", Dump(Chorus(), 3));
    const Result result = Run("from-syx one.syx");
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.out, FormatProgramText(Chorus()));
    // Several programs go into a folder, named by location.
    Bytes both = Dump(Chorus(), 3);
    const Bytes write = *BuildProgramWrite(17, ProgramSlotsToUnitBytes(ProgramValues{}));
    both.insert(both.end(), write.begin(), write.end());
    Write("both.syx", both);
    EXPECT_EQ(Run("from-syx both.syx -o lib").exitCode, 0);
    EXPECT_EQ(Read("lib/03.prg"), FormatProgramText(Chorus()));
    EXPECT_EQ(Read("lib/17.prg"), FormatProgramText(ClampProgramValues(ProgramValues{})));
    EXPECT_EQ(Run("from-syx both.syx -o lib").exitCode, 0) << "an existing folder takes them";
    // A folder that cannot be made is named, not each file that could then not be written.
    Write("taken", "a file");
    const Result blocked = Run("from-syx both.syx -o taken");
    EXPECT_EQ(blocked.exitCode, 1);
    EXPECT_EQ(blocked.err, "orvo-prg: cannot write taken: a file of that name is there\n");
    // Not run together on standard output, where they would read as one program.
    for (const char* output : {"", " -o -"}) {
        const Result together = Run(std::string("from-syx both.syx") + output);
        EXPECT_EQ(together.exitCode, 2) << output;
        EXPECT_EQ(together.out, "") << output;
        EXPECT_NE(together.err.find("both.syx holds 2 programs: give -o FOLDER"), std::string::npos)
            << together.err;
    }
}

TEST_F(OrvoPrgTest, FromSyxRefusesABadChecksumOrLengthAndSaysWhich) {
    Bytes dump = Dump(Chorus(), 3);
    dump[kChecksumLowIndex] ^= 0x01;
    Write("bad.syx", dump);
    Result result = Run("from-syx bad.syx -o out.prg");
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_NE(result.err.find("checksum bad"), std::string::npos) << result.err;
    EXPECT_EQ(Read("out.prg"), "");
    Bytes shortDump = Dump(Chorus(), 3);
    shortDump.erase(shortDump.begin() + 50);
    Write("short.syx", shortDump);
    result = Run("from-syx short.syx");
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_NE(result.err.find("length is wrong"), std::string::npos) << result.err;
}

TEST_F(OrvoPrgTest, FirmwareSaysWhatTheUnitReceivesOfATailThatCannotTravelExactly) {
    Write("exact.ldr", std::string("\xff\xff\xff\xff\xff\xff\xff\x00\x7f", 9));
    Write("changed.ldr", std::string(8, '\xff'));
    const Result exact = Run("firmware exact.ldr");
    EXPECT_EQ(exact.exitCode, 0);
    EXPECT_EQ(exact.err, "");
    const Result changed = Run("firmware changed.ldr");
    EXPECT_EQ(changed.exitCode, 0) << "the unit is the judge of its firmware";
    EXPECT_EQ(changed.err,
              "orvo-prg: changed.ldr: The last 1 bytes of the image (FF) cannot be sent exactly: "
              "the Orvo will receive 7F in their place.\n");
    const Bytes image(8, 0xFF);
    EXPECT_EQ(ReadBytes("changed.syx"), *BuildFirmwareData(image.data(), image.size()));
}

TEST_F(OrvoPrgTest, FirmwareTakesEightyThousandBytesAndNoMore) {
    Write("ok.ldr", std::string(80000, '\x5a'));
    Write("big.ldr", std::string(80001, '\x5a'));
    EXPECT_EQ(Run("firmware ok.ldr").exitCode, 0);
    const Bytes image(80000, 0x5A);
    EXPECT_EQ(ReadBytes("ok.syx"), *BuildFirmwareData(image.data(), image.size()));
    const Result refused = Run("firmware big.ldr -o big.syx");
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_EQ(refused.err, "orvo-prg: big.ldr is too large (80001 bytes, at most 80000)\n");
    EXPECT_EQ(Read("big.syx"), "");
}

TEST_F(OrvoPrgTest, CheckSaysWhatEachMessageIs) {
    Bytes file = Dump(Chorus(), 7);
    const Bytes request = *BuildDumpRequest(7);
    const Bytes stored = {0xF0, 0x00, 0x21, 0x11, 0x03, 0x21, 0xF7};
    const Bytes image = {1, 2, 3};
    const Bytes firmware = *BuildFirmwareData(image.data(), image.size());
    for (const Bytes* m : {&request, &stored, &firmware})
        file.insert(file.end(), m->begin(), m->end());
    Write("all.syx", file);
    Result result = Run("check all.syx");
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.out,
              "1: program dump, program 7, checksum good\n"
              "2: dump request for program 7\n"
              "3: status reply 21 (program stored)\n"
              "4: firmware data, image of 3 bytes, checksum good\n");
    file[kChecksumHighIndex] ^= 0x01;
    Write("bad.syx", file);
    result = Run("check bad.syx");
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.out.rfind("1: program dump, program 7, checksum bad (not well-formed)\n", 0),
              0u);
    Write("noise.syx", std::string("\x90\x40\x40\xf0\x01\xf7", 6));
    EXPECT_EQ(Run("check noise.syx").exitCode, 1);
    Write("empty.syx", "");
    EXPECT_EQ(Run("check empty.syx").exitCode, 1);
}

TEST_F(OrvoPrgTest, WrongUsageExitsTwo) {
    Write("a.prg", FormatProgramText(ProgramValues{}));
    EXPECT_EQ(Run("").exitCode, 2);
    for (const char* line : {"frobnicate a.prg", "frobnicate", "frobnicate --program 3 a.prg"}) {
        const Result unknown = Run(line);
        EXPECT_EQ(unknown.exitCode, 2) << line;
        EXPECT_EQ(unknown.err.rfind("orvo-prg: unknown command frobnicate", 0), 0u) << unknown.err;
    }
    EXPECT_EQ(Run("to-syx a.prg").exitCode, 2);
    EXPECT_EQ(Run("to-syx a.prg --program 0").exitCode, 2);
    EXPECT_EQ(Run("to-syx a.prg --program 100").exitCode, 2);
    EXPECT_EQ(Run("to-syx a.prg --program 5x").exitCode, 2);
    EXPECT_EQ(Run("check a.prg -o x").exitCode, 2);
    const Result help = Run("--help");
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_NE(help.out.find("from-syx"), std::string::npos);
}

}  // namespace

namespace {

TEST_F(OrvoPrgTest, LibraryImportListsAndExportsOnTheNamedDatabase) {
    std::system(("mkdir -p '" + Path("bank/more") + "'").c_str());
    Write("bank/07 Fat bass.prg", FormatProgramText(Chorus()));
    ProgramValues other = Chorus();
    other[1] = 5;
    Write("bank/more/Pluck.prg", FormatProgramText(other));
    Write("bank/more/same.prg", FormatProgramText(other));
    Write("bank.syx", Dump(Chorus(), 3));

    Result imported = Run("library import bank bank.syx --db lib.sqlite");
    EXPECT_EQ(imported.exitCode, 0) << imported.err;
    EXPECT_EQ(imported.out, "4 programs, 2 new, 2 already in the library\n");
    const Result listed = Run("library list --db lib.sqlite");
    EXPECT_EQ(listed.exitCode, 0);
    ASSERT_EQ(std::count(listed.out.begin(), listed.out.end(), '\n'), 2);
    EXPECT_EQ(listed.out.rfind("Fat bass\t\t", 0), 0u) << listed.out;
    EXPECT_EQ(Run("library list --search pluck --db lib.sqlite").out.rfind("Pluck\t\t", 0), 0u);
    EXPECT_EQ(Run("library list --favourites --db lib.sqlite").out, "");
    // Relative paths are kept as absolute ones, so a second import from elsewhere adds nothing.
    EXPECT_EQ(Run("library import ../" + folder_.substr(folder_.rfind('/') + 1) +
                  "/bank.syx --db lib.sqlite")
                  .out,
              "1 program, 0 new, 1 already in the library\n");

    const Result folder = Run("library export --search fat -o out --db lib.sqlite");
    EXPECT_EQ(folder.exitCode, 0) << folder.err;
    EXPECT_EQ(Read("out/01.prg"), FormatProgramText(Chorus()));
    EXPECT_EQ(Run("library export -o all.syx --db lib.sqlite").exitCode, 0);
    EXPECT_EQ(Run("check all.syx").out,
              "1: program write, program 1, checksum good\n"
              "2: program write, program 2, checksum good\n");
}

TEST_F(OrvoPrgTest, LibraryImportNamesRefusedFilesAndKeepsTheRest) {
    Write("good.prg", FormatProgramText(Chorus()));
    Write("bad.prg", "hello\r\n");
    const Result result = Run("library import good.prg bad.prg --db lib.sqlite");
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_NE(result.err.find("refused: The program file \"" + Path("bad.prg") + "\""),
              std::string::npos)
        << result.err;
    EXPECT_EQ(result.out, "1 program, 1 new, 0 already in the library; 1 file refused\n");
    EXPECT_NE(Run("library list --db lib.sqlite").out.find("good\t"), std::string::npos);
}

TEST_F(OrvoPrgTest, DamagedLibraryIsReplacedAndTheDefaultOneIsInTheDataFolder) {
    Write("damaged.sqlite", std::string(3000, 'z'));
    const Result damaged = Run("library list --db damaged.sqlite");
    EXPECT_EQ(damaged.exitCode, 0);
    EXPECT_NE(damaged.err.find("was damaged and could not be read"), std::string::npos);
    Write("p.prg", FormatProgramText(Chorus()));
    const std::string command = "cd '" + folder_ + "' && XDG_DATA_HOME='" + folder_ +
                                "/data' '" ORVO_PRG_PATH "' library import p.prg >/dev/null";
    EXPECT_EQ(std::system(command.c_str()), 0);
    EXPECT_FALSE(Read("data/OrvodyneEditor/library.sqlite").empty());
}

TEST_F(OrvoPrgTest, LibraryWrongUsageExitsTwo) {
    for (const char* arguments :
         {"library", "library frob", "library import", "library list x.prg", "library export",
          "library list -o x", "library import --search a x.prg", "library list --db"}) {
        EXPECT_EQ(Run(arguments).exitCode, 2) << arguments;
    }
}

}  // namespace
