// Reading a start board written in the layout of the click trace: one line per row, top row
// first, the cells of a row left to right, separated by blanks.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <system_error>

#include "board/grid.h"

// Larger files are refused without being read to the end.
inline constexpr size_t maxBoardFileBytes = 65536;

struct BoardFile {
    bool ok = false;
    Grid board{};
    std::string error{}; // one line, without the program name, when not ok
};

// Reads a board of side n whose cells are colours 0 ... k-1.
BoardFile readBoardFile(const std::string& path, int32_t n, int32_t k);

// The command line's one number parser: the whole text as decimal digits after an optional minus
// sign. invalid_argument for anything else, result_out_of_range for a number beyond 32 bits.
std::errc parseNumber(std::string_view text, int32_t& value);
