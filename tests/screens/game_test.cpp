// The game and victory screens, played through SDL's queue and compared pixel for pixel. The game
// restarts the video system, which empties the queue: its events are queued as the video starts.

#include "screen_test.h"
#include "solver/solver.h"

using GameTest = ScreenTest;

// The game's window: its background, a frame round the board, the goal tile k - 1 and each
// cell's tile (none for a cell without a colour).
static Surface gameScreen(const Grid& board, int32_t k) {
    Surface s = canvas(gameWindowWidth, gameWindowHeight(board.size));
    put(s, gamePicture, 0, 0);
    const int w = boardFrameWidth, side = tileSize * board.size + 2 * w;
    SDL_Rect frame{Sint16(boardLeft - w), Sint16(boardTop - w), Uint16(side), Uint16(side)};
    SDL_FillRect(s.get(), &frame, 0xa498f0); // the frame's colour, then the board's square inside
    SDL_Rect inside{Sint16(boardLeft), Sint16(boardTop), Uint16(side - 2 * w),
                    Uint16(side - 2 * w)};
    SDL_BlitSurface(Surface{SDL_LoadBMP(gamePicture)}.get(), &inside, s.get(), &inside);
    putTile(s, k - 1, goalX, goalY);
    for (int x = 0; x < board.size; ++x)
        for (int y = 0; y < board.size; ++y)
            putTile(s, board.cells[x][y], boardLeft + tileSize * x, boardTop + tileSize * y);
    return s;
}
// The line under the board: the moves, then the keys, or that the start cannot be won, or that
// a motif with a negative value has no hint.
static void putStatus(const Surface& s, int moves, const Grid& start, const Motif& m, int k,
                      bool torus) {
    const bool hints = std::ranges::none_of(m, [](int32_t v) { return v < 0; });
    const char* keys =
        !hints ? "Pas d'indice avec ce motif    Retour arriere : annuler    Echap : menu"
        : solveForGame(start, m, k, torus).solvable
            ? "H : indice    Retour arriere : annuler    Echap : menu"
            : "Ce plateau ne peut pas etre gagne    Echap : menu";
    const int y = statusTop(start.size);
    putText(s, statusFontPoints, "Coups : " + std::to_string(moves), white, boardLeft, y);
    putText(s, statusFontPoints, keys, white, statusKeysLeft, y);
}
// The victory's own window: the message in black, centred at the top of its picture, and the
// fewest clicks that won from the start under it.
static Surface victoryScreen(int moves, const Solution& fewest) {
    Surface s = canvas(windowWidth, windowHeight);
    put(s, victoryPicture, 0, 0);
    putText(s, victoryFontPoints, "Vous avez reussi en " + std::to_string(moves) + " coups.", black,
            -1, messageTop);
    putText(s, minimumFontPoints,
            "Le minimum etait " + std::string(fewest.proven ? "de " : "au mieux de ") +
                std::to_string(fewest.fewestClicks) + " coups.",
            black, -1, minimumLineTop);
    return s;
}

TEST_F(GameTest, ReleasesOnTheBoardPlayUntilVictoryEscapeOrAQuitRequest) {
    const char *cross = "0 1 0 \n1 1 1 \n0 1 0 \n", *ones = "1 1 1 \n1 1 1 \n1 1 1 \n";
    const SDL_Event quit = quitRequest();
    // The settings, the motif, the events, the cells they play and the events left in the queue.
    // clang-format off
    using Cells = std::vector<std::pair<int, int>>;
    const std::tuple<GameConfig, const char*, Events, Cells, int> cases[] = {
        // The first pixel column and row of the board miss, as do the pixels just past it; the
        // last pixel belongs to the last column; every button plays, a press alone does not.
        {{}, cross, {release(35, 117), release(52, 100), release(175, 117), release(52, 240),
                     release(174, 101), onCell(0, 3, SDL_BUTTON_RIGHT), onCell(0, 3, 5),
                     onCell(1, 1, 4), onCell(2, 1, SDL_BUTTON_MIDDLE),
                     release(60, 160, 1, SDL_MOUSEBUTTONDOWN), key(SDLK_a), key(SDLK_ESCAPE),
                     onCell(2, 2), quit}, {{3, 0}, {0, 3}, {0, 3}, {1, 1}, {2, 1}}, 2},
        {{18, 3, 0, 1}, cross, {onCell(0, 0), onCell(17, 17), release(664, 729), quit},
         {{0, 0}, {17, 17}, {17, 17}}, 0},
        // The solving move opens the victory screen, which ignores releases.
        {{2, 2, 0, 0}, ones, {onCell(1, 1), onCell(0, 0), key(SDLK_a), key(SDLK_UP)}, {{1, 1}}, 1},
        {{2, 2, 0, 0}, ones, {onCell(1, 1), quit, key(SDLK_UP)}, {{1, 1}}, 1},
        {{5, 3, 0, 0}, "-1 0 0 \n0 2 0 \n0 0 -2 \n", {onCell(2, 2), onCell(0, 0), quit},
         {{2, 2}, {0, 0}}, 0},
        {{5, 4, 1, 0}, cross, {key(SDLK_ESCAPE), quit}, {}, 1}};
    // clang-format on
    // Again without tile 1 and the font: what is missing is left out.
    for (bool missing : {false, true}) {
        if (missing && fs::remove(tilePictures[1]) && fs::remove(fontPath)) releaseAssets();
        for (int i = 0; const auto& [config, motif, events, moves, left] : cases) {
            SCOPED_TRACE("case " + std::to_string(i++) + (missing ? " with pictures missing" : ""));
            writeFile(motifPath, motif);
            fs::remove(tracePath);
            atVideoStart = inTurn({events});
            std::srand(1);
            runGame(menuWindow(), config);

            const int32_t n = config.size, k = config.colorCount;
            Grid board = newGrid(n), counts = newGrid(n);
            std::srand(1);
            if (config.randomStart) fillRandom(board, k);
            Motif played{};
            loadMotif(motifPath, played);
            const Grid start = board;
            for (auto [x, y] : moves)
                board = playMove(board, x, y, played, k, config.torus != 0), ++counts.cells[x][y];
            EXPECT_EQ(moveCount, int32_t(moves.size()));
            EXPECT_EQ(readFile(tracePath), moves.empty() ? "" : traceText(counts));
            const bool won = checkSolved(board, k) == Won;
            Surface shown = won ? victoryScreen(int(moves.size()),
                                                solveForGame(start, played, k, config.torus != 0))
                                : gameScreen(board, k);
            if (!won) putStatus(shown, int(moves.size()), start, played, k, config.torus != 0);
            EXPECT_EQ(difference(shown), "");
            EXPECT_EQ(drain(), left);
        }
    }
}
