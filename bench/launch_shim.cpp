// Preloaded by the benchmark into the game and bare_window: ends the process at its first flip or
// plays the scripted session, and either way leaves the process's peak resident memory in peakFile.
#include <dlfcn.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "bench/session.h"

namespace {

const bool session = std::getenv(sessionVariable) != nullptr;

// Read here rather than from the parent's wait4, where a child's peak starts with the size its
// parent had before the exec.
void reportPeak() {
    std::ifstream status("/proc/self/status");
    for (std::string word; status >> word;)
        if (word == "VmHWM:" && status >> word) std::ofstream(peakFile) << word << '\n';
}

struct PeakAtExit {
    ~PeakAtExit() { reportPeak(); }
} peakAtExit;

// Leaves the start picture, sets 18 x 18, 5 colours and the torus on the configuration screen,
// starts a game, plays the clicks and leaves it; then quit requests, which end the program.
SDL_Event sessionEvent(std::size_t index) {
    static const std::vector<SDLKey> keys = [] {
        std::vector<SDLKey> k{SDLK_SPACE, SDLK_DOWN, SDLK_RETURN};
        k.insert(k.end(), maxGridSize - GameConfig{}.size, SDLK_RIGHT);
        k.push_back(SDLK_DOWN);
        k.insert(k.end(), maxColorCount - GameConfig{}.colorCount, SDLK_RIGHT);
        k.insert(k.end(), {SDLK_DOWN, SDLK_DOWN, SDLK_RIGHT, SDLK_ESCAPE, SDLK_UP, SDLK_RETURN});
        return k;
    }();
    if (index < keys.size()) return keyDown(keys[index]);
    const std::size_t click = index - keys.size();
    if (click < sessionClicks) return leftHalfClick(int64_t(click));
    if (click == sessionClicks) return keyDown(SDLK_ESCAPE);
    SDL_Event quit{};
    quit.type = SDL_QUIT;
    return quit;
}

} // namespace

extern "C" int SDL_Flip(SDL_Surface* screen) {
    static const auto real = reinterpret_cast<int (*)(SDL_Surface*)>(dlsym(RTLD_NEXT, "SDL_Flip"));
    const int result = real(screen);
    if (session) return result;
    reportPeak();
    _exit(0);
}

// The session's events bypass SDL's queue, which a restart of the video system empties; what SDL
// itself queued is dropped, as the screens would ignore it.
extern "C" int SDL_WaitEvent(SDL_Event* event) {
    static const auto real =
        reinterpret_cast<int (*)(SDL_Event*)>(dlsym(RTLD_NEXT, "SDL_WaitEvent"));
    if (!session) return real(event);
    static std::size_t next = 0;
    for (SDL_Event ignored; SDL_PollEvent(&ignored) == 1;) {
    }
    if (event) *event = sessionEvent(next++);
    return 1;
}
