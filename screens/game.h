// The game screen: one game with the current settings, from the first move to victory or until
// the player leaves.
#pragma once

#include <SDL.h>

#include <cstdint>

#include "board/game_config.h"
#include "board/grid.h"
#include "game/play.h"
#include "screens/shared_board.h"

// Plays one game; a solved board ends with the victory screen. A release over the board plays its
// cell; the arrows show and move a cursor, Space or Return plays its cell; H marks a cell of a
// winning plan; Backspace or Ctrl+Z takes the last move back, Ctrl+Y or Ctrl+Shift+Z plays it
// again; R restarts the board, N starts another; F1 or ? shows the keys and the board's code until
// the next key or click; Escape leaves. menuWindow, the menu's window, is not used: the game opens
// its own window (its size depends on the board) and the menu opens its own again afterwards.
void runGame(SDL_Surface* menuWindow, const GameConfig& config);
// Plays a shared board (a code, the board of the day) as runGame plays a game, with the board's
// own motif for this game only; N starts the same board again. The board of the day, once won,
// offers the page the line a player may share.
void runSharedGame(const SharedBoard& board);
// Paints the background, the goal tile and the board, and flips: the game's screen without its
// status line and marks.
void drawBoard(SDL_Surface* screen, const Grid& board, int32_t k);
// Paints and flips the screen a game opens with on this start board, with the current motif: the
// board in its frame and the status line (the screenshots').
void drawOpening(SDL_Surface* screen, const Grid& start, int32_t k, bool torus);
