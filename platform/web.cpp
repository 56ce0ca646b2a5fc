// The browser: the game waits for events by sleeping so that the page runs, the pictures are PNG
// files the browser decodes, and the files live in memory, copied to the browser's storage.
#include <SDL.h>
#include <emscripten.h>
#include <stdio.h>
#include <sys/stat.h>

#include "platform/platform.h"

void prepareNewFiles() { ::umask(022); }

bool putInPlace(const std::string& temporary, const std::string& file, bool /*exchange*/) {
    return ::rename(temporary.c_str(), file.c_str()) == 0;
}

// The page mounts the browser's own storage (IndexedDB) under the game's folder.
void keepSavedFiles() {
    EM_ASM({
        FS.syncfs(
            false, function(error) {
                if (error) console.error('kelvo: cannot keep the files: ' + error);
            });
    });
}

// A browser's SDL ignores SDL_Quit and takes new memory at each SDL_Init: it starts once.
bool restartsVideo() { return false; }

// Between two looks at the event queue the browser runs the page and delivers its events: a
// click waits 2.5 ms on average, well within a frame.
constexpr int eventPollMs = 5;

bool nextEvent(SDL_Event& event) {
    while (SDL_PollEvent(&event) != 1) emscripten_sleep(eventPollMs);
    return true;
}

std::string pictureFile(const std::string& path) {
    const std::size_t dot = path.rfind(".bmp");
    return dot == std::string::npos ? path : path.substr(0, dot) + ".png";
}

// A page shows its own icon.
void setWindowIcon(SDL_Surface* /*icon*/) {}

void framePainted() {
    EM_ASM({
        if (Module.painted) Module.painted();
    });
}

// Hands the text to the page's function Module[hook], where the page has one.
EM_JS(void, tellPage, (const char* hook, const char* text), {
    const name = UTF8ToString(hook);
    if (Module[name]) Module[name](UTF8ToString(text));
});

void boardShown(const std::string& code) { tellPage("boardShown", code.c_str()); }

void dailyWon(const std::string& shareLine) { tellPage("dailyWon", shareLine.c_str()); }

void argumentRefused(const std::string& line) { tellPage("argumentRefused", line.c_str()); }

// The page's close button: a quit request, as closing the desktop window.
extern "C" EMSCRIPTEN_KEEPALIVE void kelvoClose() {
    SDL_Event event{};
    event.type = SDL_QUIT;
    SDL_PushEvent(&event);
}
