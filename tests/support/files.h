// Files for the tests: a private folder, also as the working directory, whole-file reads and
// writes, and a write under a file-size limit.
#pragma once

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>

// A fresh folder under /tmp, removed with everything in it at the end of the test.
struct TempDir {
    std::string name = "/tmp/kelvo-test-XXXXXX";
    std::filesystem::path path = ::mkdtemp(name.data()) != nullptr ? name : std::string();
    std::error_code removal; // a folder that cannot be removed fails no test
    ~TempDir() { std::filesystem::remove_all(path, removal); }
};

// A fresh folder as the working directory, the one before it restored at the end.
struct TempWorkDir : TempDir {
    const std::filesystem::path home = std::filesystem::current_path();
    TempWorkDir() { std::filesystem::current_path(path); }
    ~TempWorkDir() { std::filesystem::current_path(home); }
};

// The file's bytes; "" when it is missing or not a file (a pipe or a device is not opened).
inline std::string readFile(const std::filesystem::path& path) {
    std::ostringstream text;
    if (std::filesystem::is_regular_file(path))
        text << std::ifstream(path, std::ios::binary).rdbuf();
    return text.str();
}

// The names in a folder.
inline std::set<std::string> entries(const std::filesystem::path& folder) {
    std::set<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(folder))
        names.insert(e.path().filename());
    return names;
}

// Writes the file whole, making its folders first.
inline void writeFile(const std::filesystem::path& path, const std::string& text) {
    std::error_code noFolder; // a file in the working folder has none to make
    std::filesystem::create_directories(path.parent_path(), noFolder);
    std::ofstream(path, std::ios::binary) << text;
}

// Whether `write` reports failure under a limit of 8 bytes, in a child process so that the test
// keeps its own limits; SIGXFSZ is ignored, as in the game.
template <typename Write> bool failsUnderFileSizeLimit(Write write) {
    const pid_t child = ::fork();
    if (child == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit small{8, 8};
        ::_exit(::setrlimit(RLIMIT_FSIZE, &small) == 0 && !write() ? 0 : 1);
    }
    int status = 1;
    return child > 0 && ::waitpid(child, &status, 0) == child && status == 0;
}
