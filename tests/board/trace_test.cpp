// The click trace file: rows of the board, and a failed write that loses nothing.
#include "board/trace.h"
#include "file_size_limit.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

TEST(Trace, LinesAreRowsOfTheBoardTopFirst) {
    Grid counts = newGrid(3);
    counts.cells[2][0] = 1;
    EXPECT_EQ(traceText(counts), "0 0 1 \n0 0 0 \n0 0 0 \n");
    counts.cells[0][1] = 3;
    counts.cells[1][2] = 12;
    EXPECT_EQ(traceText(counts), "0 0 1 \n3 0 0 \n0 12 0 \n");
}

// The trace is replaced without waiting for the disk, but still whole: a write that fails (here
// on a file-size limit) leaves the previous counts and no temporary file.
TEST(Trace, WriteReplacesTheFileAndAFailedWriteKeepsTheOldOne) {
    namespace fs = std::filesystem;
    char name[] = "/tmp/kelvo-trace-XXXXXX";
    ASSERT_NE(::mkdtemp(name), nullptr);
    const fs::path dir = name;
    const fs::path oldDir = fs::current_path();
    fs::current_path(dir);
    auto read = [] {
        std::ostringstream text;
        text << std::ifstream("trace.txt").rdbuf();
        return text.str();
    };

    Grid counts = newGrid(2);
    counts.cells[1][0] = 7;
    EXPECT_TRUE(writeTrace(counts));
    EXPECT_EQ(read(), "0 7 \n0 0 \n");
    counts.cells[0][1] = 12345;
    EXPECT_TRUE(writeTrace(counts));
    EXPECT_EQ(read(), "0 7 \n12345 0 \n");

    EXPECT_TRUE(failsUnderFileSizeLimit([] { return writeTrace(newGrid(3)); }));
    EXPECT_EQ(read(), "0 7 \n12345 0 \n");
    std::vector<std::string> left;
    for (const auto& entry : fs::directory_iterator(dir)) left.push_back(entry.path().filename());
    EXPECT_EQ(left, std::vector<std::string>{"trace.txt"});

    fs::current_path(oldDir);
    fs::remove_all(dir);
}
