// What every screen shares: the video system and window modes, the pictures and the font
// under ./rc/, text rendering, and waiting for the next event.
#pragma once

#include <SDL.h>
#include <SDL_ttf.h>

#include <memory>
#include <string>

#include "screens/layout.h"

struct SurfaceFree {
    void operator()(SDL_Surface* s) const { SDL_FreeSurface(s); }
};
using Surface = std::unique_ptr<SDL_Surface, SurfaceFree>;

struct FontClose {
    void operator()(TTF_Font* f) const { TTF_CloseFont(f); }
};
using Font = std::unique_ptr<TTF_Font, FontClose>;

inline constexpr const char* windowCaption = "Le Jeu du Kelvo - Vorlane 2010";

inline constexpr SDL_Color white{255, 255, 255, 0};
inline constexpr SDL_Color highlight{130, 230, 130, 0};
inline constexpr SDL_Color black{0, 0, 0, 0};
// The frame round the game's board: the pale violet of the night-sky pictures.
inline constexpr SDL_Color boardFrameColor{164, 152, 240, 0};

// The hint's mark: a colour none of the pictures has.
inline constexpr SDL_Color hintColor{255, 0, 255, 0};

// The scale of every window on a desktop of that size, a multiple of 0.5 and at least 1: the
// largest at which the largest game window fits within desktopSharePercent of both sides.
double windowScale(int desktopWidth, int desktopHeight);
// sdl12-compat scales each window it makes by this variable and gives the mouse back in the
// game's own pixels; startVideo sets it from windowScale unless the player has set it.
inline constexpr const char* windowScalingVariable = "SDL12COMPAT_WINDOW_SCALING";

// Starts SDL's video system with init (SDL_Init but in tests); a display that refuses the
// connection is tried again for about a second. Sets the window scaling for the desktop, unless
// the player has. On failure prints "kelvo: cannot open the display: <SDL's message>" and ends
// the program with status 1.
void startVideo(int (*init)(Uint32) = SDL_Init);
// Shuts SDL down completely; the cached pictures stay valid.
void stopVideo();
// Opens a window mode and returns its surface (owned by SDL). The first window after
// startVideo also gets the icon and the caption; setCaption sets the caption again. On failure
// prints "kelvo: <SDL's message>" and ends the program with status 1.
SDL_Surface* openWindow(int width, int height, Uint32 flags, bool setCaption);
// Prints "kelvo: <what>: <SDL's message>", releases everything and exits with status 1.
[[noreturn]] void videoFailure(const char* what);

// The picture at path, read once and kept until releaseAssets; nullptr when it cannot be read.
SDL_Surface* picture(const std::string& path);
// The tile "./rc/%d.bmp" of a colour index; nullptr outside 0 ... 4 or when missing.
SDL_Surface* tile(int color);
// Paints a whole picture with its top-left corner at (x, y); a null picture paints nothing.
void paint(SDL_Surface* screen, SDL_Surface* picture, int x, int y);
// Paints the picture read from path with its top-left corner at (x, y), without keeping it: for
// a picture shown once, whose conversion and copy would cost memory and start-up time.
void paintFromFile(SDL_Surface* screen, const std::string& path, int x, int y);

// The game's font at a size, opened once per run; nullptr when it cannot be opened.
TTF_Font* font(int points);
// The text rendered in a colour, kept for later paintings until the video system starts again;
// nullptr without a font.
SDL_Surface* textPicture(int points, const std::string& text, SDL_Color color);
// Height of the rendered text in white (0 without a font): it places the next line.
int textHeight(int points, const std::string& text);
// Paints the text at (x, y) and returns the height of the rendered line (0 when none).
int paintText(SDL_Surface* screen, int points, const std::string& text, SDL_Color color, int x,
              int y);

// Puts what was painted on the screen: the one call that does. A paint… function only paints
// into the window's surface; a screen's draw… (drawMenu, drawConfig, drawBoard, drawMotif)
// paints the whole screen, then shows it.
void show(SDL_Surface* screen);

// Blocks for the next event. A failure of the event system reads as a quit request, so no
// screen can spin on it.
SDL_Event waitEvent();

// Frees every cached picture, text and font and closes the font system (end of run, tests).
void releaseAssets();
