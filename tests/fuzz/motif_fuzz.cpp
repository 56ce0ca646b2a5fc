// libFuzzer target for the motif reader: arbitrary bytes become "./rc/motif.txt", and the nine
// values loadMotif leaves must match a second, independent reading of the same bytes.
#include <unistd.h>

#include <charconv>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string_view>

#include "board/motif.h"

namespace {

// The reading a C "%d" scan gives, written another way: std::from_chars on the whole buffer.
// Each value keeps what it held unless a number was read for it; a number that does not fit in
// 32 bits or anything else that is not a number ends the scan.
Motif expectedMotif(std::string_view bytes, Motif motif) {
    const auto isSpace = [](char c) { return c == ' ' || (c >= '\t' && c <= '\r'); };
    std::size_t at = 0;
    for (int32_t& value : motif) {
        while (at < bytes.size() && isSpace(bytes[at])) ++at;
        std::size_t digits = at;
        if (digits < bytes.size() && (bytes[digits] == '+' || bytes[digits] == '-')) ++digits;
        if (digits == bytes.size() || bytes[digits] < '0' || bytes[digits] > '9') return motif;
        // from_chars takes a minus sign but not a plus sign.
        const char* first = bytes.data() + (bytes[at] == '+' ? at + 1 : at);
        int32_t read = 0;
        const auto [end, error] = std::from_chars(first, bytes.data() + bytes.size(), read);
        if (error != std::errc{}) return motif;
        value = read;
        at = static_cast<std::size_t>(end - bytes.data());
    }
    return motif;
}

// Values a scan can never produce by accident, so that "left alone" is told apart from "read".
constexpr Motif before{-7, 1 << 30, 3, -1, 0, 123456, INT32_MIN, INT32_MAX, 42};

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    // A private working directory holding only rc/, so the fuzzer touches no real file; in memory
    // where the system offers it, as a disk file system makes every rewrite a slow flush.
    char dir[] = "/dev/shm/kelvo-fuzz-XXXXXX";
    char fallback[] = "/tmp/kelvo-fuzz-XXXXXX";
    const char* made = mkdtemp(dir);
    if (made == nullptr) made = mkdtemp(fallback);
    if (made == nullptr || chdir(made) != 0) std::abort();
    std::filesystem::create_directory("rc");
    std::atexit([] {
        const std::filesystem::path here = std::filesystem::current_path();
        std::error_code ignored;
        std::filesystem::remove_all(here, ignored);
    });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    std::FILE* file = std::fopen(motifPath, "wb");
    if (file == nullptr) std::abort();
    if (size > 0 && std::fwrite(data, 1, size, file) != size) std::abort();
    if (std::fclose(file) != 0) std::abort();

    currentMotif = before;
    loadMotif();
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    if (currentMotif != expectedMotif(bytes, before)) {
        std::fprintf(stderr, "motif read differs from the independent reading\n");
        std::abort();
    }
    return 0;
}
