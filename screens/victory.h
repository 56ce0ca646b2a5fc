// The victory screen: the number of moves that solved the board.
#pragma once

#include <string>

// The message shown for a number of moves.
std::string victoryMessage(int moves);
// Shows the victory picture and the message until a key is pressed or the window is closed.
void showVictory();
