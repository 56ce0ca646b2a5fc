// The board of the day, drawn from the date with splitmix64 and our own shuffle: the C
// libraries' rand() and the standard distributions and shuffle differ between platforms.
#include "board/daily.h"

#include <algorithm>
#include <charconv>
#include <iterator>
#include <numeric>
#include <vector>

namespace {

// splitmix64, seeded with the day's number since 1970-01-01.
class DailyRandom {
  public:
    explicit DailyRandom(uint64_t seed) : state_(seed) {}

    uint64_t next() {
        uint64_t z = (state_ += 0x9e3779b97f4a7c15);
        z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9;
        z = (z ^ (z >> 27)) * 0x94d049bb133111eb;
        return z ^ (z >> 31);
    }
    // 0 ... count - 1; the bias of the remainder is far below anything a player could see.
    int32_t below(int32_t count) {
        return static_cast<int32_t>(next() % static_cast<uint64_t>(count));
    }

  private:
    uint64_t state_;
};

// The start: the goal less a plan of clicks on distinct cells, which then wins it. The clicks
// are taken away by playing each cell k - c times, c being its count, the game's own move.
Grid plantedStart(const DailySetting& setting, DailyRandom& rng) {
    const int32_t n = setting.size;
    const int32_t k = setting.colorCount;
    Grid start = newGrid(n);
    for (int32_t x = 0; x < n; ++x) {
        std::fill_n(start.cells[x].begin(), n, k - 1);
    }
    std::vector<int32_t> cells(n * n);
    std::iota(cells.begin(), cells.end(), 0);
    const int32_t clicked =
        setting.fewestCells + rng.below(setting.mostCells - setting.fewestCells + 1);
    for (int32_t i = 0; i < clicked; ++i) {
        std::swap(cells[i], cells[i + rng.below(n * n - i)]);
        const int32_t count = 1 + rng.below(k - 1);
        for (int32_t t = count; t < k; ++t) {
            start = playMove(start, cells[i] / n, cells[i] % n, dailyMotif, k, setting.torus);
        }
    }
    return start;
}

} // namespace

std::optional<CodedBoard> dailyBoard(std::chrono::year_month_day date) {
    if (!date.ok()) {
        return std::nullopt;
    }
    const std::chrono::sys_days day{date};
    const auto weekday = static_cast<int32_t>(std::chrono::weekday{day}.iso_encoding());
    DailyRandom rng(static_cast<uint64_t>(day.time_since_epoch().count()));
    std::vector<DailySetting> settings;
    std::copy_if(std::begin(dailyPlan), std::end(dailyPlan), std::back_inserter(settings),
                 [&](const DailySetting& s) { return s.weekday == weekday; });
    const DailySetting& setting = settings[rng.below(static_cast<int32_t>(settings.size()))];

    CodedBoard board{.config = {.size = setting.size,
                                .colorCount = setting.colorCount,
                                .randomStart = 0,
                                .torus = setting.torus ? 1 : 0},
                     .motif = dailyMotif,
                     .start = {}};
    // A plan the moves cancel out would leave the board won before the first click: draw again.
    do {
        board.start = plantedStart(setting, rng);
    } while (checkSolved(board.start, setting.colorCount) == Won);
    return board;
}

std::string dailyTitle(std::chrono::year_month_day date) {
    static const char* const months[] = {"janvier",   "février", "mars",     "avril",
                                         "mai",       "juin",    "juillet",  "août",
                                         "septembre", "octobre", "novembre", "décembre"};
    const unsigned day = static_cast<unsigned>(date.day());
    const unsigned month = std::clamp(static_cast<unsigned>(date.month()), 1u, 12u);
    return "plateau du " + std::to_string(day) + (day == 1 ? "er " : " ") + months[month - 1];
}

std::optional<std::chrono::year_month_day> parseDate(std::string_view text) {
    int values[3] = {};
    const char* at = text.data();
    const char* const end = text.data() + text.size();
    for (int i = 0; i < 3; ++i) {
        if (i > 0 && (at == end || *at++ != '-')) {
            return std::nullopt;
        }
        const auto [next, error] = std::from_chars(at, end, values[i]);
        if (error != std::errc{} || values[i] < 1) {
            return std::nullopt;
        }
        at = next;
    }
    // Checked before the calendar types take them, which hold larger values only unspecified.
    if (at != end || values[0] > 9999 || values[1] > 12 || values[2] > 31) {
        return std::nullopt;
    }
    const std::chrono::year_month_day date{std::chrono::year{values[0]},
                                           std::chrono::month{static_cast<unsigned>(values[1])},
                                           std::chrono::day{static_cast<unsigned>(values[2])}};
    return date.ok() ? std::optional(date) : std::nullopt;
}
