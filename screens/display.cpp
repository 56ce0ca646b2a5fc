// The drawing layer: pictures are read once per run, texts rendered once while the video system
// runs, the font opened once per run, and all kept, so a repaint only copies pixels.
#include "screens/display.h"

#include <zlib.h>

#include <algorithm>
#include <array>
#include <climits>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <optional>
#include <tuple>
#include <vector>

void (*afterVideoStart)() = nullptr;

namespace {

// Cached renderings are dropped wholesale past this count, which bounds a long session's memory
// (the victory message and the settings lines change from visit to visit).
constexpr std::size_t maxCachedTexts = 256;

// Large pictures are packed while their screen is off display: deflated, they take a few
// percent of their size, which leaves room for the game's larger window.
constexpr std::size_t packedFrom = 64 * 1024;

// The pixels of an opaque 32-bit picture, deflated.
struct Packed {
    int w = 0;
    int h = 0;
    Uint32 masks[3] = {};
    std::vector<Bytef> bytes;
};

struct Picture {
    Surface surface;
    // Made the first time the picture goes off display, then kept: packing it again costs nothing.
    std::optional<Packed> packed;
};

std::optional<Packed> pack(SDL_Surface* s) {
    if (s->format->BytesPerPixel != 4 || !isOpaque(s) || s->pitch != s->w * 4) return std::nullopt;
    const std::size_t size = std::size_t(s->pitch) * std::size_t(s->h);
    if (size < packedFrom || size > UINT_MAX) return std::nullopt;
    // A small window and hash table: the pictures are smooth, and packing them must not itself
    // take memory the game would miss.
    z_stream z{};
    if (deflateInit2(&z, Z_BEST_SPEED, Z_DEFLATED, 12, 5, Z_DEFAULT_STRATEGY) != Z_OK)
        return std::nullopt;
    if (SDL_MUSTLOCK(s) && SDL_LockSurface(s) < 0) {
        deflateEnd(&z);
        return std::nullopt;
    }
    Packed p{s->w, s->h, {s->format->Rmask, s->format->Gmask, s->format->Bmask}, {}};
    z.next_in = static_cast<Bytef*>(s->pixels);
    z.avail_in = uInt(size);
    int status = Z_OK;
    while (status == Z_OK) {
        Bytef chunk[16 * 1024];
        z.next_out = chunk;
        z.avail_out = sizeof chunk;
        status = deflate(&z, Z_FINISH);
        p.bytes.insert(p.bytes.end(), chunk, chunk + (sizeof chunk - z.avail_out));
    }
    deflateEnd(&z);
    if (SDL_MUSTLOCK(s)) SDL_UnlockSurface(s);
    if (status != Z_STREAM_END) return std::nullopt;
    p.bytes.shrink_to_fit();
    return p;
}

Surface unpack(const Packed& p) {
    Surface s{
        SDL_CreateRGBSurface(SDL_SWSURFACE, p.w, p.h, 32, p.masks[0], p.masks[1], p.masks[2], 0)};
    if (!s || s->pitch != p.w * 4 || (SDL_MUSTLOCK(s.get()) && SDL_LockSurface(s.get()) < 0))
        return nullptr;
    uLongf size = uLongf(s->pitch) * uLongf(s->h);
    const int status =
        uncompress(static_cast<Bytef*>(s->pixels), &size, p.bytes.data(), p.bytes.size());
    if (SDL_MUSTLOCK(s.get())) SDL_UnlockSurface(s.get());
    return status == Z_OK && size == uLongf(s->pitch) * uLongf(s->h) ? std::move(s) : nullptr;
}

struct Assets {
    std::map<std::string, Picture> pictures;
    // The tiles by colour, looked up once: a board repaint draws hundreds of them.
    std::array<SDL_Surface*, tileColours> tiles{};
    std::array<bool, tileColours> tilesLooked{};
    std::map<int, Font> fonts;
    std::map<std::tuple<int, Uint32, std::string>, Surface> texts;
    bool windowOpenedSinceStart = false;

    // Packs every large picture: the screen about to open draws only its own.
    void packPictures() {
        tilesLooked = {};
        for (auto& [path, pic] : pictures) {
            if (!pic.surface) continue;
            if (!pic.packed) pic.packed = pack(pic.surface.get());
            if (pic.packed) pic.surface.reset();
        }
    }

    void release() {
        tilesLooked = {};
        pictures.clear();
        texts.clear();
        fonts.clear();
        if (TTF_WasInit()) TTF_Quit();
    }
    ~Assets() { release(); }
};

Assets& assets() {
    static Assets a;
    return a;
}

Uint32 colourKey(SDL_Color c) { return Uint32(c.r) << 16 | Uint32(c.g) << 8 | c.b; }

// Window icon, with magenta as the transparent colour.
void setIcon() {
    SDL_Surface* icon = picture(iconPicture);
    if (!icon) return;
    SDL_SetColorKey(icon, SDL_SRCCOLORKEY, SDL_MapRGB(icon->format, 255, 0, 255));
    SDL_WM_SetIcon(icon, nullptr);
}

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

} // namespace

[[noreturn]] void videoFailure(const char* what) {
    std::fprintf(stderr, "kelvo: %s: %s\n", what, SDL_GetError());
    releaseAssets();
    SDL_Quit();
    std::exit(1);
}

void startVideo() {
    // Outside Wayland the game's window is an X11 one; naming the driver keeps SDL from probing
    // the others, whose failures print to the terminal.
    if (!isSet("SDL_VIDEODRIVER") && !isSet("WAYLAND_DISPLAY")) setenv("SDL_VIDEODRIVER", "x11", 1);
    if (SDL_Init(SDL_INIT_VIDEO) < 0) videoFailure("cannot open the display");
    if (fellBackOffScreen()) {
        // Asking for X11 by name gets SDL's own account of why there is no display.
        SDL_Quit();
        setenv("SDL_VIDEODRIVER", "x11", 1);
        if (SDL_Init(SDL_INIT_VIDEO) < 0) videoFailure("cannot open the display");
    }
    assets().windowOpenedSinceStart = false;
    // Only the game restarts the video system once the program runs: the other screens' rendered
    // texts and unpacked pictures need not stay in memory beside its larger window.
    assets().texts.clear();
    assets().packPictures();
    if (afterVideoStart) afterVideoStart();
}

void stopVideo() { SDL_Quit(); }

SDL_Surface* openWindow(int width, int height, Uint32 flags, bool setCaption) {
    bool first = !assets().windowOpenedSinceStart;
    if (first) setIcon();
    SDL_Surface* screen = SDL_SetVideoMode(width, height, 32, flags);
    if (!screen) videoFailure("cannot open the window");
    assets().windowOpenedSinceStart = true;
    if (first || setCaption) SDL_WM_SetCaption(windowCaption, nullptr);
    return screen;
}

SDL_Surface* picture(const std::string& path) {
    auto& pictures = assets().pictures;
    auto found = pictures.find(path);
    if (found != pictures.end()) {
        Picture& pic = found->second;
        if (!pic.surface && pic.packed) pic.surface = unpack(*pic.packed);
        return pic.surface.get();
    }
    Surface loaded{SDL_LoadBMP(path.c_str())};
    // Kept in the window's 32-bit layout so that drawing needs no conversion.
    if (loaded && loaded->format->BitsPerPixel != 32) {
        Surface converted{SDL_CreateRGBSurface(SDL_SWSURFACE, loaded->w, loaded->h, 32, 0xff0000,
                                               0x00ff00, 0x0000ff, 0)};
        if (converted && SDL_BlitSurface(loaded.get(), nullptr, converted.get(), nullptr) == 0)
            loaded = std::move(converted);
    }
    return pictures.emplace(path, Picture{std::move(loaded), std::nullopt})
        .first->second.surface.get();
}

SDL_Surface* tile(int colour) {
    if (colour < 0 || colour >= tileColours) return nullptr;
    Assets& a = assets();
    if (!a.tilesLooked[colour]) {
        a.tiles[colour] = picture(tilePictures[colour]);
        a.tilesLooked[colour] = true;
    }
    return a.tiles[colour];
}

bool isOpaque(SDL_Surface* pic) {
    return pic && (pic->flags & (SDL_SRCCOLORKEY | SDL_SRCALPHA)) == 0 && pic->format->Amask == 0;
}

namespace {

bool sameLayout(const SDL_PixelFormat* a, const SDL_PixelFormat* b) {
    return a->BytesPerPixel == 4 && b->BytesPerPixel == 4 && a->Rmask == b->Rmask &&
           a->Gmask == b->Gmask && a->Bmask == b->Bmask && a->Amask == b->Amask;
}

// An opaque picture in the window's own layout, its part that falls wholly inside the window's
// clipping rectangle, is a plain copy of rows. Done here with the C library's copy it costs a
// fraction of SDL's blit, whose streaming stores make short rows slow.
bool copyRows(SDL_Surface* screen, SDL_Surface* pic, SDL_Rect from, int x, int y) {
    const SDL_Rect& clip = screen->clip_rect;
    if (!isOpaque(pic) || !sameLayout(pic->format, screen->format) || from.x < 0 || from.y < 0 ||
        from.x + from.w > pic->w || from.y + from.h > pic->h || x < clip.x || y < clip.y ||
        x + from.w > clip.x + clip.w || y + from.h > clip.y + clip.h)
        return false;
    if (SDL_MUSTLOCK(screen) && SDL_LockSurface(screen) < 0) return false;
    if (SDL_MUSTLOCK(pic) && SDL_LockSurface(pic) < 0) {
        if (SDL_MUSTLOCK(screen)) SDL_UnlockSurface(screen);
        return false;
    }
    const Uint8* source = static_cast<const Uint8*>(pic->pixels) +
                          std::ptrdiff_t(from.y) * pic->pitch + std::ptrdiff_t(from.x) * 4;
    Uint8* target = static_cast<Uint8*>(screen->pixels) + std::ptrdiff_t(y) * screen->pitch +
                    std::ptrdiff_t(x) * 4;
    for (int row = 0; row < from.h; ++row)
        std::memcpy(target + std::ptrdiff_t(row) * screen->pitch,
                    source + std::ptrdiff_t(row) * pic->pitch, std::size_t(from.w) * 4);
    if (SDL_MUSTLOCK(pic)) SDL_UnlockSurface(pic);
    if (SDL_MUSTLOCK(screen)) SDL_UnlockSurface(screen);
    return true;
}

} // namespace

void draw(SDL_Surface* screen, SDL_Surface* pic, int x, int y) {
    if (!screen || !pic) return;
    if (copyRows(screen, pic, SDL_Rect{0, 0, Uint16(pic->w), Uint16(pic->h)}, x, y)) return;
    SDL_Rect at{Sint16(x), Sint16(y), 0, 0};
    SDL_BlitSurface(pic, nullptr, screen, &at);
}

void drawOnce(SDL_Surface* screen, const std::string& path, int x, int y) {
    if (!screen) return;
    const Surface loaded{SDL_LoadBMP(path.c_str())};
    draw(screen, loaded.get(), x, y);
}

void drawArea(SDL_Surface* screen, SDL_Surface* pic, SDL_Rect area) {
    if (!screen || !pic || area.w == 0 || area.h == 0) return;
    // Only the part of the area that the picture covers is drawn, as drawing it whole would.
    const int right = std::min(area.x + area.w, pic->w);
    const int bottom = std::min(area.y + area.h, pic->h);
    const SDL_Rect part{area.x, area.y, Uint16(std::max(right - area.x, 0)),
                        Uint16(std::max(bottom - area.y, 0))};
    if (part.w == 0 || part.h == 0 || copyRows(screen, pic, part, part.x, part.y)) return;
    SDL_Rect from = part;
    SDL_Rect at{part.x, part.y, 0, 0};
    SDL_BlitSurface(pic, &from, screen, &at);
}

TTF_Font* font(int points) {
    auto& fonts = assets().fonts;
    auto found = fonts.find(points);
    if (found != fonts.end()) return found->second.get();
    Font opened;
    if (TTF_WasInit() || TTF_Init() == 0) opened.reset(TTF_OpenFont(fontPath, points));
    return fonts.emplace(points, std::move(opened)).first->second.get();
}

SDL_Surface* textPicture(int points, const std::string& text, SDL_Color colour) {
    auto& texts = assets().texts;
    auto key = std::make_tuple(points, colourKey(colour), text);
    auto found = texts.find(key);
    if (found != texts.end()) return found->second.get();
    TTF_Font* f = font(points);
    if (!f) return nullptr;
    if (texts.size() >= maxCachedTexts) texts.clear();
    Surface rendered{TTF_RenderText_Solid(f, text.c_str(), colour)};
    return texts.emplace(std::move(key), std::move(rendered)).first->second.get();
}

int textHeight(int points, const std::string& text) {
    SDL_Surface* rendered = textPicture(points, text, white);
    return rendered ? rendered->h : 0;
}

int drawText(SDL_Surface* screen, int points, const std::string& text, SDL_Color colour, int x,
             int y) {
    SDL_Surface* rendered = textPicture(points, text, colour);
    draw(screen, rendered, x, y);
    return rendered ? rendered->h : 0;
}

void show(SDL_Surface* screen) {
    if (screen) SDL_Flip(screen);
}

SDL_Event waitEvent() {
    SDL_Event event{};
    // SDL 1.2 reports a failure as 0, its SDL 2 based implementation as -1.
    if (SDL_WaitEvent(&event) != 1) {
        event = SDL_Event{};
        event.type = SDL_QUIT;
    }
    return event;
}

void releaseAssets() { assets().release(); }
