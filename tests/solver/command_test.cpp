// Tests of the kelvo-solve program itself: run as a process, its output, its refusals and its
// exit statuses.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "board/motif.h"
#include "board/trace.h"
#include "solver/solver.h"

namespace {

namespace fs = std::filesystem;

const Motif cross{0, 1, 0, 1, 1, 1, 0, 1, 0};

struct Outcome {
    int status = -1;
    std::string out;
    std::string err;
};

std::string readAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void writeFile(const fs::path& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

class CommandLine : public ::testing::Test {
  protected:
    void SetUp() override {
        char dirTemplate[] = "/tmp/kelvo-solve-XXXXXX";
        ASSERT_NE(mkdtemp(dirTemplate), nullptr);
        dir = dirTemplate;
        fs::create_directory(dir / "rc");
        writeFile(dir / "rc" / "motif.txt", motifText(cross));
    }
    void TearDown() override { fs::remove_all(dir); }

    // Runs the program in the test's directory; stdout goes to outPath when one is given.
    Outcome run(const std::vector<std::string>& args, const std::string& outPath = "") const {
        const fs::path out = outPath.empty() ? dir / "stdout" : fs::path(outPath);
        const fs::path err = dir / "stderr";
        const pid_t pid = fork();
        if (pid == 0) {
            std::vector<char*> argv{const_cast<char*>(KELVO_SOLVE)};
            for (const std::string& a : args) {
                argv.push_back(const_cast<char*>(a.c_str()));
            }
            argv.push_back(nullptr);
            const int o = open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
            const int e = open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
            if (chdir(dir.c_str()) != 0 || o < 0 || e < 0 || dup2(o, 1) < 0 || dup2(e, 2) < 0) {
                _exit(127);
            }
            execv(KELVO_SOLVE, argv.data());
            _exit(127);
        }
        Outcome r;
        int wstatus = 0;
        if (pid > 0 && waitpid(pid, &wstatus, 0) == pid && WIFEXITED(wstatus)) {
            r.status = WEXITSTATUS(wstatus);
        }
        if (outPath.empty()) {
            r.out = readAll(out);
        }
        r.err = readAll(err);
        return r;
    }

    fs::path dir;
};

} // namespace

TEST_F(CommandLine, AnswersAsDocumented) {
    const Outcome plain = run({});
    EXPECT_EQ(plain.status, 0);
    EXPECT_EQ(plain.err, "");
    EXPECT_EQ(plain.out, "solvable: yes\nsolutions: 16\nfewest clicks: 4 (proven)\nplan:\n"
                         "0 1 0 0 \n0 0 0 1 \n1 0 0 0 \n0 0 1 0 \n");

    // The unseeded generator of a fresh run: the same as seed 1.
    for (const bool torus : {false, true}) {
        std::srand(1);
        Grid board = newGrid(6);
        fillRandom(board, 3);
        std::vector<std::string> args{"--random", "--size", "6", "--colors=3"};
        if (torus) {
            args.push_back("--torus");
        }
        const Outcome random = run(args);
        EXPECT_EQ(random.status, 0);
        EXPECT_EQ(random.out, solutionText(solveBoard(board, cross, 3, torus)));
    }

    const Outcome none = run({"--size", "18", "--colors", "5", "--torus"});
    EXPECT_EQ(none.status, 0);
    EXPECT_EQ(none.out, "solvable: no\nsolutions: 0\n");

    const Outcome help = run({"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_EQ(help.out.rfind("Usage: kelvo-solve [--size N]", 0), 0U);
}

TEST_F(CommandLine, ReadsBoardsInTheTraceLayout) {
    Grid board = newGrid(5);
    for (int32_t x = 0; x < 5; ++x) {
        for (int32_t y = 0; y < 5; ++y) {
            board.cells[x][y] = (x * 3 + y * 7) % 4;
        }
    }
    const std::string expected = solutionText(solveBoard(board, cross, 4, false));
    const std::string text = traceText(board);
    std::string crlf;
    for (const char c : text) {
        crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    }
    // As the game writes it, with Windows line ends, without the last line end, with blank
    // lines after it and with tabs.
    for (const std::string& variant :
         {text, crlf, text.substr(0, text.size() - 1), text + "\n \n",
          std::string("0\t0 3 2 1\n3 2 1 0 3 \n2 1 0 3 2\n1 0 3 2 1\n0 3 2 1 0\n")}) {
        writeFile(dir / "board.txt", variant);
        const Outcome r = run({"--board", "board.txt", "--size", "5", "--colors", "4"});
        EXPECT_EQ(r.status, 0) << variant;
        EXPECT_EQ(r.err, "");
        EXPECT_EQ(r.out, expected) << variant;
    }

    // The plan it prints is itself a board file.
    writeFile(dir / "board.txt", traceText(solveBoard(board, cross, 4, false).plan));
    EXPECT_EQ(run({"--board", "board.txt", "--size", "5", "--colors", "4"}).status, 0);
}

TEST_F(CommandLine, RefusesWithOneLineAndStatusTwo) {
    writeFile(dir / "rows.txt", "0 0 0 0\n0 0 0 0\n0 0 0 0\n");
    writeFile(dir / "columns.txt", "0 0 0 0\n0 0 0\n0 0 0 0\n0 0 0 0\n");
    writeFile(dir / "word.txt", "0 0 0 0\n0 x 0 0\n0 0 0 0\n0 0 0 0\n");
    writeFile(dir / "sign.txt", "0 0 0 0\n0 0 0 0\n0 0 -1 0\n0 0 0 0\n");
    writeFile(dir / "colour.txt", "0 0 0 0\n0 0 0 0\n0 0 0 2\n0 0 0 0\n");
    writeFile(dir / "long.txt", "0 0 0 0\n0 0 0 0\n0 0 0 99999999999999999999999\n0 0 0 0\n");
    writeFile(dir / "gap.txt", "0 0 0 0\n\n0 0 0 0\n0 0 0 0\n0 0 0 0\n");
    writeFile(dir / "nul.txt", std::string("0 0 0 0\n0 0 0 0\n0 0 \0 0\n0 0 0 0\n", 32));
    writeFile(dir / "huge.txt", std::string(200000, ' ') + "0 0 0 0\n0 0 0 0\n0 0 0 0\n0 0 0 0\n");
    writeFile(dir / "negative.txt", "0 1 0\n1 1 1\n0 -1 0\n");

    const std::vector<std::vector<std::string>> refused{
        {"--bogus"},
        {"extra"},
        {"--size"},
        {"--size", "1"},
        {"--size", "19"},
        {"--size", "4x"},
        {"--size", "-4"},
        {"--size", ""},
        {"--colors", "1"},
        {"--colors", "6"},
        {"--colors", "99999999999999999999"},
        {"--torus=yes"},
        {"--random", "--board", "rows.txt"},
        {"--board", "missing.txt"},
        {"--board", "rc"},
        {"--board", "rows.txt"},
        {"--board", "columns.txt"},
        {"--board", "word.txt"},
        {"--board", "sign.txt"},
        {"--board", "colour.txt"},
        {"--board", "long.txt"},
        {"--board", "gap.txt"},
        {"--board", "nul.txt"},
        {"--board", "huge.txt"},
        {"--board", "/dev/zero"},
        {"--motif", "negative.txt"},
    };
    for (const std::vector<std::string>& args : refused) {
        const Outcome r = run(args);
        std::string shown;
        for (const std::string& a : args) {
            shown += a + " ";
        }
        EXPECT_EQ(r.status, 2) << shown;
        EXPECT_EQ(r.out, "") << shown;
        EXPECT_EQ(r.err.rfind("kelvo-solve: ", 0), 0U) << shown << r.err;
        EXPECT_EQ(r.err.find('\n'), r.err.size() - 1) << shown << r.err;
    }
    EXPECT_EQ(run({"--board", "colour.txt", "--colors", "3"}).status, 0);
}

TEST_F(CommandLine, MissingMotifAndFullOutput) {
    // The game plays a motif it cannot read as nine zeros; the tool does the same, and says so.
    const Outcome r = run({"--motif", "nowhere.txt"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "solvable: no\nsolutions: 0\n");
    EXPECT_NE(r.err.find("warning"), std::string::npos);

    // An answer that cannot be written is a failure, not a success.
    const Outcome full = run({}, "/dev/full");
    EXPECT_EQ(full.status, 1);
    EXPECT_NE(full.err.find("cannot write"), std::string::npos);
}
