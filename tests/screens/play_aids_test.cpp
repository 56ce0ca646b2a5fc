// What helps the player in a game: the hint, undo, keyboard play, the status line, the fewest
// clicks on the victory screen and the window's scale. The game gets its events one at a time,
// each once it has painted what the last one did, as a player who looks before acting.
#include <random>
#include <ranges>

#include "screen_test.h"
#include "solver/solver.h"

namespace {

// What the player does each time the game waits with nothing queued.
std::function<void()> player;

SDL_Event on(Cell c) { return onCell(c.x, c.y); }
std::string trace() { return readFile(tracePath); }
void push(SDL_Event e) { queue({e}); }
void pushQuit() { queue({quitRequest()}); }
Uint32 pixel(SDL_Surface* s, int x, int y) {
    return static_cast<const Uint32*>(s->pixels)[y * s->pitch / 4 + x] & 0xffffff;
}

// A random start of 4 x 4 (seed 1) that the cross cannot win, whatever the moves.
const GameConfig unwinnable{4, 2, 1, 0};

class PlayAidsTest : public ScreenTest {
  protected:
    void SetUp() override {
        ScreenTest::SetUp();
        whenIdle = [] { player(); };
        loadMotif();
    }
    void TearDown() override {
        whenIdle = nullptr;
        ScreenTest::TearDown();
    }

    // Plays a game with the events, then a quit request; returns a copy of the window.
    static Surface play(const GameConfig& config, const std::vector<SDL_Event>& events) {
        std::size_t next = 0;
        player = [&] { next < events.size() ? push(events[next++]) : pushQuit(); };
        std::srand(1);
        runGame(nullptr, config);
        SDL_Surface* w = SDL_GetVideoSurface();
        return Surface{SDL_ConvertSurface(w, w->format, SDL_SWSURFACE)};
    }
    static bool same(SDL_Surface* a, SDL_Surface* b) {
        for (int y = 0; y < a->h; ++y)
            for (int x = 0; x < a->w; ++x)
                if (pixel(a, x, y) != pixel(b, x, y)) return false;
        return a->w == b->w && a->h == b->h;
    }
    // Whether the window shows the text there (x < 0: centred): painting it again changes nothing.
    static bool showsText(int points, const std::string& text, SDL_Color c, int x, int y) {
        SDL_Surface* w = SDL_GetVideoSurface();
        SDL_Surface* t = textPicture(points, text, c);
        const Surface again{SDL_ConvertSurface(w, w->format, SDL_SWSURFACE)};
        drawText(again.get(), points, text, c, x < 0 && t ? (w->w - t->w) / 2 : x, y);
        return t && same(again.get(), w);
    }
    // The cells under a mark: their tile does not show untouched along their diagonal.
    static std::vector<Cell> marked(int32_t n) {
        std::vector<Cell> cells;
        for (int32_t c = 0; c < n * n; ++c) {
            const auto shows = [&](int colour) {
                for (int i = 0; i < 35; ++i)
                    if (pixel(SDL_GetVideoSurface(), 35 + 35 * (c % n) + i,
                              100 + 35 * (c / n) + i) != pixel(tile(colour), i, i))
                        return false;
                return true;
            };
            if (std::ranges::none_of(std::views::iota(0, tileColours), shows))
                cells.push_back({c % n, c / n});
        }
        return cells;
    }
};

TEST_F(PlayAidsTest, FollowingTheHintWinsWithAtMostTheFewestClicks) {
    for (const GameConfig config :
         {GameConfig{4, 2, 0, 0}, {5, 2, 0, 1}, {4, 4, 0, 0}, {5, 4, 0, 1}}) {
        const Solution start =
            solveForGame(newGrid(config.size), currentMotif, config.colorCount, config.torus);
        bool asked = false, victory = false;
        player = [&] {
            const auto cells = marked(config.size);
            if (SDL_GetVideoSurface()->w == 640) {
                victory =
                    showsText(16, minimumMessage(start.fewestClicks, start.proven), black, -1, 52);
                pushQuit();
            } else if (moveCount <= start.fewestClicks &&
                       (cells.size() == 1 || (cells.empty() && !asked))) {
                push(cells.empty() ? key(SDLK_h) : on(cells[0]));
                asked = cells.empty();
            } else {
                ADD_FAILURE() << "H marked " << cells.size() << " cells after " << moveCount;
                pushQuit();
            }
        };
        runGame(nullptr, config);
        EXPECT_TRUE(victory) << config.size << " x " << config.size << ", k " << config.colorCount;
        EXPECT_LE(moveCount, start.fewestClicks);
    }
}

TEST_F(PlayAidsTest, UndoRestoresBoardCountsTraceAndMoveCount) {
    std::mt19937 rng(7);
    std::vector<SDL_Event> moves;
    std::vector<Cell> cells;
    for (int i = 0; i < 50; ++i) moves.push_back(on(cells.emplace_back(rng() % 4, rng() % 4)));
    SDL_Event ctrlZ = key(SDLK_z);
    ctrlZ.key.keysym.mod = KMOD_RCTRL;
    for (const auto& [played, undone] : {std::pair{50, 20}, {50, 51}, {3, 1}}) {
        std::vector<SDL_Event> events(moves.begin(), moves.begin() + played);
        for (int i = 0; i < undone; ++i) events.push_back(i % 2 ? ctrlZ : key(SDLK_BACKSPACE));
        const Surface afterUndo = play(unwinnable, events);
        const std::string traceAfterUndo = trace();
        const int32_t movesAfterUndo = moveCount;

        const int kept = std::max(played - undone, 0);
        Grid counts = newGrid(4);
        for (int i = 0; i < kept; ++i) ++counts.cells[cells[i].x][cells[i].y];
        EXPECT_TRUE(
            same(afterUndo.get(), play(unwinnable, {moves.begin(), moves.begin() + kept}).get()));
        EXPECT_EQ(traceAfterUndo, traceText(counts));
        EXPECT_EQ(movesAfterUndo, kept);
    }
}

TEST_F(PlayAidsTest, KeyboardPlaysAsTheMouse) {
    // Return first shows the cursor at (0, 0); Right stops at the edge; a mouse button hides the
    // cursor, and the first arrow after shows it where it was.
    std::vector<SDL_Event> keys;
    for (SDLKey k : {SDLK_RETURN, SDLK_RETURN, SDLK_RIGHT, SDLK_RIGHT, SDLK_RIGHT, SDLK_RIGHT,
                     SDLK_RIGHT, SDLK_RIGHT, SDLK_SPACE, SDLK_DOWN, SDLK_LEFT, SDLK_RETURN})
        keys.push_back(key(k));
    keys.push_back(release(0, 0));
    for (SDLKey k : {SDLK_DOWN, SDLK_SPACE, SDLK_UP, SDLK_UP, SDLK_UP, SDLK_SPACE, SDLK_DOWN})
        keys.push_back(key(k));
    keys.push_back(release(0, 0, SDL_BUTTON_LEFT, SDL_MOUSEBUTTONDOWN));
    const Surface byKeys = play({5, 3, 0, 1}, keys);
    const std::string traceByKeys = trace();
    const Surface byClicks =
        play({5, 3, 0, 1}, {on({0, 0}), on({4, 0}), on({3, 1}), on({3, 1}), on({3, 0})});
    EXPECT_EQ(traceByKeys, "1 0 0 1 1 \n0 0 0 2 0 \n0 0 0 0 0 \n0 0 0 0 0 \n0 0 0 0 0 \n");
    EXPECT_EQ(traceByKeys, trace());
    EXPECT_TRUE(same(byKeys.get(), byClicks.get()));
}

TEST_F(PlayAidsTest, StatusLineAndWhereHMarksNothing) {
    const auto expect = [](const GameConfig& config, const std::vector<SDL_Event>& events,
                           const std::string& count, const std::string& keys) {
        play(config, events);
        EXPECT_TRUE(showsText(16, count, white, 35, statusTop(config.size))) << count;
        EXPECT_TRUE(showsText(16, keys, white, 155, statusTop(config.size))) << keys;
        EXPECT_TRUE(marked(config.size).empty()) << keys;
    };
    const std::string undoAndMenu = "    Retour arriere : annuler    Echap : menu";
    expect({4, 2, 0, 0}, {on({1, 1}), on({2, 2})}, "Coups : 2", "H : indice" + undoAndMenu);
    expect(unwinnable, {key(SDLK_h)}, "Coups : 0",
           "Ce plateau ne peut pas etre gagne    Echap : menu");
    writeFile(motifPath, "0 2 0 -1 1 1 0 1 0");
    expect({6, 3, 0, 1}, {key(SDLK_h)}, "Coups : 0", "Pas d'indice avec ce motif" + undoAndMenu);
}

TEST_F(PlayAidsTest, WindowScaleForTheDesktopUnlessThePlayerChoseOne) {
    EXPECT_EQ(windowScale(1920, 1080), 1);
    EXPECT_EQ(windowScale(2560, 1440), 1.5);
    EXPECT_EQ(windowScale(3840, 2160), 2.5);
    EXPECT_EQ(windowScale(0, 0), 1);
    setenv(windowScalingVariable, "3", 1);
    startVideo();
    EXPECT_STREQ(std::getenv(windowScalingVariable), "3");
    unsetenv(windowScalingVariable);
    startVideo();
    const SDL_VideoInfo* desktop = SDL_GetVideoInfo();
    EXPECT_EQ(std::atof(std::getenv(windowScalingVariable)),
              windowScale(desktop->current_w, desktop->current_h));
}

} // namespace
