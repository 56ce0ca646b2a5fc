// What the game asks of the solver: a board already won needs a click, the same answer for the
// same effort on any machine, and kelvo-solve finding the player's motif away from the game.
#include <gtest/gtest.h>

#include <cmath>
#include <tuple>

#include "files.h"
#include "solver/solver.h"

namespace {

const Motif plus{0, 1, 0, 1, 1, 1, 0, 1, 0};
const Motif shift{0, 0, 0, 0, 1, 0, 0, 4, 0}; // adds 1 to its cell and 4 to the one on its right

Grid wonBoard(int32_t n, int32_t k) {
    Grid g = newGrid(n);
    for (auto& column : g.cells) column.fill(k - 1);
    return g;
}

// The plan played through the move rule on a won board: its clicks if the board is won again.
int64_t clicksKeepingWon(const Grid& plan, const Motif& motif, int32_t k, bool torus) {
    Grid board = wonBoard(plan.size, k);
    int64_t clicks = 0;
    for (int32_t c = 0, n = plan.size; c < n * n; ++c)
        for (int32_t i = 0; i < plan.cells[c / n][c % n]; ++i, ++clicks)
            board = playMove(board, c / n, c % n, motif, k, torus);
    return checkSolved(board, k) == Won ? clicks : INT64_MAX;
}

} // namespace

TEST(Hint, BoardAlreadyWonNeedsAtLeastOneClickAndEffortIsFixed) {
    const std::tuple<int32_t, int32_t, Motif, bool> cases[] = {
        {2, 2, plus, false}, {2, 4, Motif{}, false}, {2, 5, shift, true}, {2, 5, shift, false},
        {2, 4, shift, true}, {3, 2, plus, true},     {3, 2, shift, true}};
    for (const auto& [n, k, motif, torus] : cases) {
        int64_t fewest = INT64_MAX; // over every plan of 0 ... k clicks a cell but the empty one
        Grid plan = newGrid(n);
        for (int32_t p = 1; p < static_cast<int32_t>(std::pow(k + 1, n * n)); ++p) {
            for (int32_t c = 0, q = p; c < n * n; ++c, q /= k + 1)
                plan.cells[c / n][c % n] = q % (k + 1);
            fewest = std::min(fewest, clicksKeepingWon(plan, motif, k, torus));
        }
        const Solution s = solveForGame(wonBoard(n, k), motif, k, torus);
        EXPECT_TRUE(s.solvable && s.proven && s.fewestClicks == fewest &&
                    clicksKeepingWon(s.plan, motif, k, torus) == fewest)
            << n << " " << k << " " << torus << ": " << s.fewestClicks << " for " << fewest;
    }
    // Won boards with too many plans to try them all: a motif that does nothing takes one click,
    // one that adds 2 of 4 colours two, shift five on one cell (a row of clicks adds nothing).
    for (const auto& [n, motif, k, fewest] :
         {std::tuple{5, Motif{}, 2, 1}, {5, Motif{0, 0, 0, 0, 2}, 4, 2}, {11, shift, 5, 5}}) {
        const Solution s = solveForGame(wonBoard(n, k), motif, k, true);
        EXPECT_TRUE(s.fewestClicks == fewest && clicksKeepingWon(s.plan, motif, k, true) == fewest);
    }
    // 5^9 plans: after so many steps, the same answer on every machine whatever its speed.
    for (const auto& [steps, fewest] :
         {std::pair<uint64_t, int64_t>{0, 50}, {100, 30}, {1000, 25}}) {
        const Solution s = solveBoard(newGrid(5), plus, 5, true, steps);
        EXPECT_TRUE(s.fewestClicks == fewest && !s.proven) << steps << ": " << s.fewestClicks;
    }
}

TEST(Hint, SolveFindsThePlayersMotif) {
    const TempDir dir;
    const Motif dot{0, 0, 0, 0, 1}, full{1, 1, 1, 1, 1, 1, 1, 1, 1};
    const std::string xdg = dir.path / "xdg", xdgFile = xdg + "/kelvo/rc/motif.txt",
                      home = dir.path / "home",
                      homeFile = home + "/.local/share/kelvo/rc/motif.txt";
    for (const auto& [file, m] : {std::pair{(dir.path / "run/rc/motif.txt").string(), plus},
                                  {xdgFile, dot},
                                  {homeFile, full}}) {
        std::filesystem::create_directories(std::filesystem::path(file).parent_path());
        writeFile(file, motifText(m));
    }
    // Where it runs (home has no rc/), XDG_DATA_HOME, the file named on stderr, the motif read.
    const std::tuple<const char*, std::string, std::string, Motif> cases[] = {
        {"run", "XDG_DATA_HOME=" + xdg, "", plus},
        {"home", "XDG_DATA_HOME=" + xdg, xdgFile, dot},
        {"home", "-u XDG_DATA_HOME", homeFile, full},
        {"home", "XDG_DATA_HOME=relative", homeFile, full},
        {"home", "XDG_DATA_HOME=" + xdg + "/none", KELVO_INSTALLED_MOTIF, Motif{}}};
    for (const auto& [where, env, named, motif] : cases) {
        const std::string command = "cd " + (dir.path / where).string() + " && env " + env +
                                    " HOME=" + home + " " KELVO_SOLVE " --size 3 >o 2>e";
        ASSERT_EQ(std::system(command.c_str()), 0) << command;
        const std::string err = readFile(dir.path / where / "e");
        EXPECT_TRUE(err.empty() == named.empty() && err.find(named) != err.npos) << err;
        if (motif != Motif{}) { // the installed motif is there only once installed
            EXPECT_EQ(readFile(dir.path / where / "o"),
                      solutionText(solveBoard(newGrid(3), motif, 2, false)))
                << command;
        }
    }
}
