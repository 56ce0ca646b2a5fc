// Reads a start board in the click trace's layout, refusing anything that is not exactly an
// n x n board of colours, and reading at most a bounded number of bytes.
#include "solver/board_file.h"

#include <cerrno>
#include <charconv>
#include <cstring>
#include <fcntl.h>
#include <sstream>
#include <unistd.h>
#include <vector>

#include "platform/file_descriptor.h"

namespace {

std::string quoted(const std::string& s) { return "'" + s + "'"; }

// The lines of the text without their line ends (Unix or Windows), and without the blank lines
// after the last row.
std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        if (line.ends_with('\r')) {
            line.pop_back();
        }
        lines.push_back(line);
    }
    while (!lines.empty() && lines.back().find_first_not_of(" \t") == std::string::npos) {
        lines.pop_back();
    }
    return lines;
}

// The words of a line, separated by spaces and tabs.
std::vector<std::string> cellsOf(const std::string& line) {
    std::vector<std::string> cells;
    for (size_t i = line.find_first_not_of(" \t"); i != std::string::npos;) {
        const size_t end = line.find_first_of(" \t", i);
        cells.push_back(line.substr(i, end - i));
        i = line.find_first_not_of(" \t", end);
    }
    return cells;
}

// A printable form of a cell for messages, cut short so that a huge token stays one short line.
std::string shown(const std::string& token) {
    std::string s;
    for (const char c : token.substr(0, 20)) {
        s += (c >= 0x20 && c < 0x7f) ? c : '?';
    }
    return token.size() > 20 ? s + "..." : s;
}

// The colour a cell holds, or why it holds none.
std::string readCell(const std::string& token, int32_t k, int32_t& color) {
    const std::errc error = parseNumber(token, color);
    if (error == std::errc::invalid_argument) {
        return quoted(shown(token)) + " is not a number";
    }
    if (error != std::errc{} || token.starts_with('-') || color >= k) {
        return shown(token) + " is not a colour from 0 to " + std::to_string(k - 1);
    }
    return "";
}

BoardFile parseBoardText(const std::string& text, const std::string& path, int32_t n, int32_t k) {
    BoardFile result;
    const std::string where = "board file " + quoted(path);
    const std::vector<std::string> lines = linesOf(text);
    if (std::ssize(lines) != n) {
        result.error = where + ": " + std::to_string(lines.size()) + " rows, expected " +
                       std::to_string(n) + " (the board side)";
        return result;
    }
    result.board = newGrid(n);
    for (int32_t y = 0; y < n; ++y) {
        const std::vector<std::string> cells = cellsOf(lines[y]);
        const std::string row = where + ", row " + std::to_string(y + 1);
        if (std::ssize(cells) != n) {
            result.error =
                row + ": " + std::to_string(cells.size()) + " cells, expected " + std::to_string(n);
            return result;
        }
        for (int32_t x = 0; x < n; ++x) {
            const std::string refusal = readCell(cells[x], k, result.board.cells[x][y]);
            if (!refusal.empty()) {
                result.error = row + ", cell " + std::to_string(x + 1) + ": " + refusal;
                return result;
            }
        }
    }
    result.ok = true;
    return result;
}

// Up to one byte more than a board file may hold, which tells a file that is too large without
// reading all of it. 0, or the errno of the failure.
int readAtMost(const std::string& path, std::string& text) {
    const FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (!fd.valid()) {
        return errno;
    }
    text.assign(maxBoardFileBytes + 1, '\0');
    size_t got = 0;
    while (got < text.size()) {
        const ssize_t r = ::read(fd.get(), text.data() + got, text.size() - got);
        if (r < 0 && errno == EINTR) {
            continue;
        }
        if (r < 0) {
            return errno;
        }
        if (r == 0) {
            break;
        }
        got += static_cast<size_t>(r);
    }
    text.resize(got);
    return 0;
}

} // namespace

std::errc parseNumber(std::string_view text, int32_t& value) {
    const char* const end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    return stop == end ? error : std::errc::invalid_argument;
}

BoardFile readBoardFile(const std::string& path, int32_t n, int32_t k) {
    const std::string where = "board file " + quoted(path);
    std::string text;
    if (const int error = readAtMost(path, text); error != 0) {
        return {.error = "cannot read " + where + ": " + std::strerror(error)};
    }
    if (text.size() > maxBoardFileBytes) {
        return {.error = where + " is larger than " + std::to_string(maxBoardFileBytes) + " bytes"};
    }
    return parseBoardText(text, path, n, k);
}
