// The drawing layer: pictures are read once per run, texts rendered once while the video system
// runs, the font opened once per run, and all kept, so a repaint only copies pixels.
#include "screens/display.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <tuple>

#include "platform/platform.h"
#include "screens/hooks.h"
#include "screens/row_copy.h"

void (*afterVideoStart)() = nullptr;
void (*whenIdle)() = nullptr;

namespace {

// Cached renderings are dropped wholesale past this count, which bounds a long session's memory
// (the victory message and the settings lines change from visit to visit).
constexpr std::size_t maxCachedTexts = 256;

struct Assets {
    std::map<std::string, Surface> pictures;
    // The tiles by colour, looked up once: a board repaint draws hundreds of them.
    std::array<SDL_Surface*, maxColorCount> tiles{};
    std::array<bool, maxColorCount> tilesLooked{};
    std::map<int, Font> fonts;
    std::map<std::tuple<int, Uint32, std::string>, Surface> texts;
    bool windowOpenedSinceStart = false;
    bool fontSystemStarted = false;

    void release() {
        tilesLooked = {};
        pictures.clear();
        texts.clear();
        fonts.clear();
        if (fontSystemStarted) TTF_Quit();
        fontSystemStarted = false;
    }
    ~Assets() { release(); }
};

Assets& assets() {
    static Assets a;
    return a;
}

Uint32 colorKey(SDL_Color c) { return Uint32(c.r) << 16 | Uint32(c.g) << 8 | c.b; }

bool isSet(const char* variable) {
    const char* value = std::getenv(variable);
    return value && *value;
}

// Without a display SDL falls back to drawing off screen, where the player would see nothing
// and could not even quit; unless the player chose such a driver by name, that means no display.
bool fellBackOffScreen() {
    if (isSet("SDL_VIDEODRIVER")) return false;
    char name[32] = "";
    SDL_VideoDriverName(name, sizeof name);
    return std::strcmp(name, "offscreen") == 0 || std::strcmp(name, "dummy") == 0;
}

// An X server whose queue of new connections is full refuses one for a moment: the video system
// is tried again every 20 ms for about a second before the display counts as missing. Without
// an X display there is nothing to wait for.
constexpr int videoAttempts = 50;
constexpr Uint32 videoRetryMs = 20;

bool initVideo(int (*init)(Uint32)) {
    for (int attempt = 1;; ++attempt) {
        if (init(SDL_INIT_VIDEO) == 0) return true;
        if (attempt == videoAttempts || !isSet("DISPLAY")) return false;
        // After a failed start, SDL 1.2's layer over SDL 2 would report the next SDL_Init as a
        // success without starting the video; quitting the video subsystem clears that.
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        SDL_Delay(videoRetryMs);
    }
}

// Read by sdl12-compat whenever it makes a window, so setting it before the first one is enough.
void setWindowScaling() {
    if (isSet(windowScalingVariable)) return;
    const SDL_VideoInfo* desktop = SDL_GetVideoInfo();
    if (!desktop) return;
    char scale[16];
    std::snprintf(scale, sizeof scale, "%g", windowScale(desktop->current_w, desktop->current_h));
    setenv(windowScalingVariable, scale, 1);
}

} // namespace

double windowScale(int desktopWidth, int desktopHeight) {
    // Counted in halves, in integers, so that a window that just fits is not lost to rounding.
    const auto halves = [](int64_t desktop, int64_t window) {
        return desktop * desktopSharePercent * 2 / (window * 100);
    };
    const int64_t fitting =
        std::min(halves(desktopWidth, gameWindowWidth), halves(desktopHeight, maxGameWindowHeight));
    return double(std::max<int64_t>(fitting, 2)) / 2;
}

[[noreturn]] void videoFailure(const char* what) {
    std::fprintf(stderr, "kelvo: %s: %s\n", what, SDL_GetError());
    releaseAssets();
    SDL_Quit();
    std::exit(1);
}

void startVideo(int (*init)(Uint32)) {
    // Under X11 the game's window is an X11 one; naming the driver keeps SDL from probing the
    // others, whose failures print to the terminal. Elsewhere SDL chooses.
    if (!isSet("SDL_VIDEODRIVER") && isSet("DISPLAY") && !isSet("WAYLAND_DISPLAY"))
        setenv("SDL_VIDEODRIVER", "x11", 1);
    // SDL would turn SIGINT and SIGTERM into a close request, which the start picture and the
    // game read as "back to the menu". They end the program instead; every file is replaced
    // whole, so nothing is lost.
    setenv("SDL_NO_SIGNAL_HANDLERS", "1", 1);
    static bool started = false;
    if (!started || restartsVideo()) {
        if (!initVideo(init)) videoFailure("cannot open the display");
        started = true;
    }
    if (fellBackOffScreen()) {
        // Asking for X11 by name gets SDL's own account of why there is no display.
        SDL_Quit();
        setenv("SDL_VIDEODRIVER", "x11", 1);
        if (!initVideo(init)) videoFailure("cannot open the display");
    }
    setWindowScaling();
    assets().windowOpenedSinceStart = false;
    // Only the game restarts the video system once the program runs: the other screens' rendered
    // texts need not stay in memory beside its larger window.
    assets().texts.clear();
    if (afterVideoStart) afterVideoStart();
}

void stopVideo() { SDL_Quit(); }

SDL_Surface* openWindow(int width, int height, Uint32 flags, bool setCaption) {
    bool first = !assets().windowOpenedSinceStart;
    if (first) setWindowIcon(picture(iconPicture));
    SDL_Surface* screen = SDL_SetVideoMode(width, height, 32, flags);
    if (!screen) videoFailure("cannot open the window");
    assets().windowOpenedSinceStart = true;
    if (first || setCaption) SDL_WM_SetCaption(windowCaption, nullptr);
    return screen;
}

SDL_Surface* picture(const std::string& path) {
    auto& pictures = assets().pictures;
    auto found = pictures.find(path);
    if (found != pictures.end()) return found->second.get();
    Surface loaded{SDL_LoadBMP(pictureFile(path).c_str())};
    // Kept in the window's 32-bit layout so that drawing needs no conversion.
    if (loaded && loaded->format->BitsPerPixel != 32) {
        Surface converted{SDL_CreateRGBSurface(SDL_SWSURFACE, loaded->w, loaded->h, 32, 0xff0000,
                                               0x00ff00, 0x0000ff, 0)};
        if (converted && SDL_BlitSurface(loaded.get(), nullptr, converted.get(), nullptr) == 0)
            loaded = std::move(converted);
    }
    return pictures.emplace(path, std::move(loaded)).first->second.get();
}

SDL_Surface* tile(int color) {
    if (color < 0 || color >= maxColorCount) return nullptr;
    Assets& a = assets();
    if (!a.tilesLooked[color]) {
        a.tiles[color] = picture(tilePictures[color]);
        a.tilesLooked[color] = true;
    }
    return a.tiles[color];
}

void paint(SDL_Surface* screen, SDL_Surface* pic, int x, int y) {
    if (!screen || !pic) return;
    if (copyRows(screen, pic, SDL_Rect{0, 0, Uint16(pic->w), Uint16(pic->h)}, x, y)) return;
    SDL_Rect at{Sint16(x), Sint16(y), 0, 0};
    SDL_BlitSurface(pic, nullptr, screen, &at);
}

void paintFromFile(SDL_Surface* screen, const std::string& path, int x, int y) {
    if (!screen) return;
    const Surface loaded{SDL_LoadBMP(pictureFile(path).c_str())};
    paint(screen, loaded.get(), x, y);
}

TTF_Font* font(int points) {
    auto& fonts = assets().fonts;
    auto found = fonts.find(points);
    if (found != fonts.end()) return found->second.get();
    Font opened;
    Assets& a = assets();
    if (!a.fontSystemStarted) a.fontSystemStarted = TTF_Init() == 0;
    if (a.fontSystemStarted) opened.reset(TTF_OpenFont(fontPath, points));
    return fonts.emplace(points, std::move(opened)).first->second.get();
}

SDL_Surface* textPicture(int points, const std::string& text, SDL_Color color) {
    auto& texts = assets().texts;
    auto key = std::make_tuple(points, colorKey(color), text);
    auto found = texts.find(key);
    if (found != texts.end()) return found->second.get();
    TTF_Font* f = font(points);
    if (!f) return nullptr;
    if (texts.size() >= maxCachedTexts) texts.clear();
    Surface rendered{TTF_RenderText_Solid(f, text.c_str(), color)};
    return texts.emplace(std::move(key), std::move(rendered)).first->second.get();
}

int textHeight(int points, const std::string& text) {
    SDL_Surface* rendered = textPicture(points, text, white);
    return rendered ? rendered->h : 0;
}

int paintText(SDL_Surface* screen, int points, const std::string& text, SDL_Color color, int x,
              int y) {
    SDL_Surface* rendered = textPicture(points, text, color);
    paint(screen, rendered, x, y);
    return rendered ? rendered->h : 0;
}

void show(SDL_Surface* screen) {
    if (!screen) return;
    SDL_Flip(screen);
    framePainted();
}

SDL_Event waitEvent() {
    SDL_Event event{};
    if (whenIdle) {
        if (SDL_PollEvent(&event) == 1) return event;
        whenIdle();
    }
    if (!nextEvent(event)) {
        event = SDL_Event{};
        event.type = SDL_QUIT;
    }
    return event;
}

void releaseAssets() { assets().release(); }
