// Tests of what the game asks of the solver: a board already won needs a click, a fixed effort,
// and kelvo-solve finding the player's motif away from the game's folder.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <tuple>
#include <unistd.h>

#include "solver/solver.h"

namespace {

const Motif cross{0, 1, 0, 1, 1, 1, 0, 1, 0};
// One click adds 1 to its cell and 4 to the cell on its right.
const Motif shift{0, 0, 0, 0, 1, 0, 0, 4, 0};

Grid wonBoard(int32_t n, int32_t k) {
    Grid g = newGrid(n);
    for (auto& column : g.cells) column.fill(k - 1);
    return g;
}

// The plan's clicks played through the move rule on a won board: how many, if it is won again.
int64_t clicksKeepingWon(const Grid& plan, const Motif& motif, int32_t k, bool torus) {
    Grid board = wonBoard(plan.size, k);
    int64_t clicks = 0;
    for (int32_t c = 0; c < plan.size * plan.size; ++c) {
        for (int32_t i = 0; i < plan.cells[c / plan.size][c % plan.size]; ++i, ++clicks) {
            board = playMove(board, c / plan.size, c % plan.size, motif, k, torus);
        }
    }
    return checkSolved(board, k) == Won ? clicks : INT64_MAX;
}

} // namespace

TEST(Hint, BoardAlreadyWonNeedsAtLeastOneClick) {
    const std::tuple<int32_t, int32_t, Motif, bool> cases[] = {
        {2, 2, cross, false}, {2, 4, Motif{}, false}, {2, 5, shift, true}, {2, 5, shift, false},
        {2, 4, shift, true},  {3, 2, cross, true},    {3, 2, shift, true}};
    for (const auto& [n, k, motif, torus] : cases) {
        // Every plan of 0 ... k clicks per cell (more is never fewer) but the plan of none.
        int64_t fewest = INT64_MAX;
        Grid plan = newGrid(n);
        for (int32_t p = 1; p < static_cast<int32_t>(std::pow(k + 1, n * n)); ++p) {
            for (int32_t c = 0, q = p; c < n * n; ++c, q /= k + 1)
                plan.cells[c / n][c % n] = q % (k + 1);
            fewest = std::min(fewest, clicksKeepingWon(plan, motif, k, torus));
        }
        SCOPED_TRACE(testing::Message() << n << " " << k << " " << torus << " " << fewest);
        const Solution s = solveForGame(wonBoard(n, k), motif, k, torus);
        EXPECT_TRUE(s.solvable && s.proven);
        EXPECT_EQ(s.fewestClicks, fewest);
        EXPECT_EQ(clicksKeepingWon(s.plan, motif, k, torus), fewest);
    }
}

TEST(Hint, FixedEffortAndLargeBoards) {
    // 5^9 plans: after so many steps the same answer on every machine, whatever its speed.
    for (const auto& [steps, fewest] :
         {std::pair<uint64_t, int64_t>{0, 50}, {100, 30}, {1000, 25}}) {
        const Solution s = solveBoard(newGrid(5), cross, 5, true, steps);
        EXPECT_EQ(s.fewestClicks, fewest);
        EXPECT_FALSE(s.proven);
    }
    // Won boards with too many plans to try them all: a motif that does nothing takes one click,
    // one that adds 2 of 4 colours two; with shift every row of clicks adds nothing (1 then 4),
    // so five on one cell are the fewest.
    for (const auto& [n, motif, k, fewest] :
         {std::tuple{5, Motif{}, 2, 1}, {5, Motif{0, 0, 0, 0, 2}, 4, 2}, {11, shift, 5, 5}}) {
        const Solution s = solveForGame(wonBoard(n, k), motif, k, true);
        EXPECT_EQ(s.fewestClicks, fewest);
        EXPECT_EQ(clicksKeepingWon(s.plan, motif, k, true), fewest);
    }
}

TEST(Hint, SolveFindsThePlayersMotif) {
    namespace fs = std::filesystem;
    const fs::path dir = fs::temp_directory_path() / ("kelvo-hint-" + std::to_string(getpid()));
    const Motif dot{0, 0, 0, 0, 1}, full{1, 1, 1, 1, 1, 1, 1, 1, 1};
    const std::string xdg = dir / "xdg", xdgFile = xdg + "/kelvo/rc/motif.txt",
                      homeFile = dir / "home/.local/share/kelvo/rc/motif.txt";
    for (const auto& [file, m] :
         {std::pair{dir / "run/rc/motif.txt", cross}, {xdgFile, dot}, {homeFile, full}}) {
        fs::create_directories(file.parent_path());
        std::ofstream(file) << motifText(m);
    }
    // Where it runs (home has no rc/), XDG_DATA_HOME, the file named on stderr, the motif read.
    const std::tuple<const char*, std::string, std::string, Motif> cases[] = {
        {"run", "XDG_DATA_HOME=" + xdg, "", cross},
        {"home", "XDG_DATA_HOME=" + xdg, xdgFile, dot},
        {"home", "-u XDG_DATA_HOME", homeFile, full},
        {"home", "XDG_DATA_HOME=relative", homeFile, full},
        {"home", "XDG_DATA_HOME=" + xdg + "/none", KELVO_INSTALLED_MOTIF, Motif{}},
    };
    for (const auto& [where, env, named, motif] : cases) {
        const std::string command = "cd " + (dir / where).string() + " && env " + env +
                                    " HOME=" + (dir / "home").string() +
                                    " " KELVO_SOLVE " --size 3 >o 2>e";
        ASSERT_EQ(std::system(command.c_str()), 0) << command;
        std::stringstream out, err;
        out << std::ifstream(dir / where / "o").rdbuf();
        err << std::ifstream(dir / where / "e").rdbuf();
        EXPECT_EQ(err.str().empty(), named.empty()) << command;
        EXPECT_NE(err.str().find(named), std::string::npos) << err.str();
        if (motif != Motif{}) { // the installed motif is there only once installed
            EXPECT_EQ(out.str(), solutionText(solveBoard(newGrid(3), motif, 2, false))) << command;
        }
    }
    fs::remove_all(dir);
}
