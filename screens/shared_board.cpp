// The command line's board and the board of the day: what the player asked for, or one French
// line on stderr that says why it is not played.
#include "screens/shared_board.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>

#include "board/daily.h"
#include "platform/platform.h"

namespace {

void complain(const std::string& line) {
    std::fputs(("kelvo: " + line + "\n").c_str(), stderr);
    argumentRefused(line);
}

std::chrono::year_month_day localToday() {
    using namespace std::chrono;
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    if (localtime_r(&now, &local) == nullptr) return floor<days>(system_clock::now());
    return year{local.tm_year + 1900} / month{unsigned(local.tm_mon + 1)} /
           day{unsigned(local.tm_mday)};
}

} // namespace

SharedBoard boardOfTheDay() {
    std::chrono::year_month_day date = localToday();
    if (const char* set = std::getenv(dateVariable); set != nullptr && *set != '\0') {
        if (const auto parsed = parseDate(set))
            date = *parsed;
        else
            complain(std::string(dateVariable) + " « " + set +
                     " » n'est pas une date AAAA-MM-JJ : plateau du jour d'aujourd'hui.");
    }
    const std::string day = dailyTitle(date);
    std::fputs(("Kelvo, " + day + "\n").c_str(), stdout);
    std::fflush(stdout);
    // Every date that can be written above, or that the clock gives, has its board.
    return {dailyBoard(date).value(), day};
}

std::string dailyResult(const std::string& day, int32_t moves, int64_t fewest) {
    const auto clicks = [](int64_t n) { return std::to_string(n) + (n > 1 ? " coups" : " coup"); };
    return "Kelvo, " + day + " : " + clicks(moves) + ", minimum " + std::to_string(fewest);
}

std::optional<SharedBoard> boardFromArguments(const std::vector<std::string>& args) {
    if (args.empty()) return std::nullopt;
    const char* usage = " (kelvo CODE ou kelvo --jour) : le jeu s'ouvre sans plateau partagé.";
    if (args.size() > 1) {
        complain(std::string("trop d'arguments") + usage);
        return std::nullopt;
    }
    if (args[0] == "--jour") return boardOfTheDay();
    if (args[0].starts_with('-')) {
        complain("argument inconnu « " + args[0] + " »" + usage);
        return std::nullopt;
    }
    CodeReading reading = decodeBoardCode(args[0]);
    if (!reading.board) {
        complain(reading.message);
        return std::nullopt;
    }
    return SharedBoard{*reading.board, ""};
}
