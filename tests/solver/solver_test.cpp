// Tests of the solver, against every plan on small boards and through the move rule on 18 x 18,
// and of kelvo-solve run as a process: its answers, its refusals, its exit statuses and the motif
// it reads away from the game. Then what the game asks of it: a board already won needs a click,
// and the same answer for the same effort on any machine.
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <numeric>
#include <random>
#include <regex>
#include <vector>

#include "board/board_code.h"
#include "board/motif.h"
#include "board/trace.h"
#include "files.h"
#include "solver/command.h"
#include "solver/packed_plan.h"
#include "solver/solver.h"

const Motif cross{0, 1, 0, 1, 1, 1, 0, 1, 0};
const Motif shift{0, 0, 0, 0, 1, 0, 0, 4, 0}; // adds 1 to its cell and 4 to the one on its right

// The plan played through the game's own move rule, each cell clicked k times at most: its
// clicks if that wins, else INT64_MAX.
static int64_t clicksToWin(Grid board, const Grid& plan, const Motif& m, int32_t k, bool torus) {
    int64_t clicks = 0;
    for (int32_t i = 0, n = board.size; i < n * n; ++i) {
        const int32_t times = std::min(plan.cells[i / n][i % n], k);
        for (int32_t c = 0; c < times; ++c) board = playMove(board, i / n, i % n, m, k, torus);
        clicks += times;
    }
    return checkSolved(board, k) == Won ? clicks : INT64_MAX;
}
// A board of side n with every cell of one colour: won when the colour is k - 1.
static Grid filled(int32_t n, int32_t colour) {
    Grid g = newGrid(n);
    for (int32_t x = 0; x < n; ++x) std::fill_n(g.cells[x].begin(), n, colour);
    return g;
}

// Every plan of a board of side n tried once, then the solver asked about every start board of
// side 2, or on side 3 about the goal, some at random and some that can be won. Start boards are
// numbered by their cells, cell i = x n + y the digit of weight k^i.
static void expectAsEveryPlan(int n, const Motif& m, int k, bool torus, std::mt19937& rng) {
    std::vector<Grid> effect; // of one click on each cell, on a blank board
    for (int c = 0; c < n * n; ++c)
        effect.push_back(playMove(newGrid(n), c / n, c % n, m, k, torus));
    const int plans = static_cast<int>(std::pow(k, n * n));
    // For each start board, how many plans win from it and the fewest clicks among them.
    std::vector<int> winning(plans), fewest(plans, INT32_MAX), plan(n * n), sum(n * n);
    int clicks = 0;
    for (int p = 0; p < plans; ++p) {
        int start = 0; // the goal, k - 1 everywhere, less what the plan adds
        for (int i = n * n - 1; i >= 0; --i) start = start * k + (2 * k - 1 - sum[i]) % k;
        ++winning[start];
        // No click wins nothing: the game tests for a win only after a move.
        if (clicks > 0) fewest[start] = std::min(fewest[start], clicks);
        // The next plan, as an odometer: k clicks on a cell add nothing, so a wrap undoes nothing.
        for (int c = 0; c < n * n; ++c) {
            for (int i = 0; i < n * n; ++i) sum[i] = (sum[i] + effect[c].cells[i / n][i % n]) % k;
            ++clicks;
            if (++plan[c] < k) break;
            plan[c] = 0;
            clicks -= k;
        }
    }
    fewest[plans - 1] = std::min(fewest[plans - 1], k); // the goal: k clicks on a cell add nothing
    for (int i = 0; i < (n == 2 ? plans : 16); ++i) {
        int b = n == 2 ? i : i == 0 ? plans - 1 : static_cast<int>(rng() % plans);
        while (n == 3 && i % 2 == 1 && winning[b] == 0) b = (b + 1) % plans;
        Grid start = newGrid(n);
        for (int c = 0; c < n * n; ++c) start.cells[c / n][c % n] = b / int(std::pow(k, c)) % k;
        SCOPED_TRACE(testing::Message() << n << k << torus << " " << b << " " << motifText(m));
        const Solution s = solveBoard(start, m, k, torus);
        EXPECT_TRUE(s.planCount == std::to_string(winning[b]) && s.solvable == (winning[b] > 0) &&
                    (!s.solvable || (s.proven && s.fewestClicks == fewest[b] &&
                                     clicksToWin(start, s.plan, m, k, torus) == fewest[b])))
            << s.planCount << " " << winning[b] << " " << s.fewestClicks << " " << fewest[b];
    }
}

// Sides 1 to 3. The cross and shift; on side 2 also nine different values (a 2 x 2 torus keeps the
// last stores) and nothing at all; random motifs with values from 0 to k + 1 or huge.
TEST(Solver, SmallBoardsAgreeWithEveryPlan) {
    std::mt19937 rng(2);
    for (int n = 1; n <= 3; ++n)
        for (int k = 2; k <= 5; ++k) {
            std::vector<Motif> motifs{cross, shift};
            if (n == 2) motifs.insert(motifs.end(), {{1, 2, 3, 4, 5, 6, 7, 8, 9}, {}});
            for (int i = 0; i < (n == 2 ? 4 : 5 - k); ++i)
                for (int32_t& v : motifs.emplace_back())
                    v = rng() % 16 == 0 ? INT32_MAX - rng() % 2 * 1000 : rng() % (k + 2);
            for (const Motif& m : motifs)
                for (const bool torus : {false, true}) expectAsEveryPlan(n, m, k, torus, rng);
        }
}

TEST(Solver, LargeBoards) {
    // The cross on a blank 18 x 18 torus, proven within the game's budget: by weighing every plan
    // (two and four colours), or 3^17 plans by the proof on a torus of one colour. With five
    // colours every click adds 5 to the sum of the cells, which then never moves while the goal
    // needs 324 * 4.
    const char* const plans[] = {"256", "129140163", "65536", "0"};
    for (int32_t k = 2; k <= 5; ++k) {
        const Solution s = solveForGame(newGrid(18), cross, k, true);
        const bool wins = clicksToWin(newGrid(18), s.plan, cross, k, true) == s.fewestClicks;
        EXPECT_TRUE(s.planCount == plans[k - 2] && s.proven == s.solvable && (!s.solvable || wins))
            << k;
    }
    // A motif that does nothing on a won board: all 2^324 plans win, and one click is the fewest.
    const Solution idle = solveBoard(filled(18, 1), Motif{}, 2, false);
    EXPECT_TRUE(idle.proven && idle.fewestClicks == 1 && idle.planCount == decimalPower(2, 324));
    EXPECT_EQ(decimalPower(10, 9) + " " + decimalPower(2, 70), "1000000000 1180591620717411303424");
    // What the elimination is not exact for is refused rather than solved wrongly, even on a board
    // already won.
    for (const auto& [k, motif] :
         {std::pair{1, cross}, {6, cross}, {3, Motif{0, 1, 0, 1, -1, 1, 0, 1, 0}}})
        EXPECT_FALSE(solveBoard(filled(3, k - 1), motif, k, false).solvable) << k;
    // Won tori with too many plans to weigh them all: a motif that does nothing takes one click,
    // one that adds 2 of 4 colours two, shift five on one cell (a row of clicks adds nothing).
    // Then the game's answers for the blank tori of 3^24 and 4^16 plans, and after so many steps
    // on the 5^9 of 5 x 5: the same on every machine whatever its speed, with the lower bound the
    // proof reached when it was cut short.
    for (const auto& [start, motif, k, steps, fewest, lowerBound] :
         {std::tuple{filled(5, 1), Motif{}, 2, gameSearchSteps, 1, 1},
          {filled(5, 3), Motif{0, 0, 0, 0, 2}, 4, gameSearchSteps, 2, 2},
          {filled(11, 4), shift, 5, gameSearchSteps, 5, 5},
          {newGrid(15), cross, 3, gameSearchSteps, 90, 90},
          {newGrid(12), cross, 4, gameSearchSteps, 96, 84},
          {newGrid(5), cross, 5, 0, 50, 1},
          {newGrid(5), cross, 5, 100, 50, 5},
          {newGrid(5), cross, 5, 1000, 25, 10}}) {
        const Solution s = solveBoard(start, motif, k, true, steps);
        EXPECT_EQ(std::tuple(s.fewestClicks, s.lowerBound, s.proven,
                             clicksToWin(start, s.plan, motif, k, true)),
                  std::tuple(fewest, lowerBound, fewest == lowerBound, fewest))
            << start.size << " " << k << " " << steps;
        EXPECT_LE(s.steps, steps);
    }
}

// On tori of one colour with random motifs: given half as many steps as there are plans, the
// proof never claims fewer clicks than weighing every plan finds, proves most, and its plans win.
TEST(Solver, TorusProofAgreesWithEveryPlan) {
    std::mt19937 rng(7);
    int boards = 0, proven = 0;
    while (boards < 40) {
        const int32_t k = 2 + rng() % 4, n = 3 + rng() % 10, colour = rng() % k;
        Motif m{};
        for (int32_t& v : m) v = rng() % 3 == 0 ? 0 : rng() % k;
        const Grid start = filled(n, colour);
        const Solution all = solveBoard(start, m, k, true, 1 << 14);
        if (!all.proven || all.steps < 64 || all.planCount != std::to_string(all.steps)) continue;
        const Solution s = solveBoard(start, m, k, true, all.steps / 2);
        ++boards;
        proven += s.proven;
        EXPECT_TRUE(s.lowerBound <= all.fewestClicks && s.fewestClicks >= all.fewestClicks &&
                    (!s.proven || s.fewestClicks == all.fewestClicks) &&
                    clicksToWin(start, s.plan, m, k, true) == s.fewestClicks)
            << n << " " << k << " " << colour << " " << motifText(m) << all.fewestClicks << " "
            << s.fewestClicks << " " << s.lowerBound;
    }
    EXPECT_GT(proven, boards / 2);
}

// Every sum of two colours modulo k in the packed plans, in cells on either side of a word's
// edge, and the weight of the whole.
TEST(Solver, PackedPlansAddAndWeighEveryPair) {
    for (int32_t k = 2; k <= 5; ++k)
        withColors(k, [&]<int K>(Packed<K>) {
            Packed<K> x, g;
            std::vector<int> sums;
            for (int i = 0; i < K * K; ++i) {
                x.setCell(13 * i, uint8_t(i / K));
                g.setCell(13 * i, uint8_t(i % K));
                sums.push_back((i / K + i % K) % K);
            }
            addPacked(x, g, packedWords);
            for (int i = 0; i < std::ssize(sums); ++i) EXPECT_EQ(x.cell(13 * i), sums[i]) << K;
            EXPECT_EQ(weighPacked(x, packedWords), std::accumulate(sums.begin(), sums.end(), 0));
        });
}

// The table that make par writes holds what the solver answers now, and each plan wins.
TEST(Solver, TableOfFewestClicks) {
    std::ifstream table(KELVO_PAR_TABLE);
    const std::regex row(R"(\| (\d+) \| (\d) \| (\w+) \| (\d+) \| (\d+) \| (\w+) \|)");
    int rows = 0;
    for (std::string line; std::getline(table, line);) {
        std::smatch c; // side, colours, edges, winning plans, fewest clicks, proven
        if (!std::regex_match(line, c, row)) continue;
        ++rows;
        const int32_t n = std::stoi(c[1]), k = std::stoi(c[2]);
        const bool torus = c[3] == "torus";
        const Solution s = solveBoard(newGrid(n), cross, k, torus);
        EXPECT_EQ(std::tuple(s.planCount, s.fewestClicks, s.proven,
                             clicksToWin(newGrid(n), s.plan, cross, k, torus)),
                  std::tuple(c[4].str(), std::stoll(c[5]), c[6] == "yes", std::stoll(c[5])))
            << line;
    }
    EXPECT_EQ(rows, 116);
}

TEST(Command, AnswersAndRefusals) {
    const TempDir dir;
    // The game's motif in rc/, the player's under XDG_DATA_HOME and under HOME; home has no rc/.
    const Motif dot{0, 0, 0, 0, 1}, full{1, 1, 1, 1, 1, 1, 1, 1, 1};
    const std::string xdg = "XDG_DATA_HOME=" + (dir.path / "xdg").string(),
                      mine = "/home/.local/share/kelvo/rc/motif.txt";
    writeFile(dir.path / "rc/motif.txt", motifText(cross));
    writeFile(dir.path / "xdg/kelvo/rc/motif.txt", motifText(dot));
    writeFile(dir.path.string() + mine, motifText(full));
    // Runs the program in dir, under env's settings, its output in the files stdout (or out) and
    // stderr there. An argument that holds a line end is the text of a file, whose name takes its
    // place.
    const auto run = [&](const std::vector<std::string>& args, const std::string& out = "stdout",
                         const std::string& env = "") {
        std::string command = "cd '" + dir.path.string() + "' && env " + env + " HOME='" +
                              dir.path.string() + "/home' '" KELVO_SOLVE "'";
        for (std::string a : args) {
            if (a.find('\n') != a.npos) writeFile(dir.path / "f", std::exchange(a, "f"));
            command += " '" + a + "'";
        }
        return WEXITSTATUS(std::system((command + " >" + out + " 2>stderr").c_str()));
    };
    Grid random = newGrid(6);
    std::srand(1); // the unseeded generator of a fresh run
    fillRandom(random, 3);
    // kelvo-solve's answer for a board, by default of two colours, bounded.
    const auto answer = [](const Grid& g, const Motif& m, int32_t k = 2, bool torus = false) {
        return solutionText(solveBoard(g, m, k, torus));
    };
    const std::string randomAnswer = answer(random, cross, 3, true);
    const auto blank3 = [&](const Motif& m) { return answer(newGrid(3), m); };
    // The same board as a file in the layout of the click trace, then with a leading zero, tabs,
    // Windows line ends and blank lines after, without the last line end.
    const std::string trace = traceText(random),
                      crlf = std::regex_replace(trace, std::regex(" \n"), "\t\r\n");
    // The board of the day of a Monday, pinned with its code in daily_boards.txt: 4 x 4, bounded.
    const Grid monday = decodeBoardCode("14JBNQ6DC").board.value().start;
    const std::string day = "day: plateau du 7 décembre\ncode: 14JBNQ6DC\nboard:\n" +
                            traceText(monday) + answer(monday, cross);
    const std::string dotCode = encodeBoardCode({{3, 2, 0, 0}, dot, newGrid(3)}).value();
    const std::string none = "solvable: no\nsolutions: 0\n", six = "--size=6", two = "--size=2",
                      plain = "solvable: yes\nsolutions: 16\nfewest clicks: 4 (proven)\nplan:\n";
    struct Case {
        std::vector<std::string> args;
        int status;
        std::string out, err; // the whole output, and what stderr says in its one line
        std::string env = ""; // away from the game's folder, stderr names the player's motif read
    };
    const Case cases[] = {
        {{}, 0, plain + "0 1 0 0 \n0 0 0 1 \n1 0 0 0 \n0 0 1 0 \n", ""},
        {{"--random", six, "--colors", "3", "--torus"}, 0, randomAnswer, ""},
        {{"--board", trace, six, "--colors", "3", "--torus"}, 0, randomAnswer, ""},
        {{"--board", "0" + crlf + " \r\n\t", six, "--colors", "3", "--torus"}, 0, randomAnswer, ""},
        {{"--size", "18", "--colors=5", "--torus"}, 0, none, ""},
        {{"--motif", "nowhere"}, 0, none, "warning: cannot read the motif file 'nowhere'"},
        {{"--size", "3"}, 0, blank3(cross), "", xdg},
        {{"--size", "3"}, 0, blank3(dot), "/xdg/kelvo/rc/motif.txt", "-C home " + xdg},
        {{"--size", "3"}, 0, blank3(full), mine, "-C home -u XDG_DATA_HOME"},
        {{"--size", "3"}, 0, blank3(full), mine, "-C home XDG_DATA_HOME=relative"},
        {{"--motif", "0 1 0\n1 1 1\n0 -1 0\n"}, 2, "", "'f' holds the negative value -1;"},
        {{"--board", "0 0\n", two}, 2, "", "board file 'f': 1 rows, expected 2"},
        {{"--board", "0 0\n0\n", two}, 2, "", "board file 'f', row 2: 1 cells, expected 2"},
        {{"--board", "0 x\n0 0\n", two}, 2, "", "row 1, cell 2: 'x' is not a number"},
        {{"--board", "0 1\n2 1\n", two}, 2, "", "row 2, cell 1: 2 is not a colour from 0 to 1"},
        {{"--board", "0 -1\n0 0\n", two, "--colors=5"}, 2, "", "-1 is not a colour from 0 to 4"},
        {{"--board", "0 0\n0 00999999999999999999999\n", two}, 2, "", "00999999999999999999..."},
        {{"--board", "missing"}, 2, "", "cannot read board file 'missing': No such file"},
        {{"--board", "rc"}, 2, "", "cannot read board file 'rc': Is a directory"},
        {{"--board", "/dev/zero"}, 2, "", "board file '/dev/zero' is larger than 65536 bytes"},
        {{"--random", "--board", "x"}, 2, "", "--random and --board both give the start board"},
        // A code's game comes with its motif: no motif file is read.
        {{"--code", dotCode}, 0, blank3(dot), "", "-C home " + xdg},
        {{"--code", "142BA3"}, 2, "", "Code du plateau refusé : il a été mal recopié"},
        {{"--code", "142BA2", "--torus"}, 2, "", "--code and --jour give the whole game"},
        {{"--jour", "2026-12-07"}, 0, day, ""},
        {{"--jour", "2026-02-30"},
         2,
         "",
         "--jour takes a date written 2026-12-08, not '2026-02-30'"},
        {{"--jour", "2026-12-07", "--code", "142BA2"}, 2, "", "use one of them alone"},
        {{"--bogus"}, 2, "", "unknown argument '--bogus'"},
        {{"--size"}, 2, "", "--size needs a value"},
        {{"--torus=yes"}, 2, "", "--torus takes no value"},
        {{"--size", "1"}, 2, "", "--size takes a board side from 2 to 18, not '1'"},
        {{"--size", "4x"}, 2, "", "not '4x'"},
        {{"--colors", "1"}, 2, "", "--colors takes a number of colours from 2 to 5, not '1'"},
        {{"--colors", "6"}, 2, "", "not '6'"}};
    for (const Case& c : cases) {
        const std::string what = testing::PrintToString(c.args) + " " + c.env;
        EXPECT_EQ(run(c.args, "stdout", c.env), c.status) << what;
        EXPECT_EQ(readFile(dir.path / "stdout"), c.out) << what;
        const std::string said = readFile(dir.path / "stderr");
        const bool oneLine = std::regex_match(said, std::regex("kelvo-solve: [^\n]*\n"));
        EXPECT_TRUE(c.err.empty() ? said.empty() : oneLine && said.find(c.err) != said.npos)
            << said;
    }
    // Without the player's motif, the installed one (there only once installed) is looked for.
    EXPECT_EQ(run({"--size", "3"}, "stdout", "-C home " + xdg + "/none"), 0);
    EXPECT_NE(readFile(dir.path / "stderr").find(KELVO_INSTALLED_MOTIF), std::string::npos);
    // A board that comes through a pipe in two pieces is read whole.
    const std::string piped = "cd '" + dir.path.string() + "' && (echo 1 1; sleep 1; echo 1 1) | ";
    EXPECT_EQ(std::system((piped + KELVO_SOLVE " --board /dev/stdin --size 2 >stdout").c_str()), 0);
    EXPECT_EQ(readFile(dir.path / "stdout"), answer(filled(2, 1), cross));
    // An answer that cannot be written is a failure, not a success.
    EXPECT_TRUE(run({}, "/dev/full") == 1 &&
                readFile(dir.path / "stderr").ends_with("cannot write the answer\n"));
#if !defined(__SANITIZE_ADDRESS__)
    // An answer not proven says so, with what the proof ruled out: a second of search, too slow
    // unoptimised under the sanitizers.
    EXPECT_EQ(run({"--size", "18", "--torus", "--motif", motifText(full)}), 0);
    EXPECT_EQ(readFile(dir.path / "stdout"),
              answer(newGrid(18), full, 2, true) +
                  "not proven: no plan has fewer than 18 clicks; the search stopped at its limit "
                  "of 2^27 steps\n");
#endif
}
