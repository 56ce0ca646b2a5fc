// Preloaded by the benchmark into the game and into the bare window program: either ends the
// process right after its first flip, or plays a scripted session in place of the player.
#include <SDL.h>
#include <dlfcn.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>

namespace {

enum class Mode { Untouched, FirstFlip, Session };

Mode mode() {
    static const Mode m = [] {
        const char* value = std::getenv("KELVO_BENCH_SHIM");
        if (!value) return Mode::Untouched;
        if (std::strcmp(value, "first-flip") == 0) return Mode::FirstFlip;
        if (std::strcmp(value, "session") == 0) return Mode::Session;
        return Mode::Untouched;
    }();
    return m;
}

SDL_Event key(SDLKey sym) {
    SDL_Event e{};
    e.type = SDL_KEYDOWN;
    e.key.state = SDL_PRESSED;
    e.key.keysym.sym = sym;
    return e;
}

// The scripted session, one event at a time: leaves the start picture, sets 18 x 18, 5 colours
// and the torus on the configuration screen, starts a game, plays the clicks and leaves it;
// nothing once it is over. The clicks stay on the board's left half, so the far columns never
// change and the game cannot be won on the way.
std::optional<SDL_Event> sessionEvent(std::size_t index) {
    static const SDLKey before[] = {
        SDLK_SPACE, SDLK_DOWN,  SDLK_RETURN, SDLK_RIGHT,  SDLK_RIGHT, SDLK_RIGHT, SDLK_RIGHT,
        SDLK_RIGHT, SDLK_RIGHT, SDLK_RIGHT,  SDLK_RIGHT,  SDLK_RIGHT, SDLK_RIGHT, SDLK_RIGHT,
        SDLK_RIGHT, SDLK_RIGHT, SDLK_RIGHT,  SDLK_DOWN,   SDLK_RIGHT, SDLK_RIGHT, SDLK_RIGHT,
        SDLK_DOWN,  SDLK_DOWN,  SDLK_RIGHT,  SDLK_ESCAPE, SDLK_UP,    SDLK_RETURN};
    constexpr std::size_t keys = sizeof before / sizeof before[0];
    static const std::size_t clicks = [] {
        const char* count = std::getenv("KELVO_BENCH_CLICKS");
        return count ? std::size_t(std::atol(count)) : std::size_t(1000);
    }();
    if (index < keys) return key(before[index]);
    if (index == keys + clicks) return key(SDLK_ESCAPE);
    if (index > keys + clicks) return std::nullopt;
    const std::size_t i = index - keys;
    SDL_Event e{};
    e.type = SDL_MOUSEBUTTONUP;
    e.button.button = SDL_BUTTON_LEFT;
    e.button.state = SDL_RELEASED;
    e.button.x = Uint16(35 + 35 * (i % 9) + 17);
    e.button.y = Uint16(100 + 35 * ((i / 9) % 18) + 17);
    return e;
}

// Writes the process's peak resident memory, in KiB, to the file named by KELVO_BENCH_PEAK. Read
// here rather than from the parent's wait4: a child's peak there starts with its parent's
// size, which it had before its exec.
void reportPeak() {
    const char* path = std::getenv("KELVO_BENCH_PEAK");
    if (!path) return;
    std::FILE* status = std::fopen("/proc/self/status", "re");
    if (!status) return;
    char line[256];
    long peak = -1;
    while (peak < 0 && std::fgets(line, sizeof line, status))
        if (std::sscanf(line, "VmHWM: %ld kB", &peak) != 1) peak = -1;
    std::fclose(status);
    if (std::FILE* out = std::fopen(path, "we")) {
        std::fprintf(out, "%ld\n", peak);
        std::fclose(out);
    }
}

struct PeakAtExit {
    ~PeakAtExit() {
        if (mode() != Mode::Untouched) reportPeak();
    }
} peakAtExit;

} // namespace

extern "C" int SDL_Flip(SDL_Surface* screen) {
    static const auto real = reinterpret_cast<int (*)(SDL_Surface*)>(dlsym(RTLD_NEXT, "SDL_Flip"));
    const int result = real(screen);
    if (mode() == Mode::FirstFlip) {
        reportPeak();
        _exit(0);
    }
    return result;
}

// Once the script is played every wait gets a quit request, which ends the program from the menu.
// What SDL itself queued meanwhile is read and dropped, as the screens would have ignored it.
extern "C" int SDL_WaitEvent(SDL_Event* event) {
    static const auto real =
        reinterpret_cast<int (*)(SDL_Event*)>(dlsym(RTLD_NEXT, "SDL_WaitEvent"));
    if (mode() != Mode::Session) return real(event);
    static std::size_t next = 0;
    for (SDL_Event ignored; SDL_PollEvent(&ignored) == 1;) {
    }
    SDL_Event quit{};
    quit.type = SDL_QUIT;
    const SDL_Event e = sessionEvent(next++).value_or(quit);
    if (event) *event = e;
    return 1;
}
