// The game and victory screens, played through SDL's queue and compared pixel for pixel, with the
// player's aids: undo, keyboard play, the status line and the hint. The game restarts the video
// system, which empties the queue: its events are queued as the video starts.
#include "screen_test.h"
#include "solver/solver.h"

using GameTest = ScreenTest;
using Cells = std::vector<std::pair<int, int>>;

// The victory's own window: the message in black, centred at the top of its picture, and the
// fewest clicks that won from the start under it.
static Surface victoryScreen(int moves, int64_t fewest, bool proven) {
    Surface s = canvas(victoryPicture);
    putText(s, victoryFontPoints, "Vous avez reussi en " + std::to_string(moves) + " coups.", black,
            -1, messageTop);
    putText(s, minimumFontPoints,
            "Le minimum etait " + std::string(proven ? "de " : "au mieux de ") +
                std::to_string(fewest) + " coups.",
            black, -1, minimumLineTop);
    return s;
}

// One game: the settings, the motif, the events, the cells they play, the events they leave in
// the queue and the keys under the board. A game won shows the victory, won in one click.
struct GameRow {
    GameConfig config = {};
    const char* motif = "0 1 0 \n1 1 1 \n0 1 0 \n";
    Events events = {};
    Cells moves = {};
    int left = 0;
    const char* status = winnable;
};

TEST_F(GameTest, ReleasesOnTheBoardPlayUntilVictoryEscapeOrAQuitRequest) {
    // clang-format off
    const SDL_Event quit = quitRequest(), Bs = key(SDLK_BACKSPACE), Ret = key(SDLK_RETURN),
        Sp = key(SDLK_SPACE), U = key(SDLK_UP), D = key(SDLK_DOWN), L = key(SDLK_LEFT),
        R = key(SDLK_RIGHT), H = key(SDLK_h), Esc = key(SDLK_ESCAPE), F1 = key(SDLK_F1),
        press = release(0, 0, 1, SDL_MOUSEBUTTONDOWN), ctrlZ = key(SDLK_z, KMOD_RCTRL),
        ctrlY = key(SDLK_y, KMOD_LCTRL), ctrlShiftZ = key(SDLK_z, SDLMod(KMOD_RCTRL | KMOD_LSHIFT)),
        question = key(SDLK_COMMA, KMOD_NONE, '?'); // on a French keyboard
    const char* ones = "1 1 1 \n1 1 1 \n1 1 1 \n";
    const GameRow rows[] = {
        // The first pixel column and row of the board miss, as do the pixels just past it; the
        // last pixel belongs to the last column; every button plays, a press alone does not.
        {.events = {release(35, 117), release(52, 100), release(175, 117), release(52, 240),
                    release(174, 101), onCell(0, 3, SDL_BUTTON_RIGHT), onCell(0, 3, 5),
                    onCell(1, 1, 4), onCell(2, 1, SDL_BUTTON_MIDDLE),
                    release(60, 160, 1, SDL_MOUSEBUTTONDOWN), key(SDLK_a), Esc, onCell(2, 2), quit},
         .moves = {{3, 0}, {0, 3}, {0, 3}, {1, 1}, {2, 1}}, .left = 2},
        {.config = {.size = 18, .colorCount = 3, .torus = 1},
         .events = {onCell(0, 0), onCell(17, 17), release(664, 729), quit},
         .moves = {{0, 0}, {17, 17}, {17, 17}}},
        // The solving move opens the victory screen: it ignores releases, a key or a quit request
        // closes it.
        {.config = {.size = 2}, .motif = ones,
         .events = {onCell(1, 1), onCell(0, 0), key(SDLK_a), U}, .moves = {{1, 1}}, .left = 1},
        {.config = {.size = 2}, .motif = ones, .events = {onCell(1, 1), quit, U}, .moves = {{1, 1}},
         .left = 1},
        // H marks nothing with a negative motif, nor on a start that cannot be won; a move taken
        // back takes its mark away.
        {.config = {.size = 5, .colorCount = 3}, .motif = "-1 0 0 \n0 2 0 \n0 0 -2 \n",
         .events = {onCell(2, 2), onCell(0, 0), H, quit}, .moves = {{2, 2}, {0, 0}},
         .status = "Pas d'indice avec ce motif    Retour arriere : annuler    F1 : aide"},
        {.config = {.size = 5, .colorCount = 4, .randomStart = 1},
         .events = {H, Esc, quit}, .left = 1,
         .status = "Ce plateau ne peut pas etre gagne    N : autre plateau    F1 : aide"},
        {.events = {onCell(1, 1), onCell(2, 2), H, Bs, quit}, .moves = {{1, 1}}},
        // Backspace and Ctrl+Z undo, Ctrl+Y and Ctrl+Shift+Z redo, not Z or Y alone; R takes
        // every move back, N starts the board again.
        {.events = {onCell(1, 1), onCell(2, 2), onCell(3, 3), key(SDLK_z), Bs, ctrlZ, key(SDLK_y),
                    ctrlY, ctrlShiftZ, ctrlShiftZ, key(SDLK_r), ctrlY, onCell(0, 3), quit},
         .moves = {{1, 1}, {0, 3}}},
        {.events = {onCell(1, 1), key(SDLK_n), onCell(2, 2), key(SDLK_r), ctrlY, quit},
         .moves = {{2, 2}}},
        // F1 or ? shows the keys until the next key or click, which does nothing else.
        {.events = {F1, onCell(1, 1), question, Esc, F1, press, onCell(2, 2), F1, H, onCell(0, 0),
                    quit}, .moves = {{0, 0}}},
        // The first key shows the cursor at the top-left cell, the next ones move it up to the
        // edges and play; a mouse button hides it, and the first key after shows it where it was.
        {.config = {.size = 5, .colorCount = 3, .torus = 1},
         .events = {Ret, Ret, R, R, R, R, R, R, Sp, D, L, Ret, release(0, 0), D, Sp, U, U, U, Sp, D,
                    press, quit}, .moves = {{0, 0}, {4, 0}, {3, 1}, {3, 1}, {3, 0}}}};
    // clang-format on
    // Again without tile 1 and the font: what is missing is left out.
    for (bool missing : {false, true}) {
        if (missing && fs::remove(tilePictures[1]) && fs::remove(fontPath)) releaseAssets();
        for (int i = 0; const GameRow& row : rows) {
            SCOPED_TRACE("row " + std::to_string(i++) + (missing ? " with pictures missing" : ""));
            writeFile(motifPath, row.motif);
            fs::remove(tracePath);
            atVideoStart = inTurn({row.events});
            std::srand(1);
            runGame(menuWindow(), row.config);

            const int32_t n = row.config.size, k = row.config.colorCount;
            const int moves = int(row.moves.size());
            Grid board = newGrid(n), counts = newGrid(n);
            std::srand(1);
            if (row.config.randomStart) fillRandom(board, k);
            Motif played{};
            loadMotif(motifPath, played);
            for (auto [x, y] : row.moves) {
                board = playMove(board, x, y, played, k, row.config.torus != 0);
                ++counts.cells[x][y];
            }
            EXPECT_EQ(moveCount, moves);
            EXPECT_EQ(readFile(tracePath), moves == 0 ? "" : traceText(counts));
            int wide = 0; // the line fits even in a window of 640
            if (font(statusFontPoints)) TTF_SizeText(font(statusFontPoints), row.status, &wide, 0);
            EXPECT_LE(statusKeysLeft + wide, windowWidth);
            const bool won = checkSolved(board, k) == Won;
            const Surface want =
                won ? victoryScreen(moves, 1, true) : gameScreen(board, k, moves, row.status);
            EXPECT_EQ(difference(want), "");
            EXPECT_EQ(drain(), row.left);
        }
    }
}

// What the player does each time the game has painted and waits with nothing queued.
static std::function<void()> player;
// The cells framed in the hint's colour: the middles of their four edges show it.
static Cells marked(int32_t n) {
    const SDL_Surface* w = SDL_GetVideoSurface();
    const auto hint = [w](int x, int y) {
        return static_cast<const Uint32*>(w->pixels)[y * w->pitch / 4 + x] ==
               SDL_MapRGB(w->format, hintColor.r, hintColor.g, hintColor.b);
    };
    Cells cells;
    for (int c = 0; c < n * n; ++c) {
        const int x = boardLeft + tileSize * (c % n), y = boardTop + tileSize * (c / n),
                  e = tileSize - 1;
        if (hint(x + e / 2, y) && hint(x + e / 2, y + e) && hint(x, y + e / 2) &&
            hint(x + e, y + e / 2))
            cells.emplace_back(c % n, c / n);
    }
    return cells;
}

// H, then a release on the one cell it marks, again and again: the game is won within the fewest
// clicks, and the victory says how many they were.
TEST_F(GameTest, FollowingTheHintWinsWithAtMostTheFewestClicks) {
    const Motif cross{0, 1, 0, 1, 1, 1, 0, 1, 0};
    writeFile(motifPath, motifText(cross));
    whenIdle = [] { player(); };
    const GameConfig configs[] = {
        {}, {.size = 5, .torus = 1}, {.colorCount = 4}, {.size = 5, .colorCount = 4, .torus = 1}};
    for (const GameConfig c : configs) {
        const Solution start = solveForGame(newGrid(c.size), cross, c.colorCount, c.torus);
        bool asked = false;
        player = [&] {
            const bool playing = SDL_GetVideoSurface()->w != windowWidth;
            const Cells cells = playing ? marked(c.size) : Cells();
            if (playing &&
                (moveCount >= start.fewestClicks || cells.size() > 1 || (asked && cells.empty())))
                ADD_FAILURE() << "H marked " << cells.size() << " cells after " << moveCount;
            asked = cells.empty();
            queue({!playing || HasFailure() ? quitRequest()
                   : asked                  ? key(SDLK_h)
                                            : onCell(cells[0].first, cells[0].second)});
        };
        runGame(nullptr, c); // the victory's window stays open
        EXPECT_EQ(difference(victoryScreen(moveCount, start.fewestClicks, start.proven)), "")
            << c.size << " " << c.colorCount;
    }
}

// F1 shows under the keys the code of the board the game started from, in lines of
// codeLineLength characters inside the panel, which a line of the widest character fits; a motif
// with a negative value has no code.
TEST_F(GameTest, TheKeysPanelShowsTheStartBoardsCode) {
    CodedBoard full{{18, 5, 0, 1}, {1, 0, 0, 0, 2, 0, 0, 0, 3}, newGrid(18)};
    for (auto& column : full.start.cells) column.fill(4);
    const Motif negative{0, 1, 0, 1, -1, 1, 0, 1, 0};
    writeFile(motifPath, motifText(negative));
    for (const std::string& code : {encodeBoardCode(full).value(), std::string()}) {
        atVideoStart = inTurn({{onCell(0, 0), key(SDLK_F1), quitRequest()}});
        code.empty() ? runGame(nullptr, {}) : runSharedGame({full, ""});
        const CodedBoard b = code.empty() ? CodedBoard{{}, negative, newGrid(4)} : full;
        const int32_t k = b.config.colorCount;
        Surface want = gameScreen(playMove(b.start, 0, 0, b.motif, k, b.config.torus), k, 1,
                                  code.empty() ? "Pas d'indice avec ce motif    Retour arriere : "
                                                 "annuler    F1 : aide"
                                               : winnable);
        // The panel in its frame, its keys as the window shows them, then the code's lines.
        const int keys = 11, codeLines = int(code.size() + codeLineLength - 1) / codeLineLength,
                  w = boardFrameWidth, y = keysPanelTop + keysPanelMargin + keysLinePitch * keys;
        SDL_Rect panel{keysPanelLeft, keysPanelTop, keysPanelWidth,
                       Uint16(y + keysPanelMargin + keysLinePitch * (codeLines + (codeLines > 0)) -
                              keysPanelTop)},
            in{Sint16(panel.x + w), Sint16(panel.y + w), Uint16(panel.w - 2 * w),
               Uint16(panel.h - 2 * w)},
            shown{in.x, in.y, in.w, Uint16(y - in.y)};
        SDL_FillRect(want.get(), &panel, 0xa498f0);
        SDL_FillRect(want.get(), &in, 0);
        SDL_BlitSurface(SDL_GetVideoSurface(), &shown, want.get(), &shown);
        for (int line = 0; line <= codeLines && codeLines > 0; ++line)
            putText(want, statusFontPoints,
                    line == 0 ? "Code du plateau :"
                              : code.substr((line - 1) * codeLineLength, codeLineLength),
                    white, keysPanelLeft + keysPanelMargin, y + keysLinePitch * line);
        EXPECT_EQ(difference(want), "") << code;
    }
    int wide = 0;
    TTF_SizeText(font(statusFontPoints), std::string(codeLineLength, 'W').c_str(), &wide, nullptr);
    EXPECT_LE(wide, keysPanelWidth - 2 * keysPanelMargin);
}
