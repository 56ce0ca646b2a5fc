// The victory screen: the number of moves that solved the board.
#pragma once

#include <cstdint>
#include <string>

// The line under it: the fewest clicks that could have won the game from its start, proven or
// only the best the solver found.
std::string minimumMessage(int64_t clicks, bool proven);
// Shows the victory picture and the message with the number of moves, with minimumLine under it
// when there is one, until a key is pressed or the window is closed.
void showVictory(int32_t moves, const std::string& minimumLine = "");
