// A long run in one process: games of a hundred moves on the largest board, each after a visit
// to the motif editor. Memory must not grow: no leak, and the peak resident memory after the
// last game within 1 MiB of the peak half way. Each move repaints and writes the trace, so
// the test suite plays a few dozen games; make soak plays 1,000 (KELVO_LONG_GAMES).
#include <sys/resource.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <vector>

#include "board/motif.h"
#include "screen_fixture.h"
#include "screens/game.h"
#include "screens/motif_editor.h"

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/lsan_interface.h>
#endif

namespace {

namespace fs = std::filesystem;

constexpr int movesPerGame = 100;

int gameCount() { return int(runLength("KELVO_LONG_GAMES", 20, 30)); }

long peakResidentKiB() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

std::mt19937 rng(2024);
std::vector<SDL_Event> pending;

void queuePending() {
    for (SDL_Event& e : pending) SDL_PushEvent(&e);
    pending.clear();
}

SDL_Event release(int x, int y) {
    return ScreenTest::button(SDL_MOUSEBUTTONUP, SDL_BUTTON_LEFT, x, y);
}

class LongSessionTest : public ScreenTest {
  protected:
    void SetUp() override {
        ScreenTest::SetUp();
        // A hundred thousand trace files are written, each flushed to disk: in memory where the
        // system offers it, or the disk sets the pace.
        char dir[] = "/dev/shm/kelvo-long-XXXXXX";
        if (mkdtemp(dir) != nullptr) {
            memoryDir = dir;
            fs::copy("rc", memoryDir / "rc", fs::copy_options::recursive);
            fs::current_path(memoryDir);
        }
        afterVideoStart = queuePending;
    }
    void TearDown() override {
        afterVideoStart = nullptr;
        pending.clear();
        fs::current_path(runDir);
        if (!memoryDir.empty()) fs::remove_all(memoryDir);
        ScreenTest::TearDown();
    }

    // One game of a hundred releases on random cells, then Escape.
    static void playGame(bool torus) {
        GameConfig config;
        config.size = maxBoardSize;
        config.colorCount = maxColorCount;
        config.torus = torus ? 1 : 0;
        for (int i = 0; i < movesPerGame; ++i)
            pending.push_back(release(boardLeft + 1 + int(rng() % (tileSize * maxBoardSize - 1)),
                                      boardTop + 1 + int(rng() % (tileSize * maxBoardSize - 1))));
        pending.push_back(keyDown(SDLK_ESCAPE));
        runGame(nullptr, config);
    }

    // One visit to the editor from the menu's window: a few clicks, saved or not.
    void visitEditor() {
        SDL_Surface* window = openMenuWindow();
        for (int i = int(rng() % 4); i > 0; --i) {
            SDL_Event e = release(motifLeft + 1 + int(rng() % (3 * tileSize - 1)),
                                  motifTop + 1 + int(rng() % (3 * tileSize - 1)));
            SDL_PushEvent(&e);
        }
        SDL_Event leave = keyDown(rng() % 2 ? SDLK_RETURN : SDLK_ESCAPE);
        SDL_PushEvent(&leave);
        runMotifEditor(window);
    }

    fs::path memoryDir;
};

TEST_F(LongSessionTest, GamesAndEditorVisitsKeepMemoryFlat) {
    const int games = gameCount();
    long halfWay = 0;
    for (int game = 0; game < games; ++game) {
        // The editor first: the first game then runs with everything the session ever loads.
        visitEditor();
        playGame(game % 2 == 1);
        ASSERT_EQ(moveCount, movesPerGame) << "game " << game;
        // glibc's heap takes a dozen games to settle: its threshold for mapping a large block on
        // its own rises as such blocks are freed, and later windows come from the heap.
        if (game == games / 2) halfWay = peakResidentKiB();
    }
    const long afterLast = peakResidentKiB();
    std::printf("peak resident memory: %ld KiB after game %d, %ld KiB after game %d\n", halfWay,
                games / 2 + 1, afterLast, games);
#if defined(__SANITIZE_ADDRESS__)
    // The sanitizer keeps freed blocks in quarantine and its own shadow memory, so the resident
    // size says little here; the leak check says what matters.
    EXPECT_EQ(__lsan_do_recoverable_leak_check(), 0) << "LeakSanitizer found leaks (above)";
#else
    EXPECT_LT(afterLast - halfWay, 1024) << "KiB of growth";
#endif
}

} // namespace
