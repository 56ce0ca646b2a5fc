// Saves that must fail: a write under a file-size limit of a few bytes.
#pragma once

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>

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
