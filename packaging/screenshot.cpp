// Takes the game's screenshot for the software centres: the real game screen, drawn off screen
// on SDL's dummy driver, saved as PNG. Runs in a run directory (it reads ./rc/).
//   kelvo-screenshot out.png [board-side]
#include <cairo.h>

#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>
#include <string_view>

#include "board/game_config.h"
#include "board/grid.h"
#include "board/motif.h"
#include "screens/display.h"
#include "screens/game.h"
#include "screens/row_copy.h"

namespace {

struct CairoSurfaceFree {
    void operator()(cairo_surface_t* s) const { cairo_surface_destroy(s); }
};
using CairoSurface = std::unique_ptr<cairo_surface_t, CairoSurfaceFree>;

const Motif cross{0, 1, 0, 1, 1, 1, 0, 1, 0};

// A board that can be won and looks like a game under way: random clicks played on the goal, so
// that k - c more clicks on each cell clicked c times win it again.
Grid boardUnderWay(int32_t n, int32_t k) {
    Grid board = newGrid(n);
    for (auto& column : board.cells) column.fill(k - 1);
    for (int32_t x = 0; x < n; ++x)
        for (int32_t y = 0; y < n; ++y)
            for (int c = std::rand() % k; c > 0; --c) board = playMove(board, x, y, cross, k, true);
    return board;
}

// The board side given on the command line, 9 without one; nothing outside the game's sizes.
std::optional<int32_t> boardSide(int argc, char** argv) {
    if (argc == 2) return 9;
    const std::string_view text = argv[2];
    int32_t n = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), n);
    if (error != std::errc{} || end != text.data() + text.size() || n < minBoardSize ||
        n > maxGridSize)
        return std::nullopt;
    return n;
}

// Copies the window into a 24-bit Cairo surface; SDL's blit does the pixel conversion.
bool savePng(SDL_Surface* window, const char* path) {
    Surface rgb(SDL_CreateRGBSurface(SDL_SWSURFACE, window->w, window->h, 32, 0x00FF0000,
                                     0x0000FF00, 0x000000FF, 0));
    if (!rgb || SDL_BlitSurface(window, nullptr, rgb.get(), nullptr) != 0) return false;
    CairoSurface png(cairo_image_surface_create(CAIRO_FORMAT_RGB24, window->w, window->h));
    if (cairo_surface_status(png.get()) != CAIRO_STATUS_SUCCESS) return false;
    cairo_surface_flush(png.get());
    unsigned char* data = cairo_image_surface_get_data(png.get());
    const int stride = cairo_image_surface_get_stride(png.get());
    {
        const SurfaceLock pixels(rgb.get());
        if (!pixels) return false;
        for (int y = 0; y < window->h; ++y)
            std::memcpy(data + y * stride, static_cast<Uint8*>(rgb->pixels) + y * rgb->pitch,
                        std::size_t(window->w) * 4);
    }
    cairo_surface_mark_dirty(png.get());
    return cairo_surface_write_to_png(png.get(), path) == CAIRO_STATUS_SUCCESS;
}

} // namespace

int main(int argc, char** argv) {
    const std::optional<int32_t> side =
        argc == 2 || argc == 3 ? boardSide(argc, argv) : std::nullopt;
    if (!side) {
        std::fprintf(stderr, "usage: kelvo-screenshot out.png [board-side, %d to %d]\n",
                     int(minBoardSize), int(maxGridSize));
        return 2;
    }
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    const int32_t n = *side;
    constexpr int32_t k = 4;
    startVideo();
    SDL_Surface* window = openWindow(gameWindowWidth, gameWindowHeight(n), SDL_SWSURFACE, true);
    // Without its pictures the screenshot would be a black window: refuse rather than ship it.
    if (!picture(gamePicture) || !tile(0)) {
        std::fprintf(stderr, "kelvo-screenshot: the pictures under ./rc/ cannot be read\n");
        releaseAssets();
        stopVideo();
        return 1;
    }
    currentMotif = cross;
    drawOpening(window, boardUnderWay(n, k), k, true);
    const bool saved = savePng(window, argv[1]);
    if (!saved) std::fprintf(stderr, "kelvo-screenshot: cannot write %s\n", argv[1]);
    releaseAssets();
    stopVideo();
    return saved ? 0 : 1;
}
