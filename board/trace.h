// The click counts of the current game and the file "trace.txt" that shows them.
#pragma once

#include <string>

#include "board/grid.h"

inline constexpr const char* tracePath = "trace.txt";

// clickTrace.cells[x][y]: accepted clicks on cell (x, y) since the current game began.
extern Grid clickTrace;

// The file's text: one line per row, top row first, each count written as "%d ".
std::string traceText(const Grid& counts);
// Replaces "trace.txt" with the counts; a failed write leaves the previous file as it was.
bool writeTrace(const Grid& counts);
