// Tests of the game's files: the motif file read and written, the click trace, and saves that
// replace a file whole or lose nothing: through links, keeping the old file's mode and owner, or
// leaving it as it was.
#include <grp.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <set>
#include <vector>

#include "board/file_replace.h"
#include "board/motif.h"
#include "board/trace.h"
#include "files.h"

namespace fs = std::filesystem;

constexpr uid_t nobody = 65534;

static std::set<std::string> entries(const fs::path& folder) {
    std::set<std::string> names;
    for (const auto& e : fs::directory_iterator(folder)) names.insert(e.path().filename());
    return names;
}

// Saves "new" in a child, under the umask given and as nobody if asked, so that this process
// keeps its own. 0: saved, 1: not saved, anything else: the child could not be set up.
static int saveInChild(const std::string& path, Durability durability, mode_t mask, bool asNobody) {
    const pid_t child = ::fork();
    if (child == 0) {
        ::umask(mask);
        if (asNobody && (::setgroups(0, nullptr) || ::setgid(nobody) || ::setuid(nobody)))
            ::_exit(2);
        ::_exit(replaceFile(path, "new", durability) ? 0 : 1);
    }
    int status = 0;
    return ::waitpid(child, &status, 0) == child && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// Each test in a fresh folder, its working directory as the game's.
struct Files : testing::Test {
    void SetUp() override { fs::current_path(dir.path); }
    void TearDown() override { fs::current_path(home); }

    const TempDir dir;
    const fs::path home = fs::current_path();
    static constexpr Motif held{-9, -9, -9, -9, -9, -9, -9, -9, -9};
};

// Numbers are read until one is not a number or does not fit in 32 bits; the rest are kept. The
// fuzzer's seeds and its second reading cover other text; here what it cannot reach: a number
// across the end of a 4 KiB block.
TEST_F(Files, MotifNumbersAreReadUntilOneIsNotA32BitNumber) {
    struct Case {
        std::string file;
        std::vector<int32_t> read; // the first values of the motif; the others keep theirs
    };
    const Case cases[] = {{"0x10 5", {0}},
                          {"-2147483649 1", {}},
                          {"-2147483648 2147483647 -0 +0 00000000000000000000042 2147483648 5",
                           {INT32_MIN, INT32_MAX, 0, 0, 42}},
                          {std::string(4094, ' ') + "12345 6", {12345, 6}}};
    for (const Case& c : cases) {
        writeFile("motif.txt", c.file);
        Motif got = held, expected = held;
        std::copy(c.read.begin(), c.read.end(), expected.begin());
        loadMotif("motif.txt", got);
        EXPECT_EQ(got, expected) << "file: " << c.file.substr(0, 60);
    }
}

// 100 MB on one line is read in small pieces, nothing kept; a sparse 64 GB tail after the nine
// numbers is never read.
TEST_F(Files, LongMotifFilesAreReadInPiecesAndNoFurtherThanTheNinthNumber) {
    std::ofstream digits("digits.txt", std::ios::binary);
    for (int i = 0; i < 100; ++i) digits << std::string(1 << 20, '7');
    digits.close();
    rusage before{}, after{};
    ::getrusage(RUSAGE_SELF, &before);
    Motif m = held;
    loadMotif("digits.txt", m);
    ::getrusage(RUSAGE_SELF, &after);
    EXPECT_LT(after.ru_maxrss - before.ru_maxrss, 8 * 1024) << "kilobytes";
    EXPECT_EQ(m, held);
    writeFile("motif.txt", "1 2 3 4 5 6 7 8 9 ");
    ASSERT_EQ(::truncate("motif.txt", off_t{64} << 30), 0);
    loadMotif("motif.txt", m);
    EXPECT_EQ(m, (Motif{1, 2, 3, 4, 5, 6, 7, 8, 9}));
}

// No file, a folder or a named pipe without a writer (not waited for) leave the motif alone. A
// save leaves a folder that holds something and the pipe as they were, without waiting for the
// pipe; a missing folder takes nothing. The motif is written in three lines, the click counts in
// one line per row, top row first.
TEST_F(Files, OnlyFilesAreReadAndSavesAreWholeOrNotAtAll) {
    ASSERT_EQ(::mkfifo("pipe", 0600), 0);
    Motif m = held;
    for (const char* other : {"absent", ".", "pipe"}) loadMotif(other, m);
    EXPECT_EQ(m, held);
    fs::create_directories("busy/in");
    EXPECT_FALSE(replaceFile("busy", "new") || replaceFile("pipe", "new") ||
                 replaceFile("nowhere/motif.txt", "new"));
    EXPECT_TRUE(fs::is_directory("busy/in") && fs::is_fifo("pipe"));
    const Motif written{INT32_MIN, INT32_MAX, -1, 0, 1, -42, 7, INT32_MIN + 1, 3};
    Grid counts = newGrid(2);
    counts.cells[1][0] = 12345;
    EXPECT_TRUE(saveMotif("motif.txt", written) && writeTrace(counts));
    loadMotif("motif.txt", m);
    EXPECT_EQ(m, written);
    // A write that fails, here on a file-size limit, leaves the old file whole and no temporary.
    EXPECT_TRUE(failsUnderFileSizeLimit([] { return writeTrace(newGrid(18)); }));
    EXPECT_TRUE(failsUnderFileSizeLimit([] { return saveMotif("motif.txt", Motif{}); }));
    EXPECT_EQ(readFile("motif.txt"), "-2147483648 2147483647 -1 \n0 1 -42 \n7 -2147483647 3 \n");
    EXPECT_EQ(readFile(tracePath), "0 12345 \n0 0 \n");
    EXPECT_EQ(entries("."), (std::set<std::string>{"busy", "motif.txt", "pipe", "trace.txt"}));
}

// Saving through links, and over files of other modes and owners. The rows with a second user
// come last: they need root, and save as nobody.
TEST(ReplaceFile, FollowsLinksAndKeepsModeAndOwnerOrLeavesTheFileAsItWas) {
    const uid_t me = ::geteuid();
    // save.txt is a link to `link` or the file itself, whose content is `old` (none if null);
    // `owner` owns the file before and after; `mode` is the old file's, `after` the saved one's.
    struct Case {
        const char *what, *link, *old;
        uid_t owner;
        bool asNobody, saved;
        mode_t mode, folder, umask, after;
    };
    const Case cases[] = {
        {"a link to a file", "real.txt", "old", me, false, true, 0640, 0700, 022, 0640},
        {"a dangling link", "real.txt", nullptr, me, false, true, 0, 0700, 022, 0644},
        {"a link to no folder", "gone/real.txt", nullptr, me, false, false, 0, 0700, 022, 0},
        {"a new file, umask 077", nullptr, nullptr, me, false, true, 0, 0700, 077, 0600},
        {"a new file, umask 002", nullptr, nullptr, me, false, true, 0, 0700, 002, 0664},
        {"another's 0600 file", nullptr, "old", nobody, false, true, 0600, 0700, 022, 0600},
        {"a read-only file", nullptr, "old", nobody, true, false, 0444, 0777, 022, 0444},
        {"another's file open to all", nullptr, "old", me, true, true, 0666, 0777, 022, 0666},
        {"a folder closed to the saver", nullptr, "old", nobody, true, true, 0644, 0755, 022, 0644},
    };
    for (const Case& c : cases)
        for (const Durability durability : {Durability::Synced, Durability::Unsynced}) {
            if ((c.asNobody || c.owner == nobody) && me != 0) GTEST_SKIP() << "needs root";
            SCOPED_TRACE(std::string(c.what) + (durability == Durability::Synced ? "" : ", fast"));
            const TempDir dir;
            const fs::path save = dir.path / "save.txt",
                           file = dir.path / (c.link ? c.link : "save.txt");
            const gid_t group = c.owner == nobody ? nobody : ::getegid();
            if (c.link) fs::create_symlink(c.link, save);
            if (c.old) writeFile(file, c.old);
            ASSERT_FALSE(c.old &&
                         (::chmod(file.c_str(), c.mode) || ::chown(file.c_str(), c.owner, group)));
            ASSERT_EQ(::chmod(dir.path.c_str(), c.folder), 0);
            std::set<std::string> expected = entries(dir.path);
            if (c.saved) expected.insert(file.filename());

            EXPECT_EQ(saveInChild(save, durability, c.umask, c.asNobody), c.saved ? 0 : 1);
            const char* content = c.saved ? "new" : c.old;
            struct stat st {};
            ASSERT_EQ(::stat(file.c_str(), &st) == 0, content != nullptr);
            EXPECT_TRUE(!content || (readFile(file) == content && (st.st_mode & 07777) == c.after &&
                                     st.st_uid == c.owner && st.st_gid == group))
                << readFile(file) << std::oct << " mode " << st.st_mode << std::dec << " owner "
                << st.st_uid << ":" << st.st_gid;
            EXPECT_TRUE(fs::is_symlink(save) == (c.link != nullptr) &&
                        entries(dir.path) == expected);
        }
}
