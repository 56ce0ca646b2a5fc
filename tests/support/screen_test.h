// What the screen tests share, with every screen's header: a private copy of the run directory on
// SDL's dummy video driver, events queued in SDL's own queue, and the window compared with the
// picture it must show.
#pragma once

#include <gtest/gtest.h>

#include <array>
#include <functional>

#include "board/trace.h"
#include "files.h"
#include "screens/config.h"
#include "screens/display.h"
#include "screens/game.h"
#include "screens/hooks.h"
#include "screens/menu.h"
#include "screens/motif_editor.h"
#include "screens/victory.h"

namespace fs = std::filesystem;
using Events = std::vector<SDL_Event>;

// A key press, with the modifiers held and the character it types.
inline SDL_Event key(SDLKey k, SDLMod mod = KMOD_NONE, Uint16 typed = 0) {
    return {.key = {SDL_KEYDOWN, 0, SDL_PRESSED, {0, k, mod, typed}}};
}
// The screens act on a button's release (by default the left one's); a press is of type
// SDL_MOUSEBUTTONDOWN.
inline SDL_Event release(int x, int y, Uint8 button = 1, Uint8 type = SDL_MOUSEBUTTONUP) {
    return {.button = {type, 0, button, SDL_RELEASED, Uint16(x), Uint16(y)}};
}
// Releases at the middle of the board's cell (x, y) and of the editor's tile of m[i].
inline SDL_Event onCell(int x, int y, Uint8 button = SDL_BUTTON_LEFT) {
    return release(boardLeft + tileSize * x + 17, boardTop + tileSize * y + 17, button);
}
inline SDL_Event onMotif(int i) {
    return release(motifLeft + tileSize * (i / 3) + 17, motifTop + tileSize * (i % 3) + 17);
}
inline SDL_Event quitRequest() { return SDL_Event{SDL_QUIT}; }

inline void queue(Events events) {
    for (SDL_Event& e : events) ASSERT_EQ(SDL_PushEvent(&e), 0) << SDL_GetError();
}
// Empties SDL's queue; returns how many events the screens left in it.
inline int drain() {
    return SDL_PeepEvents(std::array<SDL_Event, 256>().data(), 256, SDL_GETEVENT, SDL_ALLEVENTS);
}
// Run each time the video system starts, which empties SDL's queue (the game restarts it).
inline std::function<void()> atVideoStart;
// Queues one batch at each start, then quit requests, so that nothing waits forever.
inline std::function<void()> inTurn(std::vector<Events> batches) {
    return [batches, next = 0u]() mutable {
        queue(next < batches.size() ? batches[next++] : Events(3, quitRequest()));
    };
}

// Puts a picture read straight from its file, not through the game's own cache.
inline void put(const Surface& on, const char* path, int x, int y) {
    SDL_Rect at{Sint16(x), Sint16(y), 0, 0};
    SDL_BlitSurface(Surface{SDL_LoadBMP(path)}.get(), nullptr, on.get(), &at); // none if missing
}
// A picture to compose what a window must show: first a colour that no picture has, so that a
// pixel a screen forgets to paint shows, then the screen's background picture.
inline Surface canvas(const char* background, int w = windowWidth, int h = windowHeight) {
    Surface s{SDL_CreateRGBSurface(SDL_SWSURFACE, w, h, 32, 0xff0000, 0xff00, 0xff, 0)};
    SDL_FillRect(s.get(), nullptr, SDL_MapRGB(s->format, 1, 2, 3));
    put(s, background, 0, 0);
    return s;
}
inline void putTile(const Surface& on, int color, int x, int y) {
    if (color >= 0 && color < maxColorCount) put(on, tilePictures[color], x, y);
}
// Puts a text in the game's font (centred when x < 0); returns its height, 0 without a font.
inline int putText(const Surface& on, int pt, const std::string& text, SDL_Color c, int x, int y) {
    Surface t{font(pt) ? TTF_RenderText_Solid(font(pt), text.c_str(), c) : nullptr};
    if (!t) return 0;
    SDL_Rect at{Sint16(x < 0 ? (on->w - t->w) / 2 : x), Sint16(y), 0, 0};
    SDL_BlitSurface(t.get(), nullptr, on.get(), &at);
    return t->h;
}
// The game's window: its background, a frame round the board, the goal tile k - 1, each cell's
// tile (none for a cell without a colour), and under the board the moves, then the keys.
inline Surface gameScreen(const Grid& board, int32_t k, int moves, const char* keys) {
    Surface s = canvas(gamePicture, gameWindowWidth, gameWindowHeight(board.size));
    const int w = boardFrameWidth, side = tileSize * board.size + 2 * w;
    SDL_Rect frame{Sint16(boardLeft - w), Sint16(boardTop - w), Uint16(side), Uint16(side)};
    SDL_FillRect(s.get(), &frame, 0xa498f0); // the frame's colour, then the board's square inside
    SDL_Rect inside{Sint16(boardLeft), Sint16(boardTop), Uint16(side - 2 * w),
                    Uint16(side - 2 * w)};
    SDL_BlitSurface(Surface{SDL_LoadBMP(gamePicture)}.get(), &inside, s.get(), &inside);
    putTile(s, k - 1, goalX, goalY);
    for (int x = 0; x < board.size; ++x)
        for (int y = 0; y < board.size; ++y)
            putTile(s, board.cells[x][y], boardLeft + tileSize * x, boardTop + tileSize * y);
    const int y = statusTop(board.size);
    putText(s, statusFontPoints, "Coups : " + std::to_string(moves), white, boardLeft, y);
    putText(s, statusFontPoints, keys, white, statusKeysLeft, y);
    return s;
}
// The keys under a board that can be won.
inline constexpr const char* winnable =
    "H : indice    Retour arriere : annuler    Echap : menu    F1 : aide";

// Where the window first differs from the expected picture; "" when it shows exactly that.
inline std::string difference(const Surface& want) {
    SDL_Surface* window = SDL_GetVideoSurface();
    if (!window || window->w != want->w || window->h != want->h) return "window size";
    Surface shown{SDL_ConvertSurface(window, want->format, SDL_SWSURFACE)};
    const auto pixels = [](const Surface& s) { return static_cast<const Uint32*>(s->pixels); };
    for (int i = 0; i < want->w * want->h; ++i)
        if ((pixels(shown)[i] ^ pixels(want)[i]) & 0xffffff)
            return "pixel " + std::to_string(i % want->w) + ", " + std::to_string(i / want->w);
    return "";
}

class ScreenTest : public ::testing::Test {
  protected:
    void SetUp() override {
        fs::copy(fs::path(KELVO_RUN_DIR) / "rc", runDir.path / "rc", fs::copy_options::recursive);
        fs::current_path(runDir.path);
        // Every test starts as the program does, whatever the tests before it left behind.
        releaseAssets();
        configCursor = 0;
        currentMotif = {};
        atVideoStart = nullptr;
        whenIdle = nullptr;
        afterVideoStart = [] { atVideoStart ? atVideoStart() : void(); };
        setenv("SDL_VIDEODRIVER", "dummy", 1);
        ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO), 0) << SDL_GetError();
    }
    void TearDown() override { SDL_Quit(); }
    // The menu's window as the program opens it, filled with the canvas's colour.
    static SDL_Surface* menuWindow() {
        SDL_Surface* w = openWindow(windowWidth, windowHeight, SDL_HWSURFACE, true);
        SDL_FillRect(w, nullptr, SDL_MapRGB(w->format, 1, 2, 3));
        return w;
    }
    TempDir runDir;
};
