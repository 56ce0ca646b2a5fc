// Files for the tests: a private folder, whole-file reads and writes, and (file_size_limit.h) a
// write under a file-size limit.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "file_size_limit.h"

// A fresh folder under /tmp, removed with everything in it at the end of the test.
struct TempDir {
    std::string name = "/tmp/kelvo-test-XXXXXX";
    std::filesystem::path path = ::mkdtemp(name.data()) != nullptr ? name : std::string();
    std::error_code removal; // a folder that cannot be removed fails no test
    ~TempDir() { std::filesystem::remove_all(path, removal); }
};

// The file's bytes; "" when it is missing or not a file (a pipe or a device is not opened).
inline std::string readFile(const std::filesystem::path& path) {
    std::ostringstream text;
    if (std::filesystem::is_regular_file(path))
        text << std::ifstream(path, std::ios::binary).rdbuf();
    return text.str();
}

inline void writeFile(const std::filesystem::path& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}
