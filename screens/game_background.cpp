// The game's background drawn only around the board when the tiles hide the rest: the game's
// repaint within the benchmark's goals (game_background.h says which and why).
#include "screens/game_background.h"

#include <algorithm>

#include "screens/display.h"
#include "screens/row_copy.h"

namespace {

// The part of a picture drawn at (0, 0) that falls in area, drawn where the whole would put it.
void paintArea(SDL_Surface* screen, SDL_Surface* pic, SDL_Rect area) {
    const int right = std::min(area.x + area.w, pic->w);
    const int bottom = std::min(area.y + area.h, pic->h);
    SDL_Rect part{area.x, area.y, Uint16(std::max(right - area.x, 0)),
                  Uint16(std::max(bottom - area.y, 0))};
    if (part.w == 0 || part.h == 0 || copyRows(screen, pic, part, part.x, part.y)) return;
    SDL_Rect at{part.x, part.y, 0, 0};
    SDL_BlitSurface(pic, &part, screen, &at);
}

// Whether the cells' tiles hide the whole board: each one there, opaque and at least a cell wide.
bool tilesCoverBoard(const Grid& board) {
    for (int32_t x = 0; x < board.size; ++x)
        for (int32_t y = 0; y < board.size; ++y) {
            SDL_Surface* t = tile(board.cells[x][y]);
            if (!isOpaque(t) || t->w < tileSize || t->h < tileSize) return false;
        }
    return true;
}

} // namespace

void paintGameBackground(SDL_Surface* screen, SDL_Surface* background, const Grid& board) {
    if (!screen || !background) return;
    if (!tilesCoverBoard(board)) {
        paint(screen, background, 0, 0);
        return;
    }
    // The bands above, left of, right of and below the board.
    const int side = tileSize * board.size;
    const int right = boardLeft + side;
    const int bottom = boardTop + side;
    const int width = screen->w;
    const int height = std::max(screen->h, bottom);
    auto area = [](int x, int y, int w, int h) {
        return SDL_Rect{Sint16(x), Sint16(y), Uint16(std::max(w, 0)), Uint16(std::max(h, 0))};
    };
    paintArea(screen, background, area(0, 0, width, boardTop));
    paintArea(screen, background, area(0, boardTop, boardLeft, side));
    paintArea(screen, background, area(right, boardTop, width - right, side));
    paintArea(screen, background, area(0, bottom, width, height - bottom));
}
