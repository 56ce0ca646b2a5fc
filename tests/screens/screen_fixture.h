// Shared set-up of the screen tests: a private copy of the run directory as working directory,
// SDL's dummy video driver, and helpers to queue events and read the window back.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "board/motif.h"
#include "screens/config.h"
#include "screens/display.h"

// How long a long-running test runs: the environment variable when set, else its count for
// this build (the sanitizers make every event several times dearer).
inline long runLength(const char* variable, long sanitized, long plain) {
    if (const char* wanted = std::getenv(variable)) return std::atol(wanted);
#if defined(__SANITIZE_ADDRESS__)
    (void)plain;
    return sanitized;
#else
    (void)sanitized;
    return plain;
#endif
}

class ScreenTest : public ::testing::Test {
  protected:
    void SetUp() override {
        namespace fs = std::filesystem;
        char dirTemplate[] = "/tmp/kelvo-screen-XXXXXX";
        ASSERT_NE(mkdtemp(dirTemplate), nullptr);
        runDir = dirTemplate;
        fs::copy(fs::path(KELVO_RUN_DIR) / "rc", runDir / "rc", fs::copy_options::recursive);
        oldDir = fs::current_path();
        fs::current_path(runDir);
        releaseAssets();
        // Every test starts as the program does, whatever the tests before it left behind.
        configCursor = 0;
        currentMotif = Motif{};
        setenv("SDL_VIDEODRIVER", "dummy", 1);
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO), 0) << SDL_GetError();
    }

    void TearDown() override {
        releaseAssets();
        SDL_Quit();
        std::filesystem::current_path(oldDir);
        std::filesystem::remove_all(runDir);
    }

    // Opens the menu's window as the program does.
    SDL_Surface* openMenuWindow() {
        return openWindow(windowWidth, windowHeight, SDL_HWSURFACE, true);
    }

  public:
    // Queue events in SDL's own queue; the scripted sessions use them too.
    static void push(SDL_Event event) { ASSERT_EQ(SDL_PushEvent(&event), 0) << SDL_GetError(); }
    static SDL_Event keyDown(SDLKey key) {
        SDL_Event e{};
        e.type = SDL_KEYDOWN;
        e.key.state = SDL_PRESSED;
        e.key.keysym.sym = key;
        return e;
    }
    static void pushKey(SDLKey key) { push(keyDown(key)); }
    static void pushQuit() {
        SDL_Event e{};
        e.type = SDL_QUIT;
        push(e);
    }
    static SDL_Event button(Uint8 type, Uint8 which, int x, int y) {
        SDL_Event e{};
        e.type = type;
        e.button.type = type;
        e.button.button = which;
        e.button.state = type == SDL_MOUSEBUTTONDOWN ? SDL_PRESSED : SDL_RELEASED;
        e.button.x = Uint16(x);
        e.button.y = Uint16(y);
        return e;
    }
    static void pushButton(Uint8 type, Uint8 which, int x, int y) {
        push(button(type, which, x, y));
    }
    static void pushClick(int x, int y, Uint8 button = SDL_BUTTON_LEFT) {
        pushButton(SDL_MOUSEBUTTONDOWN, button, x, y);
        pushButton(SDL_MOUSEBUTTONUP, button, x, y);
    }

  protected:
    // The colour of a pixel as 0xRRGGBB, read from any 32-bit surface.
    static Uint32 pixel(SDL_Surface* s, int x, int y) {
        SDL_LockSurface(s);
        Uint32 raw =
            *reinterpret_cast<Uint32*>(static_cast<Uint8*>(s->pixels) + y * s->pitch + x * 4);
        SDL_UnlockSurface(s);
        Uint8 r, g, b;
        SDL_GetRGB(raw, s->format, &r, &g, &b);
        return Uint32(r) << 16 | Uint32(g) << 8 | b;
    }

    // Whether the window shows the whole picture with its top-left corner at (x, y).
    static bool shows(SDL_Surface* window, SDL_Surface* pic, int x, int y) {
        if (!window || !pic) return false;
        for (int py = 0; py < pic->h; ++py)
            for (int px = 0; px < pic->w; ++px)
                if (pixel(window, x + px, y + py) != pixel(pic, px, py)) return false;
        return true;
    }

    std::filesystem::path runDir;
    std::filesystem::path oldDir;
};
