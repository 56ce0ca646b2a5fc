// Reads a start board in the click trace's layout, refusing anything that is not exactly an
// n x n board of colours, and reading at most a bounded number of bytes.
#include "solver/board_file.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>
#include <vector>

namespace {

std::string quoted(const std::string& s) { return "'" + s + "'"; }

std::vector<std::string> splitLines(const std::string& text) {
    std::vector<std::string> lines;
    size_t begin = 0;
    while (begin < text.size()) {
        size_t end = text.find('\n', begin);
        if (end == std::string::npos) {
            end = text.size();
        }
        std::string line = text.substr(begin, end - begin);
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        lines.push_back(line);
        begin = end + 1;
    }
    return lines;
}

bool isBlank(char c) { return c == ' ' || c == '\t'; }

std::vector<std::string> splitCells(const std::string& line) {
    std::vector<std::string> cells;
    size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && isBlank(line[i])) {
            ++i;
        }
        size_t j = i;
        while (j < line.size() && !isBlank(line[j])) {
            ++j;
        }
        if (j > i) {
            cells.push_back(line.substr(i, j - i));
        }
        i = j;
    }
    return cells;
}

bool blankLine(const std::string& line) {
    return line.find_first_not_of(" \t") == std::string::npos;
}

// A printable form of a cell for messages, cut short so that a huge token stays one short line.
std::string shown(const std::string& token) {
    std::string s;
    for (const char c : token.substr(0, 20)) {
        s += (c >= 0x20 && c < 0x7f) ? c : '?';
    }
    return token.size() > 20 ? s + "..." : s;
}

} // namespace

BoardFile parseBoardText(const std::string& text, const std::string& path, int32_t n, int32_t k) {
    BoardFile result;
    const std::string where = "board file " + quoted(path);
    std::vector<std::string> lines = splitLines(text);
    while (!lines.empty() && blankLine(lines.back())) {
        lines.pop_back(); // blank lines after the last row
    }
    if (static_cast<int32_t>(lines.size()) != n) {
        result.error = where + ": " + std::to_string(lines.size()) + " rows, expected " +
                       std::to_string(n) + " (the board side)";
        return result;
    }
    result.board = newGrid(n);
    for (int32_t y = 0; y < n; ++y) {
        const std::vector<std::string> cells = splitCells(lines[static_cast<size_t>(y)]);
        const std::string row = where + ", row " + std::to_string(y + 1);
        if (static_cast<int32_t>(cells.size()) != n) {
            result.error =
                row + ": " + std::to_string(cells.size()) + " cells, expected " + std::to_string(n);
            return result;
        }
        for (int32_t x = 0; x < n; ++x) {
            const std::string& token = cells[static_cast<size_t>(x)];
            const std::string cell = row + ", cell " + std::to_string(x + 1) + ": ";
            const bool negative = token.size() > 1 && token[0] == '-';
            const size_t digits = token.find_first_not_of("0123456789", negative ? 1 : 0);
            if (digits != std::string::npos) {
                result.error = cell + quoted(shown(token)) + " is not a number";
                return result;
            }
            const size_t first = token.find_first_not_of('0', negative ? 1 : 0);
            const bool inRange = !negative &&
                                 (first == std::string::npos || token.size() - first == 1) &&
                                 (first == std::string::npos || token[first] - '0' < k);
            if (!inRange) {
                result.error =
                    cell + shown(token) + " is not a colour from 0 to " + std::to_string(k - 1);
                return result;
            }
            result.board.cells[x][y] = first == std::string::npos ? 0 : token[first] - '0';
        }
    }
    result.ok = true;
    return result;
}

BoardFile readBoardFile(const std::string& path, int32_t n, int32_t k) {
    BoardFile result;
    const std::string where = "board file " + quoted(path);
    int fd = -1;
    do {
        fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) {
        result.error = "cannot read " + where + ": " + std::strerror(errno);
        return result;
    }
    // One byte more than allowed tells a file that is too large without reading all of it.
    std::string text(maxBoardFileBytes + 1, '\0');
    size_t got = 0;
    int readError = 0;
    while (got < text.size()) {
        const ssize_t r = ::read(fd, text.data() + got, text.size() - got);
        if (r < 0 && errno == EINTR) {
            continue;
        }
        if (r < 0) {
            readError = errno;
            break;
        }
        if (r == 0) {
            break;
        }
        got += static_cast<size_t>(r);
    }
    ::close(fd);
    if (readError != 0) {
        result.error = "cannot read " + where + ": " + std::strerror(readError);
        return result;
    }
    if (got > maxBoardFileBytes) {
        result.error = where + " is larger than " + std::to_string(maxBoardFileBytes) + " bytes";
        return result;
    }
    text.resize(got);
    return parseBoardText(text, path, n, k);
}
