// Tests of the board of the day's dates: how a date is read and named. The boards themselves are
// pinned and solved in the solver's tests.
#include <gtest/gtest.h>

#include "board/daily.h"

TEST(Daily, DatesAreReadAndNamed) {
    using std::chrono::year;
    struct Case {
        std::string text;
        std::chrono::year_month_day date;
        std::string title;
    };
    const Case cases[] = {
        {"2026-12-08", year{2026} / 12 / 8, "plateau du 8 décembre"},
        {"2027-01-01", year{2027} / 1 / 1, "plateau du 1er janvier"},
        {"2028-02-29", year{2028} / 2 / 29, "plateau du 29 février"},
        {"2026-8-15", year{2026} / 8 / 15, "plateau du 15 août"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(parseDate(c.text), c.date) << c.text;
        EXPECT_EQ(dailyTitle(c.date), c.title) << c.text;
    }
    for (const char* text :
         {"2027-02-29", "2026-13-01", "2026-12-32", "2026-12-00", "2026-12-08x", "2026/12/08",
          "2026-12", "", "-2026-12-08", "10000-01-01", "2026-257-01", "2026-12-8589934593"})
        EXPECT_EQ(parseDate(text), std::nullopt) << text;
    EXPECT_EQ(dailyBoard(year{2027} / 2 / 29), std::nullopt);
}
