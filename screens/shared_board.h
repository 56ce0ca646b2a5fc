// The boards a game starts from at once, whatever the menu's settings: a board's code or the
// board of the day asked for on the command line, and the board of the day the menu's J starts.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "board/board_code.h"

// Sets the day of the board of the day, written 2026-12-08, in place of today's (for tests).
inline constexpr const char* dateVariable = "KELVO_DATE";

// A board played at once: a code's, or the board of the day with the day's name.
struct SharedBoard {
    CodedBoard board;
    std::string day; // "plateau du 8 décembre" for the board of the day, else empty

    bool operator==(const SharedBoard&) const = default;
};

// The board of the day of KELVO_DATE, else of today's local date; a KELVO_DATE that holds no date
// gets one French line on stderr, and today is taken. Names the day on stdout.
SharedBoard boardOfTheDay();

// The line a player may share after winning the board of the day, without the board:
// "Kelvo, plateau du 8 décembre : 14 coups, minimum 12".
std::string dailyResult(const std::string& day, int32_t moves, int64_t fewest);

// The board the program's arguments (without its name) ask for: a board's code, or --jour for
// the board of the day; none without arguments. Anything else (a refused code, another option,
// more than one argument) gets one French line on stderr and none: the game starts as without.
std::optional<SharedBoard> boardFromArguments(const std::vector<std::string>& args);
