// The game screen and the victory screen, played through SDL's event queue. The game restarts
// the video system, which empties the queue, so the events are queued as it starts again.
#include "screens/game.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <utility>
#include <vector>

#include "board/motif.h"
#include "screen_fixture.h"

namespace {

std::vector<SDL_Event> pending;

void queuePending() {
    for (SDL_Event& e : pending) SDL_PushEvent(&e);
    pending.clear();
}

std::string readFile(const char* path) {
    std::ostringstream text;
    text << std::ifstream(path, std::ios::binary).rdbuf();
    return text.str();
}

void writeFile(const char* path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

// The motif that solves a 2 x 2 board of two colours in one move.
void writeAllOnesMotif() { writeFile("rc/motif.txt", "1 1 1 \n1 1 1 \n1 1 1 \n"); }

SDL_Event release(int px, int py, Uint8 button = SDL_BUTTON_LEFT) {
    SDL_Event e{};
    e.button = {SDL_MOUSEBUTTONUP, 0, button, SDL_RELEASED, Uint16(px), Uint16(py)};
    return e;
}
// The release at the middle of a cell.
SDL_Event onCell(int x, int y, Uint8 button = SDL_BUTTON_LEFT) {
    return release(35 + 35 * x + 17, 100 + 35 * y + 17, button);
}
SDL_Event key(SDLKey k) {
    SDL_Event e{SDL_KEYDOWN};
    e.key.keysym.sym = k;
    return e;
}
SDL_Event quit() { return SDL_Event{SDL_QUIT}; }

class GameTest : public ScreenTest {
  protected:
    void SetUp() override {
        ScreenTest::SetUp();
        afterVideoStart = queuePending;
    }
    void TearDown() override {
        afterVideoStart = nullptr;
        pending.clear();
        ScreenTest::TearDown();
    }

    void play(const GameConfig& config, std::vector<SDL_Event> events) {
        pending = std::move(events);
        runGame(openMenuWindow(), config);
    }
    static std::pair<int, int> windowSize() {
        return {SDL_GetVideoSurface()->w, SDL_GetVideoSurface()->h};
    }

    // Whether the window shows the tile of each colour of the board at its cell.
    static bool showsBoard(const Grid& board) {
        for (int x = 0; x < board.size; ++x)
            for (int y = 0; y < board.size; ++y)
                if (!shows(SDL_GetVideoSurface(), tile(board.cells[x][y]), 35 + 35 * x,
                           100 + 35 * y))
                    return false;
        return true;
    }
};

TEST_F(GameTest, EveryButtonPlaysInsideTheStrictBoundsAndTheTraceFollows) {
    GameConfig config; // 4 x 4, two colours, bounded; the motif file holds the cross
    play(config, {
                     release(35, 117),           // first pixel column: outside
                     release(52, 100),           // first pixel row: outside
                     release(35 + 140, 117),     // just right of the board
                     release(52, 100 + 140),     // just below it
                     release(35 + 140 - 1, 101), // last column, top row: cell (3, 0)
                     onCell(0, 3, SDL_BUTTON_RIGHT), onCell(0, 3, SDL_BUTTON_WHEELDOWN),
                     onCell(1, 1, SDL_BUTTON_MIDDLE), key(SDLK_a), key(SDLK_ESCAPE),
                     onCell(2, 2), // after Escape: never played
                 });
    EXPECT_EQ(moveCount, 4);
    EXPECT_EQ(readFile("trace.txt"), "0 0 0 1 \n0 1 0 0 \n0 0 0 0 \n2 0 0 0 \n");

    // The cross at (3, 0), twice at (0, 3) (which cancels out) and at (1, 1).
    Grid expected = newGrid(4);
    for (auto [x, y] : {std::pair{3, 0}, {2, 0}, {3, 1}, {1, 1}, {0, 1}, {2, 1}, {1, 0}, {1, 2}})
        expected.cells[x][y] = 1;
    EXPECT_EQ(windowSize(), std::pair(700, 480));
    EXPECT_TRUE(showsBoard(expected));
    EXPECT_TRUE(shows(SDL_GetVideoSurface(), tile(1), 453, 13)) << "goal tile";
    SDL_Event left;
    EXPECT_EQ(SDL_PollEvent(&left), 1) << "the release after Escape stays queued";
}

TEST_F(GameTest, WindowFitsTheBoardAndTheGoalIsTheLastColour) {
    const GameConfig config{18, 3, 0, 1};
    play(config,
         {onCell(0, 0), onCell(17, 17), release(35 + 35 * 18 - 1, 100 + 35 * 18 - 1), quit()});
    EXPECT_EQ(windowSize(), std::pair(700, 765));
    EXPECT_TRUE(shows(SDL_GetVideoSurface(), tile(2), 453, 13));
    EXPECT_EQ(moveCount, 3);

    // On a torus the cross at (0, 0) reaches the far column and row.
    Grid expected = newGrid(18);
    for (auto [x, y] : {std::pair{0, 0}, {1, 0}, {17, 0}, {0, 1}, {0, 17}}) ++expected.cells[x][y];
    for (int i = 0; i < 2; ++i)
        for (auto [x, y] : {std::pair{17, 17}, {16, 17}, {0, 17}, {17, 16}, {17, 0}})
            ++expected.cells[x][y];
    EXPECT_TRUE(showsBoard(reduceGrid(expected, 3)));
}

TEST_F(GameTest, SolvingMoveShowsTheVictoryWithTheCountUntilAKeyOrAQuitRequest) {
    writeAllOnesMotif();
    const GameConfig config{2, 2, 0, 0};
    for (SDL_Event end : {key(SDLK_SPACE), quit()}) {
        // The release after the solving move is ignored by the victory screen, and the key
        // after the event that ends it is left for the menu.
        play(config, {onCell(1, 1), onCell(0, 0), end, key(SDLK_DOWN)});
        EXPECT_EQ(moveCount, 1);
        EXPECT_EQ(readFile("trace.txt"), "0 0 \n0 1 \n");
        SDL_Event next;
        ASSERT_EQ(SDL_PollEvent(&next), 1);
        EXPECT_EQ(next.type, SDL_KEYDOWN);
        EXPECT_EQ(next.key.keysym.sym, SDLK_DOWN);
    }
    // The message in black, centred at the top of the victory picture, the fewest clicks under it.
    ASSERT_EQ(windowSize(), std::pair(640, 480));
    Surface expected{SDL_CreateRGBSurface(SDL_SWSURFACE, 640, 480, 32, 0xff0000, 0xff00, 0xff, 0)};
    draw(expected.get(), picture("./rc/win.bmp"), 0, 0);
    SDL_Surface* message = textPicture(25, "Vous avez reussi en 1 coups.", black);
    ASSERT_NE(message, nullptr);
    draw(expected.get(), message, (640 - message->w) / 2, 20);
    SDL_Surface* minimum = textPicture(16, "Le minimum etait de 1 coups.", black);
    ASSERT_NE(minimum, nullptr);
    draw(expected.get(), minimum, (640 - minimum->w) / 2, 52);
    EXPECT_TRUE(shows(SDL_GetVideoSurface(), expected.get(), 0, 0));
}

TEST_F(GameTest, AbandonedGameKeepsTheOldTraceAndAnUnwritableTraceStopsNothing) {
    writeFile("trace.txt", "7 \n");
    GameConfig config;
    play(config, {key(SDLK_ESCAPE)});
    EXPECT_EQ(readFile("trace.txt"), "7 \n");
    play(config, {quit()});
    EXPECT_EQ(readFile("trace.txt"), "7 \n");
    EXPECT_EQ(moveCount, 0);

    std::filesystem::remove("trace.txt");
    std::filesystem::create_directories("trace.txt/inside");
    play(config, {onCell(0, 0), onCell(1, 1), key(SDLK_ESCAPE)});
    EXPECT_EQ(moveCount, 2);
    EXPECT_TRUE(std::filesystem::is_directory("trace.txt/inside"));
}

TEST_F(GameTest, RandomStartIsTheGeneratorsFirstBoard) {
    std::srand(1);
    Grid first = newGrid(5);
    fillRandom(first, 4);
    std::srand(1);
    play(GameConfig{5, 4, 1, 0}, {key(SDLK_ESCAPE)});
    EXPECT_TRUE(showsBoard(first));
}

TEST_F(GameTest, MissingPicturesAndFontLeaveTheGamePlayable) {
    for (const char* name : {"rc/game.bmp", "rc/win.bmp", "rc/1.bmp", "rc/Chalkduster.ttf"})
        std::filesystem::remove(name);
    writeAllOnesMotif();
    play(GameConfig{2, 2, 0, 0}, {onCell(0, 0), key(SDLK_RETURN)});
    EXPECT_EQ(moveCount, 1);
}

} // namespace
