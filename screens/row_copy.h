// Copying pictures row by row with memcpy, the lowest piece of the drawing layer, for the game's
// repaint goals of `make bench` (README's Speed section); and the lock that makes pixels usable.
#pragma once

#include <SDL.h>

// Makes a surface's pixels readable and writable while it lives, for surfaces that need it.
class SurfaceLock {
  public:
    explicit SurfaceLock(SDL_Surface* s)
        : surface(SDL_MUSTLOCK(s) && SDL_LockSurface(s) == 0 ? s : nullptr),
          usable(surface || !SDL_MUSTLOCK(s)) {}
    ~SurfaceLock() {
        if (surface) SDL_UnlockSurface(surface);
    }
    SurfaceLock(const SurfaceLock&) = delete;
    SurfaceLock& operator=(const SurfaceLock&) = delete;
    // False when the surface could not be locked: its pixels must not be touched.
    explicit operator bool() const { return usable; }

  private:
    SDL_Surface* surface; // set when locked here, so unlocked here
    bool usable;
};

// Whether a picture hides what it is drawn over: no colour key, no alpha.
bool isOpaque(SDL_Surface* picture);

// Copies the part `from` of an opaque picture in the window's own pixel layout to (x, y), row by
// row with memcpy. Draws nothing and returns false when the picture has another layout or any
// transparency, or when the copy would leave the picture or the window's clipping rectangle.
bool copyRows(SDL_Surface* screen, SDL_Surface* picture, SDL_Rect from, int x, int y);
