// A scripted session through every screen, as a player would go: the start picture, the
// configuration (a 3 x 3 board), the motif editor (a new motif saved with Return), a game played
// to victory and the menu's quit request. Its events are queued each time the video system starts.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "board/motif.h"
#include "board/trace.h"
#include "screen_fixture.h"
#include "screens/config.h"
#include "screens/display.h"
#include "screens/game.h"
#include "screens/menu.h"

namespace session {

// What the editor's clicks turn the motif into, unlike the cross the run directory starts with.
inline constexpr Motif editedMotif{1, 1, 0, 1, 0, 0, 0, 0, 1};
inline constexpr int32_t boardSide = 3;
inline constexpr int32_t colours = 2;

struct Result {
    int status = -1;     // what runMainMenu returned
    int videoStarts = 0; // the program's own, then the game's
    bool motifFileBefore = false;
    std::string motifBefore; // the motif file's bytes when the session began
    Motif gameMotif{};       // the motif the game played with
    std::vector<Cell> moves; // the moves that solve the board with it; empty when none does
    Grid counts;             // the click counts of those moves
};

// The file's bytes; "" when it is missing or not a file.
inline std::string readFile(const std::string& path) {
    if (!std::filesystem::is_regular_file(path)) return "";
    std::ifstream in(path, std::ios::binary);
    // One read of the whole file: the hostile motif files are 100 MB.
    std::string bytes(std::filesystem::file_size(path), '\0');
    in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    bytes.resize(static_cast<std::size_t>(in.gcount()));
    return bytes;
}

inline bool isFile(const char* path) { return std::filesystem::is_regular_file(path); }

// The session's events, queued as the screen tests queue theirs.
inline void push(SDL_Event e) { ScreenTest::push(e); }
inline void key(SDLKey k) { ScreenTest::pushKey(k); }
inline void quit() { ScreenTest::pushQuit(); }
inline void click(int x, int y) { ScreenTest::pushClick(x, y); }

// The fewest moves (each cell clicked at most k - 1 times, row by row) that solve an empty
// bounded board with this motif; empty when none does.
inline std::vector<Cell> solve(const Motif& motif) {
    const int cells = boardSide * boardSide;
    std::vector<Cell> best;
    for (int chosen = 1; chosen < (1 << cells); ++chosen) {
        std::vector<Cell> moves;
        for (int c = 0; c < cells; ++c)
            if (chosen & (1 << c)) moves.push_back({c % boardSide, c / boardSide});
        if (!best.empty() && moves.size() >= best.size()) continue;
        Grid board = newGrid(boardSide);
        GameState state = Playing;
        for (std::size_t i = 0; i < moves.size() && state == Playing; ++i) {
            board = playMove(board, moves[i].x, moves[i].y, motif, colours, false);
            state = checkSolved(board, colours);
            if (state == Won && i + 1 < moves.size()) state = Aborted; // won too early
        }
        if (state == Won) best = moves;
    }
    return best;
}

struct State {
    Result result;
    std::function<void(int)> onStart;
};
inline State* current = nullptr;

// The program's start: the start picture, the configuration, the editor, and into the game.
inline void queueMenuPart() {
    key(SDLK_SPACE);
    key(SDLK_DOWN);
    key(SDLK_RETURN);
    key(SDLK_LEFT); // board side 4 -> 3
    for (int i = 0; i < 4; ++i) key(SDLK_DOWN);
    key(SDLK_RETURN); // "Terminer >>"
    key(SDLK_DOWN);
    key(SDLK_RETURN);
    // The editor reads the file first: from what it will hold, click each value to its target.
    Motif shown = currentMotif;
    loadMotif(motifPath, shown);
    for (int i = 0; i < 9; ++i) {
        for (int guard = 0; shown[i] != editedMotif[i] && guard < 3; ++guard) {
            click(motifLeft + tileSize * (i / 3) + tileSize / 2,
                  motifTop + tileSize * (i % 3) + tileSize / 2);
            shown[i] = static_cast<int32_t>((int64_t{shown[i]} + 1) % 2);
        }
    }
    key(SDLK_RETURN); // save
    key(SDLK_UP);
    key(SDLK_UP);
    key(SDLK_RETURN); // "Jouer"
}

// The game's start: the game reads the motif file over what the editor left, then the moves.
inline void queueGamePart(Result& result) {
    result.gameMotif = currentMotif;
    loadMotif(motifPath, result.gameMotif);
    result.moves = solve(result.gameMotif);
    result.counts = newGrid(boardSide);
    for (Cell cell : result.moves) {
        click(boardLeft + tileSize * cell.x + tileSize / 2,
              boardTop + tileSize * cell.y + tileSize / 2);
        result.counts.cells[cell.x][cell.y] += 1;
    }
    // A release the victory screen ignores (a game still going would count it), the key that
    // ends the victory screen, the menu's quit request; two more so that nothing waits forever.
    click(boardLeft + tileSize / 2, boardTop + tileSize / 2);
    key(SDLK_SPACE);
    quit();
    quit();
    quit();
}

inline void onVideoStart() {
    Result& result = current->result;
    const int start = result.videoStarts++;
    if (current->onStart) current->onStart(start);
    if (start == 0) {
        queueMenuPart();
    } else if (start == 1) {
        queueGamePart(result);
    } else {
        quit(); // not expected: the result says so, and the program still ends
        quit();
    }
}

// Runs the session through runMainMenu; onStart(0) is called as the program's video starts (before
// the editor) and onStart(1) as the game's does (after the save).
inline Result run(std::function<void(int)> onStart = {}) {
    State state;
    state.onStart = std::move(onStart);
    state.result.motifFileBefore = isFile(motifPath);
    state.result.motifBefore = readFile(motifPath);
    configCursor = 0;
    moveCount = -1;
    current = &state;
    afterVideoStart = onVideoStart;
    state.result.status = runMainMenu();
    afterVideoStart = nullptr;
    current = nullptr;
    return state.result;
}

// What a session must leave whatever failed: the program ended normally, the game reached
// victory and stopped there, and the motif file holds either the edited motif (saveWorks) or
// exactly what it held before. traceWorks: "trace.txt" shows the game's clicks.
inline void expectSound(const Result& r, bool saveWorks, bool traceWorks) {
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.videoStarts, 2);
    EXPECT_FALSE(r.moves.empty()) << "no victory possible with the game's motif";
    EXPECT_EQ(moveCount, static_cast<int32_t>(r.moves.size())) << "the game did not end in victory";
    if (saveWorks) {
        EXPECT_EQ(readFile(motifPath), motifText(editedMotif));
        EXPECT_EQ(r.gameMotif, editedMotif);
    } else {
        EXPECT_EQ(isFile(motifPath), r.motifFileBefore);
        EXPECT_EQ(readFile(motifPath), r.motifBefore) << "a failed save changed the motif file";
    }
    if (traceWorks) {
        EXPECT_EQ(readFile(tracePath), traceText(r.counts));
    }
}

} // namespace session
