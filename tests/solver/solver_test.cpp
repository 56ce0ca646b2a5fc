// Tests of the solver against trying every plan on small boards, and of its plans replayed
// through the move rule on large ones.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <random>
#include <vector>

#include "board/motif.h"
#include "solver/solver.h"

namespace {

const Motif cross{0, 1, 0, 1, 1, 1, 0, 1, 0};

// Values 0 ... k+1 mostly (2 matters with four colours), sometimes a huge one.
Motif randomMotif(std::mt19937& rng, int32_t k) {
    Motif m{};
    for (int32_t& v : m) {
        const uint32_t pick = rng() % 16;
        v = pick == 0   ? INT32_MAX
            : pick == 1 ? 1000
                        : static_cast<int32_t>(rng() % static_cast<uint32_t>(k + 2));
    }
    return m;
}

// The plan played through the game's own move rule, each cell clicked as often as it says.
Grid replay(Grid board, const Grid& plan, const Motif& motif, int32_t k, bool torus) {
    for (int32_t x = 0; x < board.size; ++x) {
        for (int32_t y = 0; y < board.size; ++y) {
            for (int32_t c = 0; c < plan.cells[x][y]; ++c) {
                board = playMove(board, x, y, motif, k, torus);
            }
        }
    }
    return board;
}

int64_t clicks(const Grid& plan) {
    int64_t sum = 0;
    for (int32_t x = 0; x < plan.size; ++x) {
        for (int32_t y = 0; y < plan.size; ++y) {
            sum += plan.cells[x][y];
        }
    }
    return sum;
}

// A plan's clicks are all in 0 ... k (k only on a board already won), it wins from start, and its
// clicks are the ones announced.
void expectWinningPlan(const Solution& s, const Grid& start, const Motif& motif, int32_t k,
                       bool torus) {
    ASSERT_TRUE(s.solvable);
    ASSERT_EQ(s.plan.size, start.size);
    for (int32_t x = 0; x < start.size; ++x) {
        for (int32_t y = 0; y < start.size; ++y) {
            ASSERT_GE(s.plan.cells[x][y], 0);
            ASSERT_LE(s.plan.cells[x][y], k);
        }
    }
    EXPECT_EQ(checkSolved(replay(start, s.plan, motif, k, torus), k), Won);
    EXPECT_EQ(clicks(s.plan), s.fewestClicks);
}

// Every plan of a small board tried once: for each start board, numbered by its cells (cell
// (x, y) the digit of weight k^(x n + y)), how many plans win and the fewest clicks among them.
struct EveryPlan {
    std::vector<uint32_t> winning;
    std::vector<uint8_t> fewest;
};

EveryPlan tryEveryPlan(int32_t n, const Motif& motif, int32_t k, bool torus) {
    const int cells = n * n;
    // What one click adds to each cell, read off the move rule on an empty board.
    std::vector<std::vector<int32_t>> effect;
    for (int32_t x = 0; x < n; ++x) {
        for (int32_t y = 0; y < n; ++y) {
            const Grid moved = playMove(newGrid(n), x, y, motif, k, torus);
            std::vector<int32_t> e;
            for (int32_t cx = 0; cx < n; ++cx) {
                for (int32_t cy = 0; cy < n; ++cy) {
                    e.push_back(moved.cells[cx][cy]);
                }
            }
            effect.push_back(e);
        }
    }
    size_t boards = 1;
    for (int c = 0; c < cells; ++c) {
        boards *= static_cast<size_t>(k);
    }
    EveryPlan all{std::vector<uint32_t>(boards, 0), std::vector<uint8_t>(boards, UINT8_MAX)};
    std::vector<int32_t> plan(static_cast<size_t>(cells), 0);
    std::vector<int32_t> added(static_cast<size_t>(cells), 0);
    int32_t weight = 0;
    for (size_t p = 0; p < boards; ++p) {
        // The start board this plan wins from: the goal minus what the plan adds.
        size_t start = 0;
        for (int c = cells - 1; c >= 0; --c) {
            start = start * static_cast<size_t>(k) +
                    static_cast<size_t>((2 * k - 1 - added[static_cast<size_t>(c)]) % k);
        }
        ++all.winning[start];
        if (weight > 0) { // no click does not win: the game tests for a win after a move
            all.fewest[start] = std::min(all.fewest[start], static_cast<uint8_t>(weight));
        }
        // Next plan, as an odometer: k clicks on a cell add nothing, so a wrap needs no undoing.
        for (int c = 0; c < cells; ++c) {
            const auto cu = static_cast<size_t>(c);
            for (int i = 0; i < cells; ++i) {
                added[static_cast<size_t>(i)] =
                    (added[static_cast<size_t>(i)] + effect[cu][static_cast<size_t>(i)]) % k;
            }
            ++weight;
            if (++plan[cu] < k) {
                break;
            }
            plan[cu] = 0;
            weight -= k;
        }
    }
    // On the goal board, k clicks on one cell add nothing and win.
    all.fewest[boards - 1] = std::min(all.fewest[boards - 1], static_cast<uint8_t>(k));
    return all;
}

Grid boardNumbered(size_t number, int32_t n, int32_t k) {
    Grid g = newGrid(n);
    for (int32_t x = 0; x < n; ++x) {
        for (int32_t y = 0; y < n; ++y) {
            g.cells[x][y] = static_cast<int32_t>(number % static_cast<size_t>(k));
            number /= static_cast<size_t>(k);
        }
    }
    return g;
}

void expectSameAsEveryPlan(const EveryPlan& all, size_t number, int32_t n, const Motif& motif,
                           int32_t k, bool torus) {
    SCOPED_TRACE(testing::Message() << "n " << n << " k " << k << " torus " << torus << " board "
                                    << number << " motif " << motifText(motif));
    const Grid start = boardNumbered(number, n, k);
    const Solution s = solveBoard(start, motif, k, torus);
    EXPECT_EQ(s.planCount, std::to_string(all.winning[number]));
    ASSERT_EQ(s.solvable, all.winning[number] > 0);
    if (s.solvable) {
        EXPECT_TRUE(s.proven);
        EXPECT_EQ(s.fewestClicks, all.fewest[number]);
        expectWinningPlan(s, start, motif, k, torus);
    }
}

// A few random start boards and as many that some plan wins from, for one motif.
void checkSideThree(int32_t k, int motifs, uint32_t seed) {
    std::mt19937 rng(seed);
    for (int m = 0; m < motifs; ++m) {
        const Motif motif = m == 0 ? cross : randomMotif(rng, k);
        for (const bool torus : {false, true}) {
            const EveryPlan all = tryEveryPlan(3, motif, k, torus);
            std::vector<size_t> winnable;
            for (size_t b = 0; b < all.winning.size(); ++b) {
                if (all.winning[b] > 0) {
                    winnable.push_back(b);
                }
            }
            for (int i = 0; i < 6; ++i) {
                expectSameAsEveryPlan(all, rng() % all.winning.size(), 3, motif, k, torus);
                expectSameAsEveryPlan(all, winnable[rng() % winnable.size()], 3, motif, k, torus);
            }
        }
    }
}

} // namespace

TEST(Solver, EveryBoardOfSideTwoAgreesWithEveryPlan) {
    std::mt19937 rng(2);
    for (int32_t k = 2; k <= 5; ++k) {
        // The cross, nine different values (on a 2 x 2 torus only the last stores count),
        // nothing at all, and random motifs.
        std::vector<Motif> motifs{cross, Motif{1, 2, 3, 4, 5, 6, 7, 8, 9}, Motif{}};
        for (int i = 0; i < 4; ++i) {
            motifs.push_back(randomMotif(rng, k));
        }
        for (const Motif& motif : motifs) {
            for (const bool torus : {false, true}) {
                const EveryPlan all = tryEveryPlan(2, motif, k, torus);
                for (size_t b = 0; b < all.winning.size(); ++b) {
                    expectSameAsEveryPlan(all, b, 2, motif, k, torus);
                }
            }
        }
    }
}

TEST(Solver, SideThreeTwoColoursAgreesWithEveryPlan) { checkSideThree(2, 6, 3); }
TEST(Solver, SideThreeThreeColoursAgreesWithEveryPlan) { checkSideThree(3, 4, 4); }
TEST(Solver, SideThreeFourColoursAgreesWithEveryPlan) { checkSideThree(4, 3, 5); }
TEST(Solver, SideThreeFiveColoursAgreesWithEveryPlan) { checkSideThree(5, 1, 6); }

TEST(Solver, PlansOnLargeBoardsWinThroughTheMoveRule) {
    std::mt19937 rng(7);
    for (int i = 0; i < 40; ++i) {
        const int32_t n = 4 + static_cast<int32_t>(rng() % 15);
        const int32_t k = 2 + static_cast<int32_t>(rng() % 4);
        const bool torus = rng() % 2 == 0;
        Motif motif{};
        for (int32_t& v : motif) {
            v = rng() % 8 == 0 ? static_cast<int32_t>(rng() % 7) : static_cast<int32_t>(rng() % 2);
        }
        // A start that a known plan wins from: the goal with that plan undone, by playing each
        // of its clicks k - 1 more times.
        Grid known = newGrid(n);
        Grid undo = newGrid(n);
        for (int32_t x = 0; x < n; ++x) {
            for (int32_t y = 0; y < n; ++y) {
                known.cells[x][y] = static_cast<int32_t>(rng() % static_cast<uint32_t>(k));
                undo.cells[x][y] = known.cells[x][y] * (k - 1);
            }
        }
        Grid goal = newGrid(n);
        for (int32_t x = 0; x < n; ++x) {
            std::fill_n(goal.cells[x].begin(), n, k - 1);
        }
        SCOPED_TRACE(testing::Message() << "n " << n << " k " << k << " torus " << torus
                                        << " motif " << motifText(motif));
        const Grid start = replay(goal, undo, motif, k, torus);
        const Solution s = solveBoard(start, motif, k, torus, gameSearchSteps);
        expectWinningPlan(s, start, motif, k, torus);
        if (s.proven) {
            EXPECT_LE(s.fewestClicks, clicks(known));
        }

        Grid random = newGrid(n);
        fillRandom(random, k);
        const Solution r = solveBoard(random, motif, k, torus, gameSearchSteps);
        if (r.solvable) {
            expectWinningPlan(r, random, motif, k, torus);
        }
        // Whether a board can be won does not depend on where the search stops, and the
        // number of plans is the same for every board that can be won.
        if (r.solvable) {
            EXPECT_EQ(r.planCount, s.planCount);
        }
    }
}

TEST(Solver, CrossOnEighteenByEighteen) {
    // Plans for each k, bounded then torus. On a torus every click adds 5 to the sum of the
    // cells, so with five colours that sum never moves modulo 5, while the goal needs 324 * 4.
    const char* const expected[4][2] = {
        {"1", "256"}, {"1", "129140163"}, {"1", "65536"}, {"1", "0"}};
    for (int32_t k = 2; k <= 5; ++k) {
        for (const bool torus : {false, true}) {
            SCOPED_TRACE(testing::Message() << "k " << k << " torus " << torus);
            const Solution s = solveBoard(newGrid(18), cross, k, torus);
            EXPECT_EQ(s.planCount, expected[k - 2][torus ? 1 : 0]);
            if (s.planCount != "0") {
                expectWinningPlan(s, newGrid(18), cross, k, torus);
                // Up to 2^24 plans the search tries them all.
                EXPECT_EQ(s.proven, std::stoull(s.planCount) <= maxExhaustivePlans);
            }
        }
    }
}

TEST(Solver, StepLimitKeepsTheBestPlanSoFar) {
    const Solution s = solveBoard(newGrid(18), cross, 4, true, 0);
    EXPECT_FALSE(s.proven);
    expectWinningPlan(s, newGrid(18), cross, 4, true);
    EXPECT_NE(solutionText(s).find("(best found)\nplan:\n"), std::string::npos);
}

TEST(Solver, AnswerText) {
    EXPECT_EQ(solutionText(solveBoard(newGrid(4), cross, 2, false)),
              "solvable: yes\nsolutions: 16\nfewest clicks: 4 (proven)\nplan:\n"
              "0 1 0 0 \n0 0 0 1 \n1 0 0 0 \n0 0 1 0 \n");
    EXPECT_EQ(solutionText(solveBoard(newGrid(18), cross, 5, true)),
              "solvable: no\nsolutions: 0\n");

    // A motif that does nothing on a board already won: every plan wins, and one click is the
    // fewest, since the game tests for a win only after a move.
    Grid won = newGrid(18);
    for (auto& column : won.cells) {
        column.fill(1);
    }
    const Solution idle = solveBoard(won, Motif{}, 2, false);
    EXPECT_EQ(idle.planCount, decimalPower(2, 324));
    EXPECT_EQ(idle.fewestClicks, 1);
    EXPECT_TRUE(idle.proven);

    // Colour counts the game never uses are refused rather than solved wrongly.
    EXPECT_FALSE(solveBoard(newGrid(3), cross, 1, false).solvable);
    EXPECT_FALSE(solveBoard(newGrid(3), cross, 6, false).solvable);

    EXPECT_EQ(decimalPower(2, 324),
              "3417579257473456131832034729871283383364327235770644431915266572515551561249"
              "0248800367393390985216");
    EXPECT_EQ(decimalPower(3, 40), "12157665459056928801");
    EXPECT_EQ(decimalPower(5, 0), "1");
}
