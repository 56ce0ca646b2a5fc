// The start picture and the main menu, driven through SDL's queue and compared pixel for pixel.
#include "screen_test.h"

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
