#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>

#include <algorithm>
#include <filesystem>
#include <set>
#include <string>

#include "support/TempDir.h"
#include "util/AtomicFile.h"
#include "util/DirectoryScan.h"
#include "util/FileReader.h"
#include "util/FileWriter.h"

namespace {
std::set<std::string> ListFolder(const std::string& folder) {
    std::set<std::string> names;
    DirectoryScan scan;
    for (bool more = scan.Start(folder); more; more = scan.Advance())
        names.insert(scan.EntryName());
    return names;
}
}  // namespace

TEST(FileAccess, NamesOutsideAsciiRoundTrip) {
    TempDir dir;
    const std::string path = dir.File("Bässe – Ωrvo 01.prg");
    ASSERT_TRUE(WriteFileAtomically(path, "12\n", 3));
    FileReader reader(path);
    ASSERT_TRUE(reader.IsOpen());
    EXPECT_EQ(reader.Size(), 3);
    char buffer[8] = {};
    EXPECT_EQ(reader.Read(buffer, sizeof buffer), 3u);
    EXPECT_STREQ(buffer, "12\n");
    EXPECT_EQ(reader.Read(buffer, sizeof buffer), 0u);
    EXPECT_EQ(ListFolder(dir.Path()), (std::set<std::string>{".", "..", "Bässe – Ωrvo 01.prg"}));
}

TEST(FileAccess, MissingFolderAndOverlongPathsGiveClosedReaders) {
    TempDir dir;
    FileReader missing(dir.File("nothing.prg"));
    EXPECT_FALSE(missing.IsOpen());
    char byte;
    EXPECT_EQ(missing.Read(&byte, 1), 0u);
    FileReader folder(dir.Path());
    EXPECT_FALSE(folder.IsOpen()) << "a folder is not a file";
    FileReader huge(std::string(100000, 'a'));
    EXPECT_FALSE(huge.IsOpen());
    EXPECT_FALSE(ReadWholeFile(dir.Path()).has_value());
    EXPECT_FALSE(WriteFileAtomically(std::string(100000, 'a'), "x", 1));
}

TEST(FileAccess, AtomicReplaceLeavesNoTemporaryAndKeepsMode) {
    // Flushed or not, a new file and a replaced one are whole and alone in their folder.
    for (Flush flush : {Flush::Always, Flush::WhenReplacing}) {
        TempDir dir;
        const std::string path = dir.File("lastprogram.prg");
        ASSERT_TRUE(WriteFileAtomically(path, "first", 5, nullptr, flush));
        EXPECT_EQ(TempDir::Read(path), "first");
        chmod(path.c_str(), 0640);
        ASSERT_TRUE(WriteFileAtomically(path, "new content", 11, nullptr, flush));
        EXPECT_EQ(TempDir::Read(path), "new content");
        struct stat info {};
        stat(path.c_str(), &info);
        EXPECT_EQ(info.st_mode & 0777, 0640u);
        EXPECT_EQ(ListFolder(dir.Path()), (std::set<std::string>{".", "..", "lastprogram.prg"}));
    }
}

TEST(FileAccess, FailedReplaceKeepsTheOldFile) {
    TempDir dir;
    const std::string path = dir.File("song.prg");
    TempDir::Write(path, "old");
    chmod(path.c_str(), 0444);
    EXPECT_FALSE(WriteFileAtomically(path, "new", 3)) << "a read-only file is not replaced";
    EXPECT_EQ(TempDir::Read(path), "old");
    EXPECT_FALSE(WriteFileAtomically(dir.File("gone/song.prg"), "new", 3));
    EXPECT_FALSE(WriteFileAtomically(dir.Path(), "new", 3)) << "a folder is not replaced";
    EXPECT_TRUE(std::filesystem::is_directory(dir.Path()));
}

TEST(FileAccess, FailedReplaceSaysWhatFailedAndWhy) {
    TempDir dir;
    const std::string path = dir.File("song.prg");
    TempDir::Write(path, "old");
    chmod(path.c_str(), 0444);
    std::string problem;
    EXPECT_FALSE(WriteFileAtomically(path, "new", 3, &problem));
    EXPECT_EQ(problem, "the file is read-only: Permission denied");
    EXPECT_FALSE(WriteFileAtomically(dir.File("gone/song.prg"), "new", 3, &problem));
    EXPECT_EQ(problem,
              "cannot create a file in " + dir.File("gone/") + ": No such file or directory");
    EXPECT_FALSE(WriteFileAtomically(dir.Path(), "new", 3, &problem));
    EXPECT_EQ(problem, "the name is a folder: Is a directory");

    // A write that fails half-way (as on a full disk) names the system's reason and leaves
    // neither a part of the file nor a temporary behind.
    struct rlimit before {};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &before), 0);
    const auto oldHandler = signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = before;
    small.rlim_cur = 2;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool written = WriteFileAtomically(dir.File("big.prg"), "too long", 8, &problem);
    setrlimit(RLIMIT_FSIZE, &before);
    signal(SIGXFSZ, oldHandler);
    EXPECT_FALSE(written);
    EXPECT_EQ(problem, "cannot write the file: File too large");
    EXPECT_EQ(ListFolder(dir.Path()), (std::set<std::string>{".", "..", "song.prg"}));
}

TEST(FileAccess, WriterPutsTheFileInPlaceOnlyWhenClosed) {
    TempDir dir;
    const std::string path = dir.File("out.prg");
    TempDir::Write(path, "old");
    {
        FileWriter writer(path);
        ASSERT_TRUE(writer.IsOpen());
        EXPECT_EQ(writer.Write("abc", 3), 3u);
        EXPECT_EQ(writer.Position(), 3);
        EXPECT_EQ(TempDir::Read(path), "old");
        EXPECT_TRUE(writer.Close());
    }
    EXPECT_EQ(TempDir::Read(path), "abc");
    {
        FileWriter dropped(path);
        dropped.Write("xyz", 3);
    }
    EXPECT_EQ(TempDir::Read(path), "abc") << "only Close puts a file in place";

    FileWriter discarded(path);
    discarded.Write("zzz", 3);
    discarded.Discard();
    EXPECT_EQ(TempDir::Read(path), "abc");

    FileWriter nowhere(dir.File("gone/out.prg"));
    EXPECT_FALSE(nowhere.IsOpen());
    EXPECT_EQ(nowhere.Write("abc", 3), 0u);
    EXPECT_FALSE(nowhere.Close());
}

TEST(FileAccess, ScanDropsOneTrailingSlashAndFlagsFolders) {
    TempDir dir;
    std::filesystem::create_directory(dir.File("sub"));
    TempDir::Write(dir.File("01 Init.prg"), "");
    DirectoryScan scan;
    ASSERT_TRUE(scan.Start(dir.Path() + "/"));
    EXPECT_EQ(scan.Folder(), dir.Path());
    std::set<std::string> folders;
    do {
        if (scan.EntryIsFolder()) folders.insert(scan.EntryName());
    } while (scan.Advance());
    EXPECT_EQ(folders, (std::set<std::string>{".", "..", "sub"}));
    EXPECT_FALSE(scan.Start(dir.File("missing")));
    EXPECT_FALSE(scan.Advance());
}

TEST(FileAccess, ReaderSeeksAndReportsPosition) {
    TempDir dir;
    const std::string path = dir.File("f.bin");
    TempDir::Write(path, "0123456789");
    FileReader reader(path);
    ASSERT_TRUE(reader.Seek(7));
    char buffer[5] = {};
    EXPECT_EQ(reader.Read(buffer, 4), 3u);
    EXPECT_STREQ(buffer, "789");
    EXPECT_EQ(reader.Position(), 10);
    EXPECT_FALSE(reader.Seek(-1));
}

TEST(FileAccess, FolderCreationAndWhatAPathNames) {
    TempDir dir;
    const std::string folder = dir.File("programs");
    std::string problem;
    EXPECT_TRUE(MakeFolder(folder, &problem)) << problem;
    EXPECT_TRUE(IsFolder(folder));
    EXPECT_TRUE(MakeFolder(folder)) << "a folder that is there already is fine";

    const std::string file = dir.File("bass.prg");
    TempDir::Write(file, "12345");
    EXPECT_FALSE(MakeFolder(file, &problem));
    EXPECT_EQ(problem, "a file of that name is there");
    EXPECT_FALSE(MakeFolder(dir.File("missing/inner"), &problem));
    EXPECT_EQ(problem, "No such file or directory");

    EXPECT_EQ(RegularFileSize(file), 5);
    EXPECT_EQ(RegularFileSize(folder), std::nullopt);
    EXPECT_EQ(RegularFileSize(dir.File("missing")), std::nullopt);

    EXPECT_TRUE(IsSpecialFile("/dev/null"));
    const std::string fifo = dir.File("fifo");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_TRUE(IsSpecialFile(fifo));
    EXPECT_FALSE(IsSpecialFile(file));
    EXPECT_FALSE(IsSpecialFile(folder));
    EXPECT_FALSE(IsSpecialFile(dir.File("missing")));
}
