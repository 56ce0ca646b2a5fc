// What differs between the desktop and the browser, and nothing else: desktop.cpp and web.cpp
// implement it, and the build links the one for its platform.
#pragma once

#include <string>

struct SDL_Surface;
union SDL_Event;

// Saving files.
// Called before a new file is made: the browser's umask of 0777 would make it unreadable.
void prepareNewFiles();
// Puts the finished temporary file in the place of file. exchange: swap the two names where the
// system can (Linux), which spares ext4 a wait for the disk, and remove the old content.
bool putInPlace(const std::string& temporary, const std::string& file, bool exchange);
// Called after a file that must survive a power cut is saved: the browser copies its files to
// its own storage.
void keepSavedFiles();

// Screens.
// Whether the video system may be started again after SDL_Quit (a browser's may not).
bool restartsVideo();
// Blocks for the next event; false when the event system fails.
bool nextEvent(SDL_Event& event);
// The file that holds the picture the game names path (a ".bmp" under ./rc/).
std::string pictureFile(const std::string& path);
// Sets the window's icon, where there is a window manager to show it.
void setWindowIcon(SDL_Surface* icon);
// Called after each frame is put on the screen: the page hides its loading line at the first.
void framePainted();

// The page around the game.
// Called when the game screen shows a start board, with its code (empty when it has none), and
// with "" when the game screen is left: the page's address carries the code.
void boardShown(const std::string& code);
// Called when the board of the day is won, with the line of text a player may share.
void dailyWon(const std::string& shareLine);
// Called with the one line that says why the program's arguments are not played, which the
// desktop writes on stderr: the page shows it.
void argumentRefused(const std::string& line);
