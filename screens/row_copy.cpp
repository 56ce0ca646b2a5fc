// Row copies for opaque pictures in the window's own layout: cheaper than SDL's blit for the
// game's tiles and background (row_copy.h).
#include "screens/row_copy.h"

#include <cstddef>
#include <cstring>

namespace {

bool sameLayout(const SDL_PixelFormat* a, const SDL_PixelFormat* b) {
    return a->BytesPerPixel == 4 && b->BytesPerPixel == 4 && a->Rmask == b->Rmask &&
           a->Gmask == b->Gmask && a->Bmask == b->Bmask && a->Amask == b->Amask;
}

} // namespace

bool isOpaque(SDL_Surface* pic) {
    return pic && (pic->flags & (SDL_SRCCOLORKEY | SDL_SRCALPHA)) == 0 && pic->format->Amask == 0;
}

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
