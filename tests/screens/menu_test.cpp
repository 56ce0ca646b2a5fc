// The start picture and the main menu, driven through SDL's queue and compared pixel for pixel.
#include "board/daily.h"
#include "screen_test.h"
#include "screens/shared_board.h"

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

// A shared board is played at once after the start picture, with its own motif (N starts it
// again), J plays the board of the day of KELVO_DATE, and the menu's Jouer then plays the zero
// board of the day's settings with the file's motif, which stays as it was.
TEST_F(MenuTest, SharedBoardsArePlayedAtOnceAndLeaveTheirSettings) {
    setenv(dateVariable, "2026-12-08", 1);
    const Motif cross{0, 1, 0, 1, 1, 1, 0, 1, 0};
    writeFile(motifPath, motifText(cross));
    CodedBoard shared{{5, 3, 0, 1}, {0, 0, 0, 0, 1}, newGrid(5)}; // the clicked cell alone
    shared.start.cells[2][3] = 2;
    const CodedBoard day = dailyBoard(std::chrono::year{2026} / 12 / 8).value();
    const int32_t n = day.config.size, k = day.config.colorCount;
    using Shown = std::function<Surface()>;
    const auto game = [](const Grid& g, int32_t k, int moves) -> Shown {
        return [=] { return gameScreen(g, k, moves, winnable); };
    };
    // What the window shows each time the program waits, and what the player does then.
    const std::pair<Shown, Events> steps[] = {
        {[] { return canvas(startPicture); }, {key(SDLK_a)}},
        {game(shared.start, 3, 0), {onCell(1, 1)}},
        {game(playMove(shared.start, 1, 1, shared.motif, 3, true), 3, 1), {key(SDLK_n)}},
        {game(shared.start, 3, 0), {key(Esc)}},
        {[] { return menuScreen(0); }, {key(dailyKey)}},
        {game(day.start, k, 0), {key(Esc)}},
        {[] { return menuScreen(0); }, {key(Ret)}},
        {game(newGrid(n), k, 0), {onCell(0, 0)}},
        {game(playMove(newGrid(n), 0, 0, cross, k, day.config.torus), k, 1), {key(Esc)}}};
    static std::function<void()> player;
    size_t done = 0;
    player = [&] {
        const bool more = done < std::size(steps);
        EXPECT_EQ(more ? difference(steps[done].first()) : "", "") << done;
        queue(more ? steps[done++].second : Events{quitRequest()});
    };
    whenIdle = [] { player(); };
    EXPECT_EQ(runMainMenu(SharedBoard{shared, ""}), 0);
    EXPECT_TRUE(done == std::size(steps) && readFile(motifPath) == motifText(cross));
}

// The command line: a code or --jour gives its board; anything else, one French line on stderr.
// The line a player shares after winning the board of the day.
TEST(SharedBoard, ArgumentsGiveTheirBoardOrOneLineOnStderr) {
    setenv(dateVariable, "2026-12-08", 1);
    const CodedBoard zero{{4, 2, 0, 0}, {0, 1, 0, 1, 1, 1, 0, 1, 0}, newGrid(4)};
    const SharedBoard day{dailyBoard(std::chrono::year{2026} / 12 / 8).value(),
                          "plateau du 8 décembre"};
    const std::string usage =
        " (kelvo CODE ou kelvo --jour) : le jeu s'ouvre sans plateau partagé.\n";
    const std::tuple<std::vector<std::string>, std::optional<SharedBoard>, std::string> cases[] = {
        {{}, std::nullopt, ""},
        {{" 142ba2\n"}, SharedBoard{zero, ""}, ""},
        {{"--jour"}, day, ""},
        {{"142BA3"},
         std::nullopt,
         "kelvo: Code du plateau refusé : il a été mal recopié (caractère de contrôle faux).\n"},
        {{"--help"}, std::nullopt, "kelvo: argument inconnu « --help »" + usage},
        {{"142BA2", "--jour"}, std::nullopt, "kelvo: trop d'arguments" + usage}};
    for (const auto& [args, board, err] : cases) {
        testing::internal::CaptureStderr();
        EXPECT_EQ(boardFromArguments(args), board);
        EXPECT_EQ(testing::internal::GetCapturedStderr(), err);
    }
    EXPECT_EQ(dailyResult(day.day, 14, 12), "Kelvo, plateau du 8 décembre : 14 coups, minimum 12");
    EXPECT_EQ(dailyResult("plateau du 1er janvier", 1, 1),
              "Kelvo, plateau du 1er janvier : 1 coup, minimum 1");
}
