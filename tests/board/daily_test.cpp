// Tests of the board of the day's dates: how a date is read and named. The boards themselves are
// pinned and solved in the solver's tests.
#include <gtest/gtest.h>

#include "board/daily.h"

TEST(Daily, DatesAreReadAndNamed) {
    const std::pair<const char*, const char*> named[] = {{"2026-12-08", "plateau du 8 décembre"},
                                                         {"2027-01-01", "plateau du 1er janvier"},
                                                         {"2028-02-29", "plateau du 29 février"},
                                                         {"2026-8-15", "plateau du 15 août"}};
    for (const auto& [text, title] : named)
        EXPECT_EQ(dailyTitle(parseDate(text).value()), title) << text;
    EXPECT_EQ(parseDate("2026-8-15"), std::chrono::year{2026} / 8 / 15);
    for (const char* text :
         {"2027-02-29", "2026-13-01", "2026-12-32", "2026-12-00", "2026-12-08x", "2026/12/08",
          "2026-12", "", "-2026-12-08", "10000-01-01", "2026-257-01", "2026-12-8589934593"})
        EXPECT_EQ(parseDate(text), std::nullopt) << text;
    EXPECT_EQ(dailyBoard(std::chrono::year{2027} / 2 / 29), std::nullopt);
}
