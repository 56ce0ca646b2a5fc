// Where everything stands on the screens and where the pictures are, shared by the screens, the
// pictures tool, the tests and the benchmark. No SDL here.
#pragma once

#include <algorithm>
#include <array>

#include "board/game_config.h"
#include "board/grid.h"

// Pitch of board and motif tiles, in pixels, on both axes; every tile picture is this square.
inline constexpr int tileSize = 35;

// The 640 x 480 window of the start picture, the menu, the configuration, the editor and the
// victory screen.
inline constexpr int windowWidth = 640;
inline constexpr int windowHeight = 480;

// The game screen: the board's top-left corner, the goal tile, the window.
inline constexpr int boardLeft = 35;
inline constexpr int boardTop = 100;
inline constexpr int goalX = 453;
inline constexpr int goalY = 13;
inline constexpr int gameWindowWidth = 700;
// The game window's height for a board of side n: the board and one tile of margin under it,
// never less than the other screens' height.
constexpr int gameWindowHeight(int n) {
    return std::max(windowHeight, boardTop + tileSize * n + tileSize);
}
inline constexpr int maxGameWindowHeight = gameWindowHeight(maxGridSize);

// The frame drawn round the board at its real size, outside its square, and the status line in
// the band under the board (every board side leaves at least one tile's height there).
inline constexpr int boardFrameWidth = 4;
constexpr int statusTop(int n) { return boardTop + tileSize * n + boardFrameWidth + 3; }
inline constexpr int statusFontPoints = 16;
// The keys' part of the status line, right of a move count of up to five digits, so that it stays
// in place as the count grows.
inline constexpr int statusKeysLeft = boardLeft + 120;

// The marks over a cell, each a frame in its colour with a black line inside it, so that it shows
// on every tile: the hint's along the cell's edge, the keyboard's cursor inside it.
inline constexpr int hintFrameWidth = 4;
inline constexpr int cursorInset = 5;
inline constexpr int cursorFrameWidth = 3;

// The panel that lists the keys over the game's board: its top-left corner, its width, the margin
// inside its frame and the pitch of its lines. Under the keys it shows the board's code in lines
// of codeLineLength characters (the longest code, 160, in four), and it is wide enough for such a
// line of the widest character, W, 14 pixels in the status line's font.
inline constexpr int keysPanelLeft = boardLeft;
inline constexpr int keysPanelTop = boardTop;
inline constexpr int keysPanelWidth = 584;
inline constexpr int keysPanelMargin = 12;
inline constexpr int keysLinePitch = 22;
inline constexpr int codeLineLength = 40;

// Every window is scaled by the largest multiple of a half, at least 1, at which the largest game
// window fits within this share of the desktop's width and height.
inline constexpr int desktopSharePercent = 90;

// The motif editor's 3 x 3 block of tiles.
inline constexpr int motifLeft = 267;
inline constexpr int motifTop = 100;

// Titles, menu items and configuration lines.
inline constexpr int titleX = 50;
inline constexpr int titleY = 30;
inline constexpr int itemX = 80;
// The golden rule the menu, configuration and editor pictures draw between title and first line.
inline constexpr int titleRuleY = 88;
// The menu's marker tile, left of each item at the item's own top edge.
inline constexpr int markerX = 35;
// Gaps between stacked lines of text: under a title, between menu items, between configuration
// lines, and before the configuration's last line.
inline constexpr int titleGap = 40;
inline constexpr int itemGap = 20;
inline constexpr int lineGap = 10;
inline constexpr int lastLineGap = 50;
// Index of the configuration's last line, "Terminer >>".
inline constexpr int lastConfigItem = 4;
// Top edge of the victory message, and of the line under it with the fewest clicks, which stays
// in the light band above the bunting of the victory picture (from row 74).
inline constexpr int messageTop = 20;
inline constexpr int minimumLineTop = 52;

// The line that says what the keys do, at the bottom of the motif editor.
inline constexpr int helpLineTop = windowHeight - 40;

// Font sizes, in points.
inline constexpr int menuFontPoints = 30;
inline constexpr int victoryFontPoints = 25;
inline constexpr int minimumFontPoints = 16;

// The pictures and the font, relative to the game's working directory.
inline constexpr const char* startPicture = "./rc/start.bmp";
inline constexpr const char* menuPicture = "./rc/bgindex.bmp";
inline constexpr const char* configPicture = "./rc/background.bmp";
inline constexpr const char* gamePicture = "./rc/game.bmp";
inline constexpr const char* victoryPicture = "./rc/win.bmp";
inline constexpr const char* iconPicture = "./rc/icon.bmp";
inline constexpr std::array<const char*, maxColorCount> tilePictures = {
    "./rc/0.bmp", "./rc/1.bmp", "./rc/2.bmp", "./rc/3.bmp", "./rc/4.bmp"};
inline constexpr const char* fontPath = "./rc/Chalkduster.ttf";
