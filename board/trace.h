// The file "trace.txt", which shows the click counts of a game: one line per row of the board.
#pragma once

#include <string>

#include "board/grid.h"

inline constexpr const char* tracePath = "trace.txt";

// The file's text: one line per row, top row first, each count written as "%d ".
std::string traceText(const Grid& counts);
// Replaces "trace.txt" with the counts; a failed write leaves the previous file as it was.
bool writeTrace(const Grid& counts);
