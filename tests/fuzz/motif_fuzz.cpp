// libFuzzer target for the motif reader: the values it reads from any bytes must match a second
// reading of the same bytes, written another way.
#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <charconv>
#include <cstdlib>
#include <string>
#include <string_view>

#include "board/motif.h"

// What nine "%d" scans give, with std::from_chars: each value is stored as it is read, and a
// number beyond 32 bits or anything that is not a number ends the scan.
static Motif expectedMotif(std::string_view bytes, Motif motif) {
    size_t at = 0;
    for (int32_t& value : motif) {
        at = std::min(bytes.find_first_not_of(" \t\n\v\f\r", at), bytes.size());
        const size_t digit = at + (bytes.substr(at, 1) == "+" || bytes.substr(at, 1) == "-");
        if (digit >= bytes.size() || bytes[digit] < '0' || bytes[digit] > '9') break;
        // from_chars takes a minus sign but not a plus sign, and leaves value alone on overflow.
        const char* first = bytes.data() + (bytes[at] == '+' ? digit : at);
        const auto [end, error] = std::from_chars(first, bytes.data() + bytes.size(), value);
        if (error != std::errc{}) break;
        at = static_cast<size_t>(end - bytes.data());
    }
    return motif;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // The bytes go to a file in memory, read back through its /proc path as any motif file.
    static const int fd = ::memfd_create("motif.txt", 0);
    static const std::string path = "/proc/self/fd/" + std::to_string(fd);
    if (::ftruncate(fd, 0) != 0 || ::pwrite(fd, data, size, 0) != ssize_t(size)) std::abort();
    // Values no scan makes by accident, so that "left alone" is told apart from "read".
    constexpr Motif before{-7, 1 << 30, 3, -1, 0, 123456, INT32_MIN, INT32_MAX, 42};
    Motif read = before;
    loadMotif(path, read);
    if (read != expectedMotif({reinterpret_cast<const char*>(data), size}, before)) std::abort();
    return 0;
}
