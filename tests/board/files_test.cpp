// Tests of the game's files: the motif file read and written, the click trace, and saves that
// lose nothing when a write fails.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <vector>

#include "board/motif.h"
#include "board/trace.h"
#include "files.h"

TEST(Files, MotifAndTraceAreReadAndWrittenWhole) {
    const TempDir dir;
    const std::filesystem::path home = std::filesystem::current_path();
    std::filesystem::current_path(dir.path);
    constexpr Motif held{-9, -9, -9, -9, -9, -9, -9, -9, -9};
    // Numbers are read until one is not a number or does not fit in 32 bits; the rest are kept.
    // clang-format off
    const std::pair<std::string, std::vector<int32_t>> cases[] = {
        {"1 2 x 4", {1, 2}}, {" \t\n+3\v\f\r-4 1-2", {3, -4, 1, -2}}, {"0x10 5", {0}},
        {"5 - 6", {5}}, {"1 2 2147483648 4", {1, 2}}, {"-2147483649 1", {}}, {"", {}},
        {"7 99999999999999999999 1", {7}}, {"1 2 3 4 5 6 7 8 9 10 11", {1, 2, 3, 4, 5, 6, 7, 8, 9}},
        {"-2147483648 2147483647 -0 +0 00000000000000000000042", {INT32_MIN, INT32_MAX, 0, 0, 42}},
        {std::string(4094, ' ') + "12345 6", {12345, 6}}}; // a number across the first chunk's end
    // clang-format on
    for (const auto& [text, read] : cases) {
        writeFile("motif.txt", text);
        Motif m = held, expected = held;
        std::copy(read.begin(), read.end(), expected.begin());
        loadMotif("motif.txt", m);
        EXPECT_EQ(m, expected) << "file: " << text.substr(0, 60);
    }
    // No file, a folder or a named pipe without a writer (not waited for) leave the motif alone.
    ASSERT_EQ(::mkfifo("pipe", 0600), 0);
    Motif m = held;
    for (const char* other : {"absent", ".", "pipe"}) loadMotif(other, m);
    EXPECT_EQ(m, held);
    writeFile("motif.txt", "1 2 3 4 5 6 7 8 9 "); // then a sparse 64 GB tail that is never read
    ASSERT_EQ(::truncate("motif.txt", off_t{64} << 30), 0);
    loadMotif("motif.txt", m);
    EXPECT_EQ(m, (Motif{1, 2, 3, 4, 5, 6, 7, 8, 9}));

    // The motif in three lines, the click counts in one line per row, top row first.
    const Motif written{INT32_MIN, INT32_MAX, -1, 0, 1, -42, 7, INT32_MIN + 1, 3};
    Grid counts = newGrid(2);
    counts.cells[1][0] = 12345;
    EXPECT_TRUE(saveMotif("motif.txt", written) && writeTrace(counts));
    loadMotif("motif.txt", m);
    EXPECT_EQ(m, written);
    // A write that fails, here on a file-size limit, leaves the old file whole and no temporary.
    EXPECT_TRUE(failsUnderFileSizeLimit([] { return writeTrace(newGrid(18)); }) &&
                failsUnderFileSizeLimit([] { return saveMotif("motif.txt", Motif{}); }));
    EXPECT_EQ(readFile("motif.txt"), "-2147483648 2147483647 -1 \n0 1 -42 \n7 -2147483647 3 \n");
    EXPECT_EQ(readFile(tracePath), "0 12345 \n0 0 \n");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator("."), {}), 3); // with the pipe
    std::filesystem::current_path(home);
}
