// A game under way: the commands on its list of moves (move, undo, redo, restart, another board)
// and the hint, on plain values; the screen only draws them.
#include "game/play.h"

#include <algorithm>
#include <utility>

#include "board/motif.h"
#include "board/trace.h"

int32_t moveCount = 0;
Grid clickTrace;

namespace {

int64_t clicksIn(const Grid& plan) {
    int64_t clicks = 0;
    for (int32_t x = 0; x < plan.size; ++x)
        for (int32_t y = 0; y < plan.size; ++y) clicks += plan.cells[x][y];
    return clicks;
}

// The plan's first cell in reading order that still has a click.
std::optional<Cell> firstClick(const Grid& plan) {
    for (int32_t y = 0; y < plan.size; ++y)
        for (int32_t x = 0; x < plan.size; ++x)
            if (plan.cells[x][y] > 0) return Cell{x, y};
    return std::nullopt;
}

// The move itself, new or replayed.
void play(Play& p, Cell cell) {
    p.history.push_back({p.board, clickTrace, cell});
    const int32_t k = p.config.colorCount;
    p.board = playMove(p.board, cell.x, cell.y, p.motif, k, wrapsAround(p.config));
    clickTrace.cells[cell.x][cell.y] += 1;
    writeTrace(clickTrace);
    p.state = checkSolved(p.board, k);
    moveCount += 1;
    // Moves add up in any order, so the plan less this click still wins; a click outside it
    // leaves no plan known until the next hint.
    if (p.plan && p.plan->cells[cell.x][cell.y] > 0)
        p.plan->cells[cell.x][cell.y] -= 1;
    else
        p.plan.reset();
    p.hint.reset();
}

// Takes the last move back without writing trace.txt; false when there is none.
bool takeBack(Play& p) {
    if (p.history.empty()) return false;
    p.board = p.history.back().board;
    clickTrace = p.history.back().counts;
    p.undone.push_back(p.history.back().cell);
    p.history.pop_back();
    moveCount -= 1;
    p.plan.reset();
    p.hint.reset();
    return true;
}

} // namespace

Play playFrom(const Grid& start, int32_t k, bool torus, const Motif& motif) {
    clickTrace = newGrid(start.size);
    moveCount = 0;
    Play p;
    p.config = {start.size, k, 0, torus ? 1 : 0};
    p.motif = motif;
    p.startBoard = p.board = start;
    p.code = encodeBoardCode({p.config, motif, start});
    // The solver knows only motifs without negative values, whose moves are additions modulo k.
    if (std::any_of(motif.begin(), motif.end(), [](int32_t v) { return v < 0; })) return p;
    Solution s = solveForGame(p.board, motif, k, torus);
    p.outlook = s.solvable ? Outlook::Winnable : Outlook::Unwinnable;
    if (s.solvable) p.plan = s.plan;
    p.start = std::move(s);
    return p;
}

Play startPlay(const GameConfig& config) {
    const int32_t n = std::clamp(config.size, minBoardSize, maxGridSize);
    const int32_t k = std::clamp(config.colorCount, minColorCount, maxColorCount);
    Grid start = newGrid(n);
    if (startsAtRandom(config)) fillRandom(start, k);
    loadMotif();
    Play p = playFrom(start, k, wrapsAround(config));
    p.config.randomStart = config.randomStart;
    return p;
}

Play startCodedPlay(const CodedBoard& board) {
    Play p = playFrom(board.start, board.config.colorCount, wrapsAround(board.config), board.motif);
    p.shared = true;
    return p;
}

void playCell(Play& p, Cell cell) {
    p.undone.clear();
    play(p, cell);
}

void undo(Play& p) {
    if (takeBack(p)) writeTrace(clickTrace);
}

void redo(Play& p) {
    if (p.undone.empty()) return;
    const Cell cell = p.undone.back();
    p.undone.pop_back();
    play(p, cell);
}

void restart(Play& p) {
    bool any = false;
    while (takeBack(p)) any = true;
    if (any) writeTrace(clickTrace);
}

void anotherBoard(Play& p) {
    p = p.shared ? startCodedPlay({p.config, p.motif, p.startBoard}) : startPlay(p.config);
    writeTrace(clickTrace);
}

// Keeps the plan the player follows unless a fresh one is shorter, so following the marks one
// after the other always ends in victory.
void showHint(Play& p) {
    if (p.outlook != Outlook::Winnable) return;
    Solution fresh = solveForGame(p.board, p.motif, p.config.colorCount, wrapsAround(p.config));
    if (fresh.solvable && (!p.plan || fresh.fewestClicks < clicksIn(*p.plan))) p.plan = fresh.plan;
    if (p.plan) p.hint = firstClick(*p.plan);
}

void moveCursor(Play& p, int32_t dx, int32_t dy) {
    if (!p.cursorShown) {
        p.cursorShown = true;
        return;
    }
    const int32_t last = p.board.size - 1;
    p.cursor = {std::clamp(p.cursor.x + dx, 0, last), std::clamp(p.cursor.y + dy, 0, last)};
}

void playAtCursor(Play& p) {
    if (p.cursorShown)
        playCell(p, p.cursor);
    else
        p.cursorShown = true;
}
