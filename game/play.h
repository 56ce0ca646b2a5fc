// A game under way, without a window: its board, the moves that undo and redo walk through, the
// hint's plan and the keyboard's cursor. The game screen turns events into these commands.
#pragma once

#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "board/board_code.h"
#include "board/game_config.h"
#include "board/grid.h"
#include "board/motif.h"
#include "solver/solver.h"

// Accepted clicks of the current game; the victory screen shows it.
extern int32_t moveCount;
// clickTrace.cells[x][y]: accepted clicks on cell (x, y) since the current game began; trace.txt
// shows them. Only the game under way writes these two.
extern Grid clickTrace;

struct Cell {
    int32_t x;
    int32_t y;

    bool operator==(const Cell&) const = default;
};

// Whether the board can be won. Moves never change it, so it is decided once, at the start.
// NoHint: the motif holds a negative value, which the solver does not know, so there is no hint.
enum class Outlook { Winnable, Unwinnable, NoHint };

// A move and what it replaced: undo goes back to the board and click counts, redo plays the cell
// again.
struct Step {
    Grid board;
    Grid counts;
    Cell cell;
};

// One game under way. The click counts are clickTrace, the moves moveCount.
struct Play {
    GameConfig config; // brought into the game's ranges; N starts the next game with them
    Motif motif{};     // the motif the moves lay: the file's, or a shared board's own
    // A shared board (a code, the board of the day): N starts it again, with its own motif, and
    // the motif file is neither read nor written.
    bool shared = false;
    std::optional<std::string> code; // the start's code; none with a negative motif value
    Grid startBoard;
    Grid board;
    GameState state = Playing;
    std::deque<Step> history;
    std::vector<Cell> undone; // the moves taken back, the next one to redo last
    Outlook outlook = Outlook::NoHint;
    std::optional<Solution> start; // the start board's answer, for the victory line
    std::optional<Grid> plan;      // clicks per cell that win from the board as it is
    std::optional<Cell> hint;      // the plan's cell the screen marks
    Cell cursor{0, 0};
    bool cursorShown = false;
};

// A new game with these settings, as the menu's "Jouer" starts it: the start board (with a random
// start, the next board of the run's random sequence), the motif read from its file, no click
// yet (clickTrace and moveCount at zero), and the start judged.
Play startPlay(const GameConfig& config);
// A game from this start board with this motif, judged, with no click yet.
Play playFrom(const Grid& start, int32_t k, bool torus, const Motif& motif = currentMotif);
// A shared board's game: its settings, start board and motif, for this game only (currentMotif
// and the motif file stay as they are), judged, with no click yet.
Play startCodedPlay(const CodedBoard& board);

// A new move: the board, its cell's click count, trace.txt, the solved test and moveCount. The
// moves taken back can no longer be redone.
void playCell(Play& p, Cell cell);
// Takes the last move back, or plays again the last move taken back; nothing when there is none.
void undo(Play& p);
void redo(Play& p);
// Takes every move back at once; redo replays them one by one.
void restart(Play& p);
// The next game with the same settings, as startPlay (a shared board: the same board again, as
// its settings have no random start); trace.txt shows its zero counts.
void anotherBoard(Play& p);
// Marks a cell of a winning plan, when the board can be won and a plan is known or found.
void showHint(Play& p);
// The first call shows the cursor where it is; the next ones move it, up to the edges.
void moveCursor(Play& p, int32_t dx, int32_t dy);
// Plays the cell under the cursor; a hidden cursor is shown first, so that no key plays a cell the
// player cannot see.
void playAtCursor(Play& p);
