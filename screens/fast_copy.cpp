// Row copies for opaque pictures and a game background drawn only around the board: the game's
// repaint within the benchmark's goals (fast_copy.h says which and why).
#include "screens/fast_copy.h"

#include <algorithm>
#include <cstddef>
#include <cstring>

#include "screens/display.h"

namespace {

bool isOpaque(SDL_Surface* pic) {
    return pic && (pic->flags & (SDL_SRCCOLORKEY | SDL_SRCALPHA)) == 0 && pic->format->Amask == 0;
}

bool sameLayout(const SDL_PixelFormat* a, const SDL_PixelFormat* b) {
    return a->BytesPerPixel == 4 && b->BytesPerPixel == 4 && a->Rmask == b->Rmask &&
           a->Gmask == b->Gmask && a->Bmask == b->Bmask && a->Amask == b->Amask;
}

// The part of a picture drawn at (0, 0) that falls in area, drawn where the whole would put it.
void drawArea(SDL_Surface* screen, SDL_Surface* pic, SDL_Rect area) {
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

bool copyRows(SDL_Surface* screen, SDL_Surface* pic, SDL_Rect from, int x, int y) {
    const SDL_Rect& clip = screen->clip_rect;
    if (!isOpaque(pic) || !sameLayout(pic->format, screen->format) || from.x < 0 || from.y < 0 ||
        from.x + from.w > pic->w || from.y + from.h > pic->h || x < clip.x || y < clip.y ||
        x + from.w > clip.x + clip.w || y + from.h > clip.y + clip.h)
        return false;
    const SurfaceLock screenPixels(screen);
    const SurfaceLock picturePixels(pic);
    if (!screenPixels || !picturePixels) return false;
    const Uint8* source = static_cast<const Uint8*>(pic->pixels) +
                          std::ptrdiff_t(from.y) * pic->pitch + std::ptrdiff_t(from.x) * 4;
    Uint8* target = static_cast<Uint8*>(screen->pixels) + std::ptrdiff_t(y) * screen->pitch +
                    std::ptrdiff_t(x) * 4;
    for (int row = 0; row < from.h; ++row)
        std::memcpy(target + std::ptrdiff_t(row) * screen->pitch,
                    source + std::ptrdiff_t(row) * pic->pitch, std::size_t(from.w) * 4);
    return true;
}

void drawGameBackground(SDL_Surface* screen, SDL_Surface* background, const Grid& board) {
    if (!screen || !background) return;
    if (!tilesCoverBoard(board)) {
        draw(screen, background, 0, 0);
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
    drawArea(screen, background, area(0, 0, width, boardTop));
    drawArea(screen, background, area(0, boardTop, boardLeft, side));
    drawArea(screen, background, area(right, boardTop, width - right, side));
    drawArea(screen, background, area(0, bottom, width, height - bottom));
}
