// The motif: where its nine values land on the board, the move rule, and its text file.
#include "board/motif.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>
#include <istream>
#include <streambuf>

#include "platform/file_descriptor.h"
#include "platform/file_replace.h"

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

// A stream reading an open file in small pieces, so that a long file is never held in memory.
class DescriptorBuffer : public std::streambuf {
  public:
    explicit DescriptorBuffer(int fd) : fd_(fd) {}

  private:
    int_type underflow() override {
        const ssize_t got = ::read(fd_, piece_.data(), piece_.size());
        if (got <= 0) {
            return traits_type::eof();
        }
        setg(piece_.data(), piece_.data(), piece_.data() + got);
        return traits_type::to_int_type(piece_[0]);
    }

    int fd_;
    std::array<char, 4096> piece_{};
};

} // namespace

void loadMotif(const std::string& path, Motif& motif) {
    // Only a regular file is a motif file, checked on the open descriptor: a pipe, a device or a
    // folder is opened without waiting, then reads as no file.
    FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    struct stat status {};
    if (!fd.valid() || ::fstat(fd.get(), &status) != 0 || !S_ISREG(status.st_mode)) {
        return;
    }
    // Nine "%d" scans: each value is stored as soon as it is read; anything that is not a number,
    // or a number beyond 32 bits, ends the scan. Only those nine are ever read from the file.
    DescriptorBuffer buffer(fd.get());
    std::istream in(&buffer);
    for (int32_t& value : motif) {
        long long read = 0;
        if (!(in >> read) || read < INT32_MIN || read > INT32_MAX) {
            return;
        }
        value = static_cast<int32_t>(read);
    }
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
