// The game screen: a release over the board or Space on the keyboard's cursor makes a move, H
// marks a cell of a winning plan, Backspace takes a move back; repaints after every event.
#include "screens/game.h"

#include <algorithm>
#include <deque>
#include <optional>
#include <string>
#include <utility>

#include "board/motif.h"
#include "board/trace.h"
#include "screens/display.h"
#include "screens/game_background.h"
#include "screens/victory.h"
#include "solver/solver.h"

int32_t moveCount = 0;

namespace {

// The frame round the board at its real size: four bands just outside the board's square, drawn
// over the background and never under a tile.
void drawBoardFrame(SDL_Surface* screen, int32_t n) {
    if (!screen) return;
    const int side = tileSize * n;
    const int w = boardFrameWidth;
    auto band = [](int x, int y, int width, int height) {
        return SDL_Rect{Sint16(x), Sint16(y), Uint16(width), Uint16(height)};
    };
    SDL_Rect bands[] = {band(boardLeft - w, boardTop - w, side + 2 * w, w),
                        band(boardLeft - w, boardTop + side, side + 2 * w, w),
                        band(boardLeft - w, boardTop, w, side),
                        band(boardLeft + side, boardTop, w, side)};
    const Uint32 colour =
        SDL_MapRGB(screen->format, boardFrameColour.r, boardFrameColour.g, boardFrameColour.b);
    for (SDL_Rect& b : bands) SDL_FillRect(screen, &b, colour);
}

// Whether the board can be won. Moves never change it, so it is decided once, at the start.
enum class Outlook { Winnable, Unwinnable, Unknown };

// The board and the click counts before a move: undo goes back to them.
struct Step {
    Grid board;
    Grid counts;
};

// One game under way. The click counts are clickTrace, the moves moveCount.
struct Play {
    int32_t n = 0;
    int32_t k = 0;
    bool torus = false;
    Grid board;
    GameState state = Playing;
    std::deque<Step> history;
    Outlook outlook = Outlook::Unknown;
    std::optional<Solution> start; // the start board's answer, for the victory line
    std::optional<Grid> plan;      // clicks per cell that win from the board as it is
    std::optional<Cell> hint;      // the plan's cell the screen marks
    Cell cursor{0, 0};
    bool cursorShown = false;
};

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

Play startPlay(const GameConfig& config) {
    Play p;
    p.n = std::clamp(config.size, minBoardSize, maxBoardSize);
    p.k = std::clamp(config.colorCount, minColorCount, maxColorCount);
    p.torus = config.torus != 0;
    p.board = newGrid(p.n);
    if (config.randomStart == 1) fillRandom(p.board, p.k);
    return p;
}

// Solves the start once: whether it can be won, the fewest clicks and the first plan. The solver
// knows only motifs without negative values, whose moves are additions modulo k.
void judgeStart(Play& p) {
    if (std::any_of(currentMotif.begin(), currentMotif.end(), [](int32_t v) { return v < 0; }))
        return;
    Solution s = solveForGame(p.board, currentMotif, p.k, p.torus);
    p.outlook = s.solvable ? Outlook::Winnable : Outlook::Unwinnable;
    if (s.solvable) p.plan = s.plan;
    p.start = std::move(s);
}

// The one way a move is made, from a click or from the keyboard.
void playCell(Play& p, Cell cell) {
    p.history.push_back({p.board, clickTrace});
    p.board = playMove(p.board, cell.x, cell.y, currentMotif, p.k, p.torus);
    clickTrace.cells[cell.x][cell.y] += 1;
    writeTrace(clickTrace);
    p.state = checkSolved(p.board, p.k);
    moveCount += 1;
    // Moves add up in any order, so the plan less this click still wins; a click outside it
    // leaves no plan known until the next hint.
    if (p.plan && p.plan->cells[cell.x][cell.y] > 0)
        p.plan->cells[cell.x][cell.y] -= 1;
    else
        p.plan.reset();
    p.hint.reset();
}

void undo(Play& p) {
    if (p.history.empty()) return;
    p.board = p.history.back().board;
    clickTrace = p.history.back().counts;
    p.history.pop_back();
    writeTrace(clickTrace);
    moveCount -= 1;
    p.plan.reset();
    p.hint.reset();
}

// Keeps the plan the player follows unless a fresh one is shorter, so following the marks one
// after the other always ends in victory.
void showHint(Play& p) {
    if (p.outlook != Outlook::Winnable) return;
    Solution fresh = solveForGame(p.board, currentMotif, p.k, p.torus);
    if (fresh.solvable && (!p.plan || fresh.fewestClicks < clicksIn(*p.plan))) p.plan = fresh.plan;
    if (p.plan) p.hint = firstClick(*p.plan);
}

// The first arrow shows the cursor where it is; the next ones move it, up to the edges.
void moveCursor(Play& p, SDLKey key) {
    if (!p.cursorShown) {
        p.cursorShown = true;
        return;
    }
    const int32_t dx = key == SDLK_RIGHT ? 1 : key == SDLK_LEFT ? -1 : 0;
    const int32_t dy = key == SDLK_DOWN ? 1 : key == SDLK_UP ? -1 : 0;
    p.cursor = {std::clamp(p.cursor.x + dx, 0, p.n - 1), std::clamp(p.cursor.y + dy, 0, p.n - 1)};
}

void onKey(Play& p, const SDL_keysym& key) {
    switch (key.sym) {
    case SDLK_ESCAPE:
        p.state = Aborted;
        break;
    case SDLK_h:
        showHint(p);
        break;
    case SDLK_BACKSPACE:
        undo(p);
        break;
    case SDLK_z:
        if (key.mod & KMOD_CTRL) undo(p);
        break;
    case SDLK_UP:
    case SDLK_DOWN:
    case SDLK_LEFT:
    case SDLK_RIGHT:
        moveCursor(p, key.sym);
        break;
    case SDLK_SPACE:
    case SDLK_RETURN:
        // A hidden cursor is shown first, so that no key plays a cell the player cannot see.
        if (p.cursorShown)
            playCell(p, p.cursor);
        else
            p.cursorShown = true;
        break;
    default:
        break;
    }
}

void react(Play& p, const SDL_Event& event) {
    switch (event.type) {
    case SDL_MOUSEBUTTONDOWN:
        p.cursorShown = false;
        break;
    case SDL_MOUSEBUTTONUP:
        p.cursorShown = false;
        if (auto cell = boardCell(event.button.x, event.button.y, p.n)) playCell(p, *cell);
        break;
    case SDL_KEYDOWN:
        onKey(p, event.key.keysym);
        break;
    case SDL_QUIT:
        p.state = Aborted;
        break;
    default:
        break;
    }
}

// What the status line says after the move count.
const char* statusKeys(Outlook outlook) {
    switch (outlook) {
    case Outlook::Winnable:
        return "H : indice    Retour arriere : annuler    Echap : menu";
    case Outlook::Unwinnable:
        return "Ce plateau ne peut pas etre gagne    Echap : menu";
    case Outlook::Unknown:
        break;
    }
    return "Pas d'indice avec ce motif    Retour arriere : annuler    Echap : menu";
}

// The count and the keys are two texts, so that only the short one is rendered anew after a move.
void drawStatus(SDL_Surface* screen, const Play& p) {
    const std::string count = "Coups : " + std::to_string(moveCount);
    drawText(screen, statusFontPoints, count, white, boardLeft, statusTop(p.n));
    drawText(screen, statusFontPoints, statusKeys(p.outlook), white, statusKeysLeft,
             statusTop(p.n));
}

void fill(SDL_Surface* screen, int x, int y, int w, int h, SDL_Color c) {
    SDL_Rect area{Sint16(x), Sint16(y), Uint16(w), Uint16(h)};
    SDL_FillRect(screen, &area, SDL_MapRGB(screen->format, c.r, c.g, c.b));
}

// A frame of the given width inset into the cell, in a colour, with a black line inside it.
void markCell(SDL_Surface* screen, Cell cell, int inset, int width, SDL_Color colour) {
    int x = boardLeft + tileSize * cell.x + inset;
    int y = boardTop + tileSize * cell.y + inset;
    int side = tileSize - 2 * inset;
    for (auto [w, c] : {std::pair{width, colour}, std::pair{1, black}}) {
        fill(screen, x, y, side, w, c);
        fill(screen, x, y + side - w, side, w, c);
        fill(screen, x, y, w, side, c);
        fill(screen, x + side - w, y, w, side, c);
        x += w;
        y += w;
        side -= 2 * w;
    }
}

void paintBoard(SDL_Surface* screen, const Grid& board, int32_t k) {
    drawGameBackground(screen, picture(gamePicture), board);
    drawBoardFrame(screen, board.size);
    draw(screen, tile(k - 1), goalX, goalY);
    for (int32_t x = 0; x < board.size; ++x)
        for (int32_t y = 0; y < board.size; ++y)
            draw(screen, tile(board.cells[x][y]), boardLeft + tileSize * x,
                 boardTop + tileSize * y);
}

void drawPlay(SDL_Surface* screen, const Play& p) {
    paintBoard(screen, p.board, p.k);
    drawStatus(screen, p);
    if (p.hint) markCell(screen, *p.hint, 0, hintFrameWidth, hintColour);
    if (p.cursorShown) markCell(screen, p.cursor, cursorInset, cursorFrameWidth, white);
    show(screen);
}

} // namespace

std::optional<Cell> boardCell(int px, int py, int32_t n) {
    int right = boardLeft + tileSize * n;
    int bottom = boardTop + tileSize * n;
    if (px <= boardLeft || px >= right || py <= boardTop || py >= bottom) return std::nullopt;
    return Cell{(px - boardLeft) / tileSize, (py - boardTop) / tileSize};
}

void drawBoard(SDL_Surface* screen, const Grid& board, int32_t k) {
    paintBoard(screen, board, k);
    show(screen);
}

void drawOpening(SDL_Surface* screen, const Grid& start, int32_t k, bool torus) {
    Play play;
    play.n = start.size;
    play.k = k;
    play.torus = torus;
    play.board = start;
    moveCount = 0;
    judgeStart(play);
    drawPlay(screen, play);
}

void runGame(SDL_Surface* /*menuScreen*/, const GameConfig& config) {
    Play play = startPlay(config);
    clickTrace = newGrid(play.n);
    moveCount = 0;

    // The game's window has its own size and double buffering: the video system starts anew.
    stopVideo();
    startVideo();
    SDL_Surface* screen =
        openWindow(gameWindowWidth, gameWindowHeight(play.n), SDL_HWSURFACE | SDL_DOUBLEBUF, true);
    loadMotif();
    judgeStart(play);
    drawPlay(screen, play);

    while (play.state == Playing) {
        react(play, waitEvent());
        drawPlay(screen, play);
    }
    if (play.state == Won)
        showVictory(play.start ? minimumMessage(play.start->fewestClicks, play.start->proven) : "");
}
