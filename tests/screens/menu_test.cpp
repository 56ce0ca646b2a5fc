// The start picture and the main menu, driven through SDL's queue and compared pixel for pixel.
#include "board/daily.h"
#include "screen_test.h"
#include "screens/shared_board.h"
#include "solver/solver.h"

using MenuTest = ScreenTest;
constexpr SDLKey U = SDLK_UP, D = SDLK_DOWN, Ret = SDLK_RETURN, Esc = SDLK_ESCAPE;

// The title and the items in white, marker tile 4 beside the selected item and 0 beside the others.
static Surface menuScreen(int selected) {
    Surface s = canvas(menuPicture);
    int y = titleY + putText(s, menuFontPoints, "Bienvenue", white, titleX, titleY) + titleGap;
    for (const char* item : {"Jouer", "Configurer la partie", "Modifier le motif"}) {
        putTile(s, selected-- == 0 ? 4 : 0, markerX, y);
        y += putText(s, menuFontPoints, item, white, itemX, y) + itemGap;
    }
    return s;
}

TEST_F(MenuTest, KeysMoveAndOpenItemsAndQuitRequestsLeaveTheStartPictureAndTheMenu) {
    // The game restarts the video system, which empties the queue: its events come after that.
    atVideoStart = inTurn({{release(boardLeft + 1, boardTop + 1), key(Esc), quitRequest()}});
    // The events (a quit request follows them) and the item selected after them. That the
    // items open their screens, the fault test's session sees in the files it leaves.
    // clang-format off
    const std::pair<Events, int> rows[] = {
        {{}, 0}, {{key(U)}, 0}, {{key(D), key(D), key(D), key(D)}, 2},
        {{key(D), key(D), key(U), key(SDLK_a), key(SDLK_LEFT), release(100, 200),
          SDL_Event{SDL_MOUSEMOTION}}, 1},
        {{key(D), key(Ret), key(SDLK_RIGHT), key(Esc)}, 1},
        {{key(D), key(D), key(Ret), release(motifLeft + 1, motifTop + 1), key(Ret)}, 2},
        {{key(Ret)}, 0}};
    // clang-format on
    GameConfig config;
    for (int i = 0; const auto& [events, selected] : rows) {
        queue(events);
        queue({quitRequest()});
        runMenu(menuWindow(), config);
        EXPECT_EQ(difference(menuScreen(selected)), "") << "row " << i++;
    }
    // Quit requests leave the start picture for the menu, and end the menu.
    SDL_Surface* window = menuWindow();
    queue({release(9, 9), SDL_Event{SDL_MOUSEMOTION}, quitRequest(), key(D), quitRequest()});
    runStartScreen(window);
    EXPECT_EQ(difference(canvas(startPicture)), "");
    runMenu(window, config);
    EXPECT_EQ(difference(menuScreen(1)), "");
}

// What the window must show each time the program waits for the player, and what the player
// does then; once every step is done, quit requests.
using Steps = std::vector<std::pair<std::function<Surface()>, Events>>;
static size_t playSteps(const std::function<void()>& run, const Steps& steps) {
    static std::function<void()> player;
    size_t done = 0;
    player = [&] {
        if (done < steps.size()) {
            EXPECT_EQ(difference(steps[done].first()), "") << "step " << done;
        }
        queue(done < steps.size() ? steps[done++].second : Events{quitRequest()});
    };
    whenIdle = [] { player(); };
    run();
    return done;
}

// A shared board is played at the first key after the start picture, with its own motif (N
// starts it again); then the menu's Jouer plays with its settings and the file's motif again.
TEST_F(MenuTest, ASharedBoardIsPlayedAfterTheStartPictureAndLeavesItsSettings) {
    const Motif cross{0, 1, 0, 1, 1, 1, 0, 1, 0};
    writeFile(motifPath, motifText(cross));
    CodedBoard shared{{5, 3, 0, 1}, {0, 0, 0, 0, 1}, newGrid(5)}; // the clicked cell alone
    shared.start.cells[2][3] = 2;
    Grid clicked = shared.start, zero = newGrid(5);
    clicked.cells[1][1] = 1;
    const char* zeroStatus =
        solveForGame(zero, cross, 3, true).solvable
            ? winnable
            : "Ce plateau ne peut pas etre gagne    N : autre plateau    F1 : aide";
    const Steps steps = {
        {[] { return canvas(startPicture); }, {key(SDLK_a)}},
        {[&] { return gameScreen(shared.start, 3, 0, winnable); }, {onCell(1, 1)}},
        {[&] { return gameScreen(clicked, 3, 1, winnable); }, {key(SDLK_n)}},
        {[&] { return gameScreen(shared.start, 3, 0, winnable); }, {key(Esc)}},
        {[] { return menuScreen(0); }, {key(Ret)}},
        {[&] { return gameScreen(zero, 3, 0, zeroStatus); }, {onCell(0, 0)}},
        {[&] { return gameScreen(playMove(zero, 0, 0, cross, 3, true), 3, 1, zeroStatus); },
         {key(Esc)}},
        {[] { return menuScreen(0); }, {quitRequest()}}};
    EXPECT_EQ(playSteps([&] { EXPECT_EQ(runMainMenu(shared), 0); }, steps), steps.size());
    EXPECT_EQ(readFile(motifPath), motifText(cross));
}

// J plays the board of the day, of the date in KELVO_DATE; the menu keeps its settings.
TEST_F(MenuTest, JPlaysTheBoardOfTheDay) {
    setenv(dateVariable, "2026-12-08", 1);
    const CodedBoard day = dailyBoard(std::chrono::year{2026} / 12 / 8).value();
    const Steps steps = {
        {[] { return menuScreen(0); }, {key(dailyKey)}},
        {[&] { return gameScreen(day.start, day.config.colorCount, 0, winnable); }, {key(Esc)}},
        {[] { return menuScreen(0); }, {quitRequest()}}};
    GameConfig config;
    EXPECT_EQ(playSteps([&] { runMenu(menuWindow(), config); }, steps), steps.size());
    EXPECT_EQ(config, day.config);
    unsetenv(dateVariable);
}
