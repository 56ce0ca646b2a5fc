// Tests of the motif file: reading it like the game always has, and replacing it so that a
// failed write never loses the old motif.
#include <gtest/gtest.h>

#include <climits>
#include <filesystem>
#include <fstream>
#include <grp.h>
#include <set>
#include <sstream>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include "board/file_replace.h"
#include "board/motif.h"
#include "file_size_limit.h"

namespace fs = std::filesystem;

namespace {

// A fresh folder under /tmp, removed with everything in it at the end of the test.
struct TempDir {
    TempDir() {
        char name[] = "/tmp/kelvo-board-XXXXXX";
        if (::mkdtemp(name) != nullptr) path = name;
    }
    ~TempDir() {
        std::error_code ignored;
        fs::remove_all(path, ignored);
    }
    std::string file(const std::string& name) const { return (path / name).string(); }
    std::set<std::string> entries() const {
        std::set<std::string> names;
        for (const auto& e : fs::directory_iterator(path)) names.insert(e.path().filename());
        return names;
    }
    fs::path path;
};

void writeFile(const std::string& path, const std::string& content) {
    std::ofstream(path, std::ios::binary) << content;
}

std::string readFile(const std::string& path) {
    std::ostringstream text;
    text << std::ifstream(path, std::ios::binary).rdbuf();
    return text.str();
}

constexpr Motif held{-9, -9, -9, -9, -9, -9, -9, -9, -9};

} // namespace

TEST(LoadMotif, ReadsNumbersUntilTheFirstThatIsNotOrDoesNotFitIn32Bits) {
    const TempDir dir;
    const std::string path = dir.file("motif.txt");
    const std::pair<std::string, std::vector<int32_t>> cases[] = {
        {"1 2 x 4", {1, 2}},
        {" \t\n+3\v\f\r-4 1-2", {3, -4, 1, -2}},
        {"0x10 5", {0}},
        {"5 - 6", {5}},
        {"5 +-6", {5}},
        {"1 2 2147483648 4", {1, 2}},
        {"-2147483649 1", {}},
        {"7 99999999999999999999 1", {7}},
        {"-2147483648 2147483647 -0 +0 00000000000000000000042", {INT32_MIN, INT32_MAX, 0, 0, 42}},
        {"1 2 3 4 5 6 7 8 9 10 11", {1, 2, 3, 4, 5, 6, 7, 8, 9}},
        {"", {}},
        {std::string(4094, ' ') + "12345 6", {12345, 6}}, // a number across the first chunk's end
    };
    for (const auto& [text, read] : cases) {
        writeFile(path, text);
        Motif m = held, expected = held; // the values read, then what the motif held
        for (size_t i = 0; i < read.size(); ++i) expected[i] = read[i];
        loadMotif(path, m);
        EXPECT_EQ(m, expected) << "file: " << text.substr(0, 60);
    }

    // A missing file, a folder or a named pipe with no writer leaves the motif as it was,
    // without waiting for the pipe.
    Motif m = held;
    loadMotif(dir.file("absent.txt"), m);
    loadMotif(dir.path.string(), m);
    ASSERT_EQ(mkfifo(dir.file("pipe").c_str(), 0600), 0);
    loadMotif(dir.file("pipe"), m);
    EXPECT_EQ(m, held);
}

TEST(LoadMotif, HugeFilesAreReadInSmallPieces) {
    const TempDir dir;
    const std::string digits = dir.file("digits.txt");
    {
        // 100 MB on a single line: the first number overflows.
        std::ofstream out(digits, std::ios::binary);
        const std::string chunk(1 << 20, '7');
        for (int i = 0; i < 100; ++i) out << chunk;
    }
    rusage before{}, after{};
    ::getrusage(RUSAGE_SELF, &before);
    Motif m = held;
    loadMotif(digits, m);
    ::getrusage(RUSAGE_SELF, &after);
    EXPECT_LT(after.ru_maxrss - before.ru_maxrss, 8 * 1024) << "kilobytes";
    EXPECT_EQ(m, held);

    // Nine numbers, then a sparse 64 GB tail that must never be read.
    const std::string tail = dir.file("tail.txt");
    writeFile(tail, "1 2 3 4 5 6 7 8 9 ");
    ASSERT_EQ(::truncate(tail.c_str(), off_t{64} << 30), 0);
    loadMotif(tail, m);
    EXPECT_EQ(m, (Motif{1, 2, 3, 4, 5, 6, 7, 8, 9}));
}

TEST(SaveMotif, ReplacesTheFileWholeOrLeavesItAsItWas) {
    const TempDir dir;
    const std::string path = dir.file("motif.txt");
    ASSERT_TRUE(saveMotif(path, Motif{0, 1, 0, 1, 1, 1, 0, 1, 0}));
    EXPECT_EQ(readFile(path), "0 1 0 \n1 1 1 \n0 1 0 \n");

    // A longer file is replaced whole by a shorter one.
    writeFile(path, std::string(1000, '5'));
    const Motif extremes{INT32_MIN, INT32_MAX, -1, 0, 1, -42, 7, INT32_MIN + 1, 3};
    ASSERT_TRUE(saveMotif(path, extremes));
    EXPECT_EQ(readFile(path), motifText(extremes));
    Motif back{};
    loadMotif(path, back);
    EXPECT_EQ(back, extremes);

    // A failed replace keeps the old file byte for byte and leaves no temporary file. First a
    // file-size limit of a few bytes, in a child so this process keeps its own limits.
    EXPECT_TRUE(
        failsUnderFileSizeLimit([&] { return replaceFile(path, "1 1 1 \n1 1 1 \n1 1 1 \n"); }));
    EXPECT_EQ(readFile(path), motifText(extremes));

    // A folder that holds something and a named pipe that nothing reads are left as they were,
    // without waiting for the pipe; a missing folder takes nothing.
    const std::string folder = dir.file("busy"), pipe = dir.file("pipe");
    fs::create_directory(folder);
    writeFile(folder + "/inside", "x");
    EXPECT_FALSE(replaceFile(folder, "new"));
    EXPECT_EQ(readFile(folder + "/inside"), "x");
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    EXPECT_FALSE(replaceFile(pipe, "new"));
    EXPECT_TRUE(fs::is_fifo(pipe));
    EXPECT_FALSE(replaceFile(dir.file("nowhere/motif.txt"), "new"));
    EXPECT_EQ(dir.entries(), (std::set<std::string>{"motif.txt", "busy", "pipe"}));
}

namespace {

constexpr uid_t nobody = 65534;

// Saves "new" in a child, under the umask given and as nobody if asked, so that this process
// keeps its own. 0: saved, 1: not saved, anything else: the child could not be set up.
int saveInChild(const std::string& path, Durability durability, mode_t mask, bool asNobody) {
    const pid_t child = ::fork();
    if (child == 0) {
        ::umask(mask);
        if (asNobody &&
            (::setgroups(0, nullptr) != 0 || ::setgid(nobody) != 0 || ::setuid(nobody) != 0)) {
            ::_exit(2);
        }
        ::_exit(replaceFile(path, "new", durability) ? 0 : 1);
    }
    int status = 0;
    return child > 0 && ::waitpid(child, &status, 0) == child && WIFEXITED(status)
               ? WEXITSTATUS(status)
               : -1;
}

} // namespace

// Saving through links, and over files of other modes and owners. The rows with a second user
// come last: they need root, and save as nobody.
TEST(ReplaceFile, FollowsLinksAndKeepsModeAndOwnerOrLeavesTheFileAsItWas) {
    const uid_t me = ::geteuid();
    struct Case {
        const char* what;
        const char* link; // save.txt is a link to this, or the file itself
        const char* old;  // the file's content, none if null
        mode_t mode;      // of the old file
        uid_t owner;      // of the file, before and after
        mode_t folder;
        bool asNobody;
        mode_t umask;
        bool saved;
        mode_t after;
    };
    const Case cases[] = {
        {"a link to a file", "real.txt", "old", 0640, me, 0700, false, 022, true, 0640},
        {"a dangling link", "real.txt", nullptr, 0, me, 0700, false, 022, true, 0644},
        {"a link to no folder", "gone/real.txt", nullptr, 0, me, 0700, false, 022, false, 0},
        {"a new file, umask 022", nullptr, nullptr, 0, me, 0700, false, 022, true, 0644},
        {"a new file, umask 077", nullptr, nullptr, 0, me, 0700, false, 077, true, 0600},
        {"a new file, umask 002", nullptr, nullptr, 0, me, 0700, false, 002, true, 0664},
        {"another's 0600 file", nullptr, "old", 0600, nobody, 0700, false, 022, true, 0600},
        {"a read-only file", nullptr, "old", 0444, nobody, 0777, true, 022, false, 0444},
        {"another's file open to all", nullptr, "old", 0666, me, 0777, true, 022, true, 0666},
        {"a folder closed to the saver", nullptr, "old", 0644, nobody, 0755, true, 022, true, 0644},
    };
    for (const Case& c : cases) {
        for (const Durability durability : {Durability::Synced, Durability::Unsynced}) {
            if ((c.asNobody || c.owner == nobody) && me != 0) GTEST_SKIP() << "needs root";
            SCOPED_TRACE(std::string(c.what) +
                         (durability == Durability::Synced ? "" : ", unsynced"));
            const TempDir dir;
            const std::string save = dir.file("save.txt"),
                              file = dir.file(c.link ? c.link : "save.txt");
            const gid_t group = c.owner == nobody ? nobody : ::getegid();
            if (c.link) fs::create_symlink(c.link, save);
            if (c.old) {
                writeFile(file, c.old);
                ASSERT_EQ(::chmod(file.c_str(), c.mode), 0);
                ASSERT_EQ(::chown(file.c_str(), c.owner, group), 0);
            }
            ASSERT_EQ(::chmod(dir.path.c_str(), c.folder), 0);
            std::set<std::string> entries = dir.entries();
            if (c.saved) entries.insert(fs::path(file).filename());

            EXPECT_EQ(saveInChild(save, durability, c.umask, c.asNobody), c.saved ? 0 : 1);
            const char* content = c.saved ? "new" : c.old;
            struct stat st {};
            const bool there = ::stat(file.c_str(), &st) == 0;
            EXPECT_EQ(there, content != nullptr);
            if (there && content) {
                EXPECT_EQ(readFile(file), content);
                EXPECT_EQ(st.st_mode & 07777, c.after);
                EXPECT_EQ(std::pair(st.st_uid, st.st_gid), std::pair(c.owner, group));
            }
            EXPECT_EQ(fs::is_symlink(save), c.link != nullptr);
            EXPECT_EQ(dir.entries(), entries);
        }
    }
}
