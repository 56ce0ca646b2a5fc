// The game screen: turns releases over the board into moves, and repaints after every event.
#include "screens/game.h"

#include <algorithm>

#include "board/motif.h"
#include "board/trace.h"
#include "screens/display.h"
#include "screens/fast_copy.h"
#include "screens/victory.h"

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

} // namespace

std::optional<Cell> boardCell(int px, int py, int32_t n) {
    int right = boardLeft + tileSize * n;
    int bottom = boardTop + tileSize * n;
    if (px <= boardLeft || px >= right || py <= boardTop || py >= bottom) return std::nullopt;
    return Cell{(px - boardLeft) / tileSize, (py - boardTop) / tileSize};
}

void drawBoard(SDL_Surface* screen, const Grid& board, int32_t k) {
    drawGameBackground(screen, picture(gamePicture), board);
    drawBoardFrame(screen, board.size);
    draw(screen, tile(k - 1), goalX, goalY);
    for (int32_t x = 0; x < board.size; ++x)
        for (int32_t y = 0; y < board.size; ++y)
            draw(screen, tile(board.cells[x][y]), boardLeft + tileSize * x,
                 boardTop + tileSize * y);
    show(screen);
}

void runGame(SDL_Surface* /*menuScreen*/, const GameConfig& config) {
    GameState state = Playing;
    const int32_t n = std::clamp(config.size, minBoardSize, maxBoardSize);
    const int32_t k = std::clamp(config.colorCount, minColorCount, maxColorCount);
    Grid board = newGrid(n);
    clickTrace = newGrid(n);
    if (config.randomStart == 1) fillRandom(board, k);
    moveCount = 0;

    // The game's window has its own size and double buffering: the video system starts anew.
    stopVideo();
    startVideo();
    SDL_Surface* screen =
        openWindow(gameWindowWidth, gameWindowHeight(n), SDL_HWSURFACE | SDL_DOUBLEBUF, true);
    loadMotif();
    drawBoard(screen, board, k);

    while (state == Playing) {
        SDL_Event event = waitEvent();
        if (event.type == SDL_MOUSEBUTTONUP) {
            if (auto cell = boardCell(event.button.x, event.button.y, n)) {
                board = playMove(board, cell->x, cell->y, currentMotif, k, config.torus != 0);
                clickTrace.cells[cell->x][cell->y] += 1;
                writeTrace(clickTrace);
                state = checkSolved(board, k);
                moveCount += 1;
            }
        } else if ((event.type == SDL_KEYDOWN && event.key.keysym.sym == SDLK_ESCAPE) ||
                   event.type == SDL_QUIT) {
            state = Aborted;
        }
        drawBoard(screen, board, k);
    }
    if (state == Won) showVictory();
}
