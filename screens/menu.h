// The program's entry screens: the start picture and the main menu, which owns the settings.
#pragma once

#include <SDL.h>

#include <optional>

#include "board/game_config.h"
#include "screens/shared_board.h"

inline constexpr int menuItemCount = 3;
// The menu's key for the board of the day.
inline constexpr SDLKey dailyKey = SDLK_j;

// Opens the window, shows the start picture, plays the shared board at once when there is one,
// runs the menu until a quit request reaches it and returns the program's exit status.
int runMainMenu(const std::optional<SharedBoard>& shared = std::nullopt);
// Shows the start picture until a key is pressed or the window is closed.
void runStartScreen(SDL_Surface* screen);
// The main menu's event loop; returns on a quit request. Return opens the selected item, J plays
// the board of the day.
void runMenu(SDL_Surface* screen, GameConfig& config);
