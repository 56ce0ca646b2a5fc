// Tests of the game's files: the motif file read and written, and the click trace.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <set>
#include <vector>

#include "board/motif.h"
#include "board/trace.h"
#include "files.h"
#include "platform/file_replace.h"

namespace fs = std::filesystem;

// Each test in a fresh folder, its working directory as the game's.
struct Files : testing::Test {
    const TempWorkDir dir;
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
