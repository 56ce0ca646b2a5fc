// The program's entry screens: the start picture and the main menu, which owns the settings.
#pragma once

#include <SDL.h>

#include "board/game_config.h"

inline constexpr int menuItemCount = 3;

// Opens the window, shows the start picture, runs the menu until a quit request reaches it and
// returns the program's exit status.
int runMainMenu();
// Shows the start picture until a key is pressed or the window is closed.
void runStartScreen(SDL_Surface* screen);
// The main menu's event loop; returns on a quit request.
void runMenu(SDL_Surface* screen, GameConfig& config);
