// The board of the day: one board a day, the same on every platform, drawn from the date by a
// generator of our own, always winnable, harder as the week goes on.
#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <string_view>

#include "board/board_code.h"

// One setting a day may be played in; the start board is the goal less the clicks of a plan that
// clicks between fewestCells and mostCells distinct cells, 1 ... k-1 times each.
struct DailySetting {
    int32_t weekday; // 1 Monday ... 7 Sunday
    int32_t size;
    int32_t colorCount;
    bool torus;
    int32_t fewestCells;
    int32_t mostCells;
};

// The week's plan: small boards on two colours early in the week, up to 18 x 18 on five colours
// on Sunday. Only settings whose solution set has at most 4,096 plans, so that the solver proves
// the fewest clicks within the game's own budget.
inline constexpr DailySetting dailyPlan[] = {
    // Monday: two colours, 4 x 4 to 7 x 7.
    {1, 4, 2, false, 3, 5},
    {1, 5, 2, false, 3, 5},
    {1, 6, 2, false, 3, 5},
    {1, 4, 2, true, 3, 5},
    {1, 7, 2, false, 3, 5},
    // Tuesday: two colours, 6 x 6 to 9 x 9.
    {2, 6, 2, false, 5, 8},
    {2, 7, 2, false, 5, 8},
    {2, 8, 2, false, 5, 8},
    {2, 7, 2, true, 5, 8},
    {2, 8, 2, true, 5, 8},
    {2, 9, 2, true, 5, 8},
    // Wednesday: three colours, 5 x 5 to 8 x 8.
    {3, 5, 3, false, 6, 9},
    {3, 6, 3, false, 6, 9},
    {3, 7, 3, false, 6, 9},
    {3, 7, 3, true, 6, 9},
    {3, 8, 3, false, 6, 9},
    // Thursday: three colours, 9 x 9 to 11 x 11.
    {4, 9, 3, false, 8, 12},
    {4, 9, 3, true, 8, 12},
    {4, 10, 3, false, 8, 12},
    {4, 11, 3, false, 8, 12},
    {4, 11, 3, true, 8, 12},
    // Friday: four colours, 10 x 10 to 13 x 13.
    {5, 10, 4, false, 10, 14},
    {5, 12, 4, false, 10, 14},
    {5, 13, 4, false, 10, 14},
    {5, 11, 4, true, 10, 14},
    {5, 13, 4, true, 10, 14},
    // Saturday: four or five colours, 13 x 13 to 16 x 16.
    {6, 14, 4, false, 12, 18},
    {6, 15, 4, false, 12, 18},
    {6, 14, 4, true, 12, 18},
    {6, 16, 4, true, 12, 18},
    {6, 13, 5, false, 12, 18},
    {6, 15, 5, false, 12, 18},
    {6, 14, 5, true, 12, 18},
    // Sunday: five colours (or four on the largest bounded boards), 16 x 16 to 18 x 18.
    {7, 16, 5, false, 15, 24},
    {7, 17, 5, false, 15, 24},
    {7, 18, 5, false, 15, 24},
    {7, 16, 5, true, 15, 24},
    {7, 17, 5, true, 15, 24},
    {7, 18, 5, true, 15, 24},
    {7, 17, 4, false, 15, 24},
    {7, 18, 4, false, 15, 24},
};

// The cross, the motif every player starts with: the game screen does not show the motif, so the
// board of the day keeps to the one players know.
inline constexpr Motif dailyMotif{0, 1, 0, 1, 1, 1, 0, 1, 0};

// The board of a day; none for a date that does not exist.
std::optional<CodedBoard> dailyBoard(std::chrono::year_month_day date);

// "plateau du 8 décembre", "plateau du 1er janvier": the day's name in the text a player shares.
std::string dailyTitle(std::chrono::year_month_day date);

// A date written 2026-12-08; none for any other text or a date that does not exist.
std::optional<std::chrono::year_month_day> parseDate(std::string_view text);
