// The desktop: SDL waits for events itself, the pictures are bitmaps, and files are put in place
// by a rename.
#include <SDL.h>
#include <fcntl.h>
#include <stdio.h>
#include <unistd.h>

#include "platform/platform.h"

void prepareNewFiles() {}

// Renaming over an existing file makes ext4 write the new data out first, which costs
// milliseconds; exchanging the two names does not, and leaves the old content under the
// temporary name to remove. Where there is no exchange, a plain rename.
bool putInPlace(const std::string& temporary, const std::string& file, bool exchange) {
#ifdef RENAME_EXCHANGE
    if (exchange &&
        ::renameat2(AT_FDCWD, temporary.c_str(), AT_FDCWD, file.c_str(), RENAME_EXCHANGE) == 0) {
        ::unlink(temporary.c_str());
        return true;
    }
#else
    (void)exchange;
#endif
    return ::rename(temporary.c_str(), file.c_str()) == 0;
}

void keepSavedFiles() {}

bool restartsVideo() { return true; }

// SDL 1.2 reports a failure as 0, its SDL 2 based implementation as -1.
bool nextEvent(SDL_Event& event) { return SDL_WaitEvent(&event) == 1; }

std::string pictureFile(const std::string& path) { return path; }

// Magenta is the icon's transparent colour.
void setWindowIcon(SDL_Surface* icon) {
    if (!icon) return;
    SDL_SetColorKey(icon, SDL_SRCCOLORKEY, SDL_MapRGB(icon->format, 255, 0, 255));
    SDL_WM_SetIcon(icon, nullptr);
}

void framePainted() {}

void boardShown(const std::string& /*code*/) {}

void dailyWon(const std::string& /*shareLine*/) {}

void argumentRefused(const std::string& /*line*/) {}
