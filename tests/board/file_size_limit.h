// Writes under a file-size limit of a few bytes, in a child process so that the test keeps its
// own limits.
#pragma once

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <functional>

// Success when `write` reports failure under the limit; SIGXFSZ is ignored, as in the game.
inline ::testing::AssertionResult failsUnderFileSizeLimit(const std::function<bool()>& write) {
    const pid_t child = ::fork();
    if (child < 0) return ::testing::AssertionFailure() << "fork failed";
    if (child == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit small{8, 8};
        const bool limited = ::setrlimit(RLIMIT_FSIZE, &small) == 0;
        ::_exit(limited && !write() ? 0 : 1);
    }
    int status = 0;
    if (::waitpid(child, &status, 0) != child) return ::testing::AssertionFailure() << "no child";
    if (!WIFEXITED(status))
        return ::testing::AssertionFailure() << "child ended by signal " << WTERMSIG(status);
    if (WEXITSTATUS(status) != 0)
        return ::testing::AssertionFailure() << "the write did not fail under the limit";
    return ::testing::AssertionSuccess();
}
