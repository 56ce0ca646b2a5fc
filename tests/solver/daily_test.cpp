// Tests of the board of the day: four weeks pinned (the list the browser's build is compared
// with), each winnable in its proven fewest clicks, and every setting of the week's plan proven
// within the game's own budget.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "board/daily.h"
#include "solver/solver.h"

TEST(Daily, FourWeeksAsPinnedWinnableInTheirProvenFewestClicks) {
    std::ifstream list(std::filesystem::path(__FILE__).parent_path() / "daily_boards.txt");
    list.ignore(1000, '\n'); // the heading
    std::string date, code;
    int64_t fewest = 0;
    int days = 0;
    for (; list >> date >> code >> fewest; ++days) {
        const std::optional<CodedBoard> board = dailyBoard(parseDate(date).value());
        ASSERT_TRUE(board) << date;
        EXPECT_EQ(encodeBoardCode(*board), code) << date;
        const GameConfig& c = board->config;
        const Solution s = solveBoard(board->start, board->motif, c.colorCount, c.torus != 0);
        EXPECT_TRUE(s.solvable && s.proven && s.fewestClicks == fewest) << date;
    }
    EXPECT_EQ(days, 28);
}

// A board of each setting, the goal less one click on each cell of the diagonal.
TEST(Daily, EverySettingOfTheWeekIsProvenInTheGamesBudget) {
    for (const DailySetting& s : dailyPlan) {
        const int32_t n = s.size, k = s.colorCount;
        Grid start = newGrid(n);
        for (int32_t x = 0; x < n; ++x) std::fill_n(start.cells[x].begin(), n, k - 1);
        for (int32_t x = 0; x < n; ++x)
            for (int32_t t = 1; t < k; ++t) start = playMove(start, x, x, dailyMotif, k, s.torus);
        const Solution solution = solveForGame(start, dailyMotif, k, s.torus);
        EXPECT_TRUE(solution.solvable && solution.proven) << n << " " << k << " " << s.torus;
        EXPECT_LE(std::stoull(solution.planCount), 4096u) << n << " " << k << " " << s.torus;
    }
}
