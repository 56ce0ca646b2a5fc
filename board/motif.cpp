// The motif: where its nine values land on the board, the move rule, and its text file.
#include "board/motif.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "board/file_replace.h"

Motif currentMotif{};

namespace {

int32_t sideOf(int32_t n) { return std::clamp(n, int32_t{0}, maxGridSize); }

// wrapIndex's rule on 64 bits, so that x + a - 1 never overflows.
int64_t wrap64(int64_t i, int64_t n) {
    if (i >= n) {
        i -= n;
    }
    if (i < 0) {
        i += n;
    }
    return i;
}

// Lays the motif on a fresh board; target(i, n) gives the index an offset lands on, or -1.
template <typename Target>
Grid placeMotif(int32_t n, int32_t x, int32_t y, const Motif& motif, Target target) {
    Grid g = newGrid(n);
    const int32_t side = g.size;
    for (int32_t a = 0; a < 3; ++a) {
        const int64_t tx = target(int64_t{x} + a - 1, side);
        if (tx < 0) {
            continue;
        }
        for (int32_t b = 0; b < 3; ++b) {
            const int64_t ty = target(int64_t{y} + b - 1, side);
            if (ty >= 0) {
                g.cells[tx][ty] = motif[3 * a + b]; // a plain store: later offsets win
            }
        }
    }
    return g;
}

// Reads a file a chunk at a time, one character of look-ahead, as fscanf would see it.
class ChunkReader {
  public:
    explicit ChunkReader(int fd) : fd_(fd) {}

    // The next character, or -1 at the end of the file or on a read error.
    int peek() {
        if (pos_ == len_ && !refill()) {
            return -1;
        }
        return static_cast<unsigned char>(buffer_[pos_]);
    }
    void advance() { ++pos_; }

  private:
    bool refill() {
        if (done_) {
            return false;
        }
        ssize_t got = 0;
        do {
            got = ::read(fd_, buffer_.data(), buffer_.size());
        } while (got < 0 && errno == EINTR);
        if (got <= 0) {
            done_ = true; // a directory ends here too, with EISDIR
            return false;
        }
        pos_ = 0;
        len_ = static_cast<size_t>(got);
        return true;
    }

    int fd_;
    std::array<char, 4096> buffer_{};
    size_t pos_ = 0;
    size_t len_ = 0;
    bool done_ = false;
};

bool isSpace(int c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}
bool isDigit(int c) { return c >= '0' && c <= '9'; }

// Up to nine "%d" conversions, each value stored as soon as it is read. Anything that is not
// a number, or a number that does not fit in 32 bits, ends the scan.
void scanMotif(ChunkReader& in, Motif& motif) {
    for (int32_t& value : motif) {
        while (isSpace(in.peek())) {
            in.advance();
        }
        int c = in.peek();
        const bool negative = c == '-';
        if (c == '-' || c == '+') {
            in.advance();
            c = in.peek();
        }
        if (!isDigit(c)) {
            return;
        }
        const int64_t limit = negative ? int64_t{2147483648} : int64_t{2147483647};
        int64_t magnitude = 0;
        while (isDigit(c)) {
            magnitude = magnitude * 10 + (c - '0');
            if (magnitude > limit) {
                return;
            }
            in.advance();
            c = in.peek();
        }
        value = static_cast<int32_t>(negative ? -magnitude : magnitude);
    }
}

} // namespace

void loadMotif(const std::string& path, Motif& motif) {
    int fd = -1;
    do {
        // Non-blocking, so that a named pipe in place of the file cannot hang the game.
        fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) {
        return;
    }
    // Only a regular file is a motif file: a pipe, a device or a directory reads as no file.
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        return;
    }
    ChunkReader in(fd);
    scanMotif(in, motif);
    ::close(fd);
}

void loadMotif() { loadMotif(motifPath, currentMotif); }

bool saveMotif(const std::string& path, const Motif& motif) {
    return replaceFile(path, motifText(motif));
}

void saveMotif() { static_cast<void>(saveMotif(motifPath, currentMotif)); }

std::string motifText(const Motif& motif) {
    std::string text;
    for (size_t i = 0; i < motif.size(); ++i) {
        text += std::to_string(motif[i]);
        text += ' ';
        if (i % 3 == 2) {
            text += '\n';
        }
    }
    return text;
}

int32_t wrapIndex(int32_t i, int32_t n) { return static_cast<int32_t>(wrap64(i, n)); }

Grid placeMotifTorus(int32_t n, int32_t x, int32_t y, const Motif& motif) {
    // An index still outside the board after one wrap (a click far off it) is skipped.
    return placeMotif(n, x, y, motif, [](int64_t i, int32_t side) {
        const int64_t w = wrap64(i, side);
        return w < side ? w : int64_t{-1};
    });
}

Grid placeMotifClipped(int32_t n, int32_t x, int32_t y, const Motif& motif) {
    return placeMotif(n, x, y, motif,
                      [](int64_t i, int32_t side) { return i >= 0 && i < side ? i : int64_t{-1}; });
}

Grid playMove(const Grid& board, int32_t x, int32_t y, const Motif& motif, int32_t k, bool torus) {
    const Grid laid = torus ? placeMotifTorus(board.size, x, y, motif)
                            : placeMotifClipped(board.size, x, y, motif);
    Grid next = board;
    const int32_t n = sideOf(board.size);
    for (int32_t cx = 0; cx < n; ++cx) {
        for (int32_t cy = 0; cy < n; ++cy) {
            // The exact sum on 64 bits, so the remainder is right for every 32-bit value.
            const int64_t sum = int64_t{board.cells[cx][cy]} + laid.cells[cx][cy];
            next.cells[cx][cy] = k >= 1 ? static_cast<int32_t>(sum % k)
                                        : static_cast<int32_t>(static_cast<uint32_t>(sum));
        }
    }
    return next;
}
