// The game screen: turns events into the game's commands (moves, H, undo, redo, R, N, the
// cursor) and shows the keys on F1; repaints after every event.
#include "screens/game.h"

#include <iterator>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/platform.h"
#include "screens/display.h"
#include "screens/game_background.h"
#include "screens/victory.h"

namespace {

// The frame round the board at its real size: four bands just outside the board's square, drawn
// over the background and never under a tile.
void paintBoardFrame(SDL_Surface* screen, int32_t n) {
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
    const Uint32 color =
        SDL_MapRGB(screen->format, boardFrameColor.r, boardFrameColor.g, boardFrameColor.b);
    for (SDL_Rect& b : bands) SDL_FillRect(screen, &b, color);
}

// The game on the screen: the game itself, and whether the keys' panel covers it.
struct GameView {
    Play play;
    bool help = false;
};

void onKey(Play& p, const SDL_keysym& key) {
    const bool ctrl = key.mod & KMOD_CTRL;
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
        if (ctrl && (key.mod & KMOD_SHIFT))
            redo(p);
        else if (ctrl)
            undo(p);
        break;
    case SDLK_y:
        if (ctrl) redo(p);
        break;
    case SDLK_r:
        restart(p);
        break;
    case SDLK_n:
        anotherBoard(p);
        break;
    case SDLK_UP:
        moveCursor(p, 0, -1);
        break;
    case SDLK_DOWN:
        moveCursor(p, 0, 1);
        break;
    case SDLK_LEFT:
        moveCursor(p, -1, 0);
        break;
    case SDLK_RIGHT:
        moveCursor(p, 1, 0);
        break;
    case SDLK_SPACE:
    case SDLK_RETURN:
        playAtCursor(p);
        break;
    default:
        break;
    }
}

// F1, or "?" wherever the keyboard has it (the key's character, with Unicode on).
bool asksForHelp(const SDL_keysym& key) {
    return key.sym == SDLK_F1 || key.sym == SDLK_QUESTION || key.unicode == '?';
}

// The cell under a pointer released at (px, py) on a board of side n; none unless strictly
// inside the board (its first pixel column and row do not count).
std::optional<Cell> boardCell(int px, int py, int32_t n) {
    int right = boardLeft + tileSize * n;
    int bottom = boardTop + tileSize * n;
    if (px <= boardLeft || px >= right || py <= boardTop || py >= bottom) return std::nullopt;
    return Cell{(px - boardLeft) / tileSize, (py - boardTop) / tileSize};
}

void react(GameView& v, const SDL_Event& event) {
    Play& p = v.play;
    if (v.help && event.type != SDL_QUIT) {
        // The panel's closing key or click does nothing else; the press before a click neither.
        v.help = event.type != SDL_KEYDOWN && event.type != SDL_MOUSEBUTTONUP;
        return;
    }
    switch (event.type) {
    case SDL_MOUSEBUTTONDOWN:
        p.cursorShown = false;
        break;
    case SDL_MOUSEBUTTONUP:
        p.cursorShown = false;
        if (auto cell = boardCell(event.button.x, event.button.y, p.board.size)) playCell(p, *cell);
        break;
    case SDL_KEYDOWN:
        if (asksForHelp(event.key.keysym))
            v.help = true;
        else
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
        return "H : indice    Retour arriere : annuler    Echap : menu    F1 : aide";
    case Outlook::Unwinnable:
        return "Ce plateau ne peut pas etre gagne    N : autre plateau    F1 : aide";
    case Outlook::NoHint:
        break;
    }
    return "Pas d'indice avec ce motif    Retour arriere : annuler    F1 : aide";
}

// The count and the keys are two texts, so that only the short one is rendered anew after a move.
void paintStatus(SDL_Surface* screen, const Play& p) {
    const std::string count = "Coups : " + std::to_string(moveCount);
    paintText(screen, statusFontPoints, count, white, boardLeft, statusTop(p.board.size));
    paintText(screen, statusFontPoints, statusKeys(p.outlook), white, statusKeysLeft,
              statusTop(p.board.size));
}

void fill(SDL_Surface* screen, int x, int y, int w, int h, SDL_Color c) {
    SDL_Rect area{Sint16(x), Sint16(y), Uint16(w), Uint16(h)};
    SDL_FillRect(screen, &area, SDL_MapRGB(screen->format, c.r, c.g, c.b));
}

// A frame of the given width inset into the cell, in a colour, with a black line inside it.
void markCell(SDL_Surface* screen, Cell cell, int inset, int width, SDL_Color color) {
    int x = boardLeft + tileSize * cell.x + inset;
    int y = boardTop + tileSize * cell.y + inset;
    int side = tileSize - 2 * inset;
    for (auto [w, c] : {std::pair{width, color}, std::pair{1, black}}) {
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
    paintGameBackground(screen, picture(gamePicture), board);
    paintBoardFrame(screen, board.size);
    paint(screen, tile(k - 1), goalX, goalY);
    for (int32_t x = 0; x < board.size; ++x)
        for (int32_t y = 0; y < board.size; ++y)
            paint(screen, tile(board.cells[x][y]), boardLeft + tileSize * x,
                  boardTop + tileSize * y);
}

// Every key of the screen, over the board in a framed panel, and under them the code of the
// board the game started from, cut into lines of codeLineLength characters.
void paintKeys(SDL_Surface* screen, const std::optional<std::string>& code) {
    static constexpr const char* keys[] = {
        "Clic sur une case : la jouer",
        "Fleches : montrer puis deplacer le curseur",
        "Espace ou Entree : jouer la case du curseur",
        "H : indice, une case d'un plan gagnant",
        "Retour arriere ou Ctrl+Z : annuler le dernier coup",
        "Ctrl+Y ou Ctrl+Maj+Z : rejouer le coup annule",
        "R : recommencer ce plateau depuis le debut",
        "N : nouvelle partie, comme Jouer dans le menu",
        "F1 ou ? : cette aide",
        "Echap : retour au menu",
        "Une touche ou un clic ferme cette aide",
    };
    std::vector<std::string> lines(std::begin(keys), std::end(keys));
    if (code) {
        lines.push_back("Code du plateau :");
        for (size_t at = 0; at < code->size(); at += codeLineLength)
            lines.push_back(code->substr(at, codeLineLength));
    }
    const int height = 2 * keysPanelMargin + keysLinePitch * int(lines.size());
    const int w = boardFrameWidth;
    fill(screen, keysPanelLeft, keysPanelTop, keysPanelWidth, height, boardFrameColor);
    fill(screen, keysPanelLeft + w, keysPanelTop + w, keysPanelWidth - 2 * w, height - 2 * w,
         black);
    int y = keysPanelTop + keysPanelMargin;
    for (const std::string& line : lines) {
        paintText(screen, statusFontPoints, line, white, keysPanelLeft + keysPanelMargin, y);
        y += keysLinePitch;
    }
}

void drawPlay(SDL_Surface* screen, const GameView& v) {
    const Play& p = v.play;
    paintBoard(screen, p.board, p.config.colorCount);
    paintStatus(screen, p);
    if (p.hint) markCell(screen, *p.hint, 0, hintFrameWidth, hintColor);
    if (p.cursorShown) markCell(screen, p.cursor, cursorInset, cursorFrameWidth, white);
    if (v.help) paintKeys(screen, p.code);
    show(screen);
}

} // namespace

void drawBoard(SDL_Surface* screen, const Grid& board, int32_t k) {
    paintBoard(screen, board, k);
    show(screen);
}

void drawOpening(SDL_Surface* screen, const Grid& start, int32_t k, bool torus) {
    drawPlay(screen, {playFrom(start, k, torus)});
}

namespace {

// Opens the game's window and plays until the game is won or left; a game won ends with the
// victory screen, and the board of the day (day names it) offers the line a player may share.
// The page is told the start board's code whenever it changes (a start, N) and when the game
// screen is left.
void runPlay(GameView view, const std::string& day = "") {
    const Play& play = view.play;
    // The game's window has its own size and double buffering: the video system starts anew.
    stopVideo();
    startVideo();
    SDL_Surface* screen = openWindow(gameWindowWidth, gameWindowHeight(play.board.size),
                                     SDL_HWSURFACE | SDL_DOUBLEBUF, true);
    SDL_EnableUNICODE(1); // "?" is found by its character, on every keyboard layout
    drawPlay(screen, view);
    std::optional<std::string> shown = play.code;
    boardShown(shown.value_or(""));

    while (play.state == Playing) {
        react(view, waitEvent());
        if (play.code != shown) boardShown((shown = play.code).value_or(""));
        drawPlay(screen, view);
    }
    boardShown("");
    if (play.state != Won) return;
    if (!day.empty() && play.start) dailyWon(dailyResult(day, moveCount, play.start->fewestClicks));
    showVictory(moveCount,
                play.start ? minimumMessage(play.start->fewestClicks, play.start->proven) : "");
}

} // namespace

void runGame(SDL_Surface* /*menuWindow*/, const GameConfig& config) {
    runPlay({startPlay(config)});
}

void runSharedGame(const SharedBoard& board) { runPlay({startCodedPlay(board.board)}, board.day); }
