// Tests of a game under way: undo, redo, restart and another board against the same game played
// without them.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <random>
#include <regex>
#include <string>

#include "board/motif.h"
#include "board/trace.h"
#include "files.h"
#include "game/play.h"
#include "solver/command.h"

const Motif cross{0, 1, 0, 1, 1, 1, 0, 1, 0};

// Each test in a fresh working directory, with the cross in its motif file.
struct PlayTest : testing::Test {
    const TempWorkDir dir;
    void SetUp() override { writeFile(motifPath, motifText(cross)); }
};

// The last cell the hint's plan does not click; the hint's cell when the plan clicks every one.
static Cell besideThePlan(const Play& p) {
    Cell beside = p.hint.value();
    for (int32_t i = 0, n = p.board.size; i < n * n; ++i)
        if (p.plan->cells[i / n][i % n] == 0) beside = {i / n, i % n};
    return beside;
}

// Runs commands after `draws` random boards of the run have gone: m plays the next of a fixed
// series of random cells, x the top-right cell, h shows the hint, o plays beside its plan, u
// undoes, y redoes, R restarts, N starts another board; a letter followed by a number is repeated
// that many times.
static Play played(const GameConfig& config, const std::string& script, int draws = 0) {
    std::srand(1);
    for (Grid g = newGrid(config.size); draws-- > 0;) fillRandom(g, config.colorCount);
    std::filesystem::remove(tracePath);
    Play p = startPlay(config);
    std::mt19937 rng(7);
    const std::regex step("(.)(\\d*)");
    for (std::sregex_iterator s(script.begin(), script.end(), step), end; s != end; ++s)
        for (int t = (*s)[2].length() > 0 ? std::stoi((*s)[2]) : 1; t > 0; --t) {
            const char command = (*s).str(1)[0];
            if (command == 'm')
                playCell(p, {int32_t(rng() % p.board.size), int32_t(rng() % p.board.size)});
            if (command == 'x') playCell(p, {p.board.size - 1, 0});
            if (command == 'h') showHint(p);
            if (command == 'o') playCell(p, besideThePlan(p));
            if (command == 'u') undo(p);
            if (command == 'y') redo(p);
            if (command == 'R') restart(p);
            if (command == 'N') anotherBoard(p);
        }
    return p;
}

TEST_F(PlayTest, UndoRedoRestartAndAnotherBoardAreTheGamePlayedWithoutThem) {
    // The settings, the commands, and the moves alone that must leave the same game; the random
    // boards drawn before those moves.
    for (const auto& [config, script, same, draws] :
         {std::tuple{GameConfig{.randomStart = 1}, "m50u20", "m30", 0},
          {{.randomStart = 1}, "m50u20y20", "m50", 0},
          // A move forgets what could be redone.
          {{.size = 5, .colorCount = 3, .torus = 1}, "m50u60xy5", "x", 0},
          {{.size = 18, .colorCount = 5, .torus = 1}, "m50R", "", 0},
          {{.size = 18, .colorCount = 5, .torus = 1}, "m50Ry50", "m50", 0},
          {{}, "Ruy", "", 0}, // nothing to take back or replay: trace.txt is not written
          {{.randomStart = 1}, "m10uNy", "", 1}, // the run's next random board, nothing to redo
          {{.size = 3}, "m5N", "", 0}}) {
        SCOPED_TRACE(script);
        const Play p = played(config, script);
        const auto [counts, moves] = std::pair(clickTrace, moveCount);
        EXPECT_EQ(readFile(tracePath), std::strpbrk(script, "mxN") ? traceText(counts) : "");
        const Play q = played(config, same, draws);
        EXPECT_TRUE(p.board == q.board && counts == clickTrace && moves == moveCount &&
                    p.history.size() == q.history.size());
    }
}

// A shared board is played with its own motif (moves and N), whatever the motif file holds, which
// stays as it was; the game and kelvo-solve --code agree on whether it can be won.
TEST_F(PlayTest, ASharedBoardPlaysWithItsOwnMotifAndKelvoSolveAgrees) {
    std::srand(1);
    currentMotif = {};
    // The clicked cell alone, winnable; no move that changes anything; a corner lost when bounded.
    for (CodedBoard b : {CodedBoard{{5, 3, 0, 1}, {0, 0, 0, 0, 1}, newGrid(5)},
                         CodedBoard{{3, 2, 0, 0}, {}, newGrid(3)},
                         CodedBoard{{6, 4, 0, 0}, {1, 0, 0, 0, 2, 0, 0, 0, 3}, newGrid(6)}}) {
        fillRandom(b.start, b.config.colorCount);
        const std::string code = encodeBoardCode(b).value();
        Play p = startCodedPlay(b);
        const std::string answer = runSolveCommand({"--code", code}).out;
        EXPECT_EQ(answer.starts_with("solvable: yes"), p.outlook == Outlook::Winnable) << code;
        playCell(p, {1, 2});
        EXPECT_EQ(p.board, playMove(b.start, 1, 2, b.motif, b.config.colorCount, b.config.torus));
        anotherBoard(p);
        EXPECT_TRUE(p.board == b.start && p.code == code && moveCount == 0) << code;
        EXPECT_TRUE(currentMotif == Motif{} && readFile(motifPath) == motifText(cross));
    }
    EXPECT_EQ(startPlay({}).code, "142BA2"); // the menu's game, with the file's motif
}

// A move beside the plan, an undo or a restart leaves no stale plan: following H from there wins.
TEST_F(PlayTest, FollowingTheHintWinsAfterMovesBesideThePlan) {
    for (const auto& [config, script] : {std::pair{GameConfig{.size = 5, .colorCount = 3}, "ho"},
                                         {{.size = 4, .colorCount = 2, .torus = 1}, "hoho"},
                                         {{.size = 6, .colorCount = 5}, "hohu"},
                                         {{.size = 5, .colorCount = 3, .torus = 1}, "hohohR"}}) {
        Play p = played(config, script);
        ASSERT_EQ(p.outlook, Outlook::Winnable); // decided at the start, whatever the moves
        for (int moves = 0; p.state == Playing && moves < 400; ++moves) {
            showHint(p);
            ASSERT_TRUE(p.hint) << script;
            playCell(p, *p.hint);
        }
        EXPECT_EQ(p.state, Won) << script;
    }
}
