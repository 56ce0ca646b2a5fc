// The game's repaint against the plain way of painting it: the whole background, the frame, the
// goal tile, then every cell's tile, each with SDL's own blit. Pixel for pixel the two must agree.
#include <filesystem>
#include <utility>
#include <vector>

#include "screen_fixture.h"
#include "screens/game.h"

namespace {

class GamePaintTest : public ScreenTest {
  protected:
    // Opens the game's window for a board of side n, filled with a colour no picture has, so
    // that a pixel the repaint forgets shows.
    SDL_Surface* openFilledWindow(int32_t n) {
        SDL_Surface* window =
            openWindow(gameWindowWidth, gameWindowHeight(n), SDL_HWSURFACE | SDL_DOUBLEBUF, true);
        SDL_FillRect(window, nullptr, SDL_MapRGB(window->format, 1, 2, 3));
        return window;
    }

    // The window as the plain painting would leave it.
    static Surface plainPainting(SDL_Surface* window, const Grid& board, int32_t k) {
        const SDL_PixelFormat* f = window->format;
        Surface expected{SDL_CreateRGBSurface(SDL_SWSURFACE, window->w, window->h, 32, f->Rmask,
                                              f->Gmask, f->Bmask, 0)};
        SDL_FillRect(expected.get(), nullptr, SDL_MapRGB(expected->format, 1, 2, 3));
        auto blit = [&](SDL_Surface* pic, int x, int y) {
            SDL_Rect at{Sint16(x), Sint16(y), 0, 0};
            if (pic) SDL_BlitSurface(pic, nullptr, expected.get(), &at);
        };
        SDL_Surface* background = picture("./rc/game.bmp");
        blit(background, 0, 0);
        // The frame: a filled square boardFrameWidth wider on every side, whose inside is given
        // back to the background.
        const int side = 35 * board.size;
        const int w = boardFrameWidth;
        SDL_Rect outer{Sint16(35 - w), Sint16(100 - w), Uint16(side + 2 * w), Uint16(side + 2 * w)};
        const SDL_Color c = boardFrameColour;
        SDL_FillRect(expected.get(), &outer, SDL_MapRGB(expected->format, c.r, c.g, c.b));
        SDL_Rect inside{35, 100, Uint16(side), Uint16(side)};
        SDL_Rect at = inside;
        SDL_BlitSurface(background, &inside, expected.get(), &at);
        blit(tile(k - 1), goalX, goalY);
        for (int32_t x = 0; x < board.size; ++x)
            for (int32_t y = 0; y < board.size; ++y)
                blit(tile(board.cells[x][y]), 35 + 35 * x, 100 + 35 * y);
        return expected;
    }

    // The first pixel where the two differ, or (-1, -1).
    static std::pair<int, int> firstDifference(SDL_Surface* a, SDL_Surface* b) {
        for (int y = 0; y < a->h; ++y)
            for (int x = 0; x < a->w; ++x)
                if (pixel(a, x, y) != pixel(b, x, y)) return {x, y};
        return {-1, -1};
    }

    void expectPlainPainting(const Grid& board, int32_t k, const char* what) {
        SDL_Surface* window = openFilledWindow(board.size);
        drawBoard(window, board, k);
        Surface expected = plainPainting(window, board, k);
        EXPECT_EQ(firstDifference(window, expected.get()), std::make_pair(-1, -1)) << what;
    }
};

Grid boardOf(int32_t n, int32_t k, int32_t odd) {
    Grid board = newGrid(n);
    for (int32_t x = 0; x < n; ++x)
        for (int32_t y = 0; y < n; ++y) board.cells[x][y] = (x * 7 + y * 3) % k;
    if (odd != 0) {
        board.cells[0][0] = odd;
        board.cells[n - 1][n - 1] = -odd;
    }
    return board;
}

TEST_F(GamePaintTest, RepaintEqualsThePlainPaintingWithAndWithoutEveryTile) {
    // Every cell a tile: the background is painted around the board only.
    expectPlainPainting(boardOf(18, 5, 0), 5, "18 x 18, every tile");
    expectPlainPainting(boardOf(4, 3, 0), 3, "4 x 4 in a window smaller than the background");
    expectPlainPainting(boardOf(2, 2, 0), 2, "2 x 2");
    // Cells without a tile (values a motif with negative numbers gives) show the background.
    expectPlainPainting(boardOf(18, 5, 7), 5, "18 x 18 with cells of no colour");
    expectPlainPainting(boardOf(7, 4, 1), 4, "7 x 7 with a cell of -1");

    // A tile whose file is missing leaves the background at its cells.
    std::filesystem::remove("rc/3.bmp");
    releaseAssets();
    expectPlainPainting(boardOf(18, 5, 0), 5, "18 x 18 without the tile of colour 3");
    expectPlainPainting(boardOf(5, 3, 0), 3, "5 x 5 that does not need it");
}

} // namespace
