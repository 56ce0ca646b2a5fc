// The start picture and the main menu: the player's way into the game's screens.
#include "screens/menu.h"

#include <array>

#include "screens/config.h"
#include "screens/display.h"
#include "screens/game.h"
#include "screens/motif_editor.h"
#include "screens/shared_board.h"

namespace {

constexpr std::array<const char*, menuItemCount> menuItems = {"Jouer", "Configurer la partie",
                                                              "Modifier le motif"};
constexpr const char* menuTitle = "Bienvenue";
constexpr int selectedMarker = 4;
constexpr int otherMarker = 0;

// Opens the screen of a menu item; the menu repaints its own window when it returns.
void openItem(SDL_Surface* screen, int selection, GameConfig& config) {
    switch (selection) {
    case 0:
        runGame(screen, config);
        break;
    case 1:
        runConfig(screen, config);
        break;
    case 2:
        runMotifEditor(screen);
        break;
    default:
        break;
    }
}

// Plays a shared board. The settings become the board's, so that the configuration shows them and
// the menu's next game is played with them.
void playShared(const SharedBoard& board, GameConfig& config) {
    config = board.board.config;
    config.randomStart = 0;
    runSharedGame(board);
}

// Top edge of an item's line (and of its marker) on the menu.
int menuItemTop(int item) {
    int y = titleY + textHeight(menuFontPoints, menuTitle) + titleGap;
    for (int i = 0; i < item; ++i) y += textHeight(menuFontPoints, menuItems[i]) + itemGap;
    return y;
}

// Paints the menu with the marker beside the selected item, and flips.
void drawMenu(SDL_Surface* screen, int selection) {
    paint(screen, picture(menuPicture), 0, 0);
    paintText(screen, menuFontPoints, menuTitle, white, titleX, titleY);
    for (int item = 0; item < menuItemCount; ++item) {
        int y = menuItemTop(item);
        paintText(screen, menuFontPoints, menuItems[item], white, itemX, y);
        paint(screen, tile(item == selection ? selectedMarker : otherMarker), markerX, y);
    }
    show(screen);
}

// The selection after a key: Up and Down move it by one, without wrapping round.
int menuSelection(int selection, SDLKey key) {
    if (key == SDLK_UP && selection > 0) return selection - 1;
    if (key == SDLK_DOWN && selection < menuItemCount - 1) return selection + 1;
    return selection;
}

} // namespace

void runStartScreen(SDL_Surface* screen) {
    paintFromFile(screen, startPicture, 0, 0);
    show(screen);
    for (;;) {
        SDL_Event event = waitEvent();
        if (event.type == SDL_KEYDOWN || event.type == SDL_QUIT) return;
    }
}

void runMenu(SDL_Surface* screen, GameConfig& config) {
    int selection = 0;
    drawMenu(screen, selection);
    for (bool running = true; running;) {
        SDL_Event event = waitEvent();
        bool screenRan = false;
        if (event.type == SDL_KEYDOWN) {
            if (event.key.keysym.sym == SDLK_RETURN) {
                openItem(screen, selection, config);
                screenRan = true;
            } else if (event.key.keysym.sym == dailyKey) {
                playShared(boardOfTheDay(), config);
                screenRan = true;
            } else {
                selection = menuSelection(selection, event.key.keysym.sym);
            }
        } else if (event.type == SDL_QUIT) {
            running = false;
        }
        // A screen may have changed the window or restarted the video system. Otherwise the
        // mode is the one the menu last opened, and opening it again (milliseconds under X11,
        // at every mouse motion) would give the same window with the same pixels.
        if (screenRan) screen = openWindow(windowWidth, windowHeight, SDL_HWSURFACE, false);
        drawMenu(screen, selection);
    }
}

int runMainMenu(const std::optional<SharedBoard>& shared) {
    startVideo();
    SDL_Surface* screen = openWindow(windowWidth, windowHeight, SDL_HWSURFACE, true);
    runStartScreen(screen);
    GameConfig config;
    if (shared) {
        playShared(*shared, config);
        screen = openWindow(windowWidth, windowHeight, SDL_HWSURFACE, false);
    }
    runMenu(screen, config);
    releaseAssets();
    stopVideo();
    return 0;
}
