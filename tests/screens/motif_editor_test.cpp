// The motif editor: left releases switch the tiles, Return saves ./rc/motif.txt, Escape and a quit
// request leave the file as it was; driven through SDL's queue and compared pixel for pixel.
#include "screen_test.h"

using MotifEditorTest = ScreenTest;

// The menu's background, the title and the keys' line in white and m[3a + b] in column a, row b
// (nothing for a value without a tile).
static Surface editorScreen(const Motif& m) {
    Surface s = canvas(menuPicture);
    putText(s, menuFontPoints, "Editer le motif :", white, titleX, titleY);
    putText(s, statusFontPoints,
            "Clic : changer une case    Entree : enregistrer    Echap : annuler", white, titleX,
            helpLineTop);
    for (int i = 0; i < 9; ++i)
        putTile(s, m[i], motifLeft + tileSize * (i / 3), motifTop + tileSize * (i % 3));
    return s;
}

TEST_F(MotifEditorTest, LeftReleasesStrictlyInsideSwitchReturnSavesEscapeKeepsTheFile) {
    // Not in the form the editor writes, so that any rewrite shows.
    const std::string odd = "1  0 0\n0 1 0\n0 0 1";
    const SDL_Event Ret = key(SDLK_RETURN);
    // The file, the events, the motif shown and the file after them.
    struct EditorRow {
        std::string file;
        Events events = {};
        Motif shown = {};
        std::string saved = file;
    };
    // clang-format off
    const EditorRow rows[] = {
        // The block's first pixel column and row miss, as do the pixels just past it.
        {.file = odd, .events = {release(267, 117), release(319, 100), release(372, 150),
                                 release(319, 205), key(SDLK_ESCAPE), Ret},
         .shown = {1, 0, 0, 0, 1, 0, 0, 0, 1}},
        // Tiles of 35 pixels from the first pixel inside to the last; x picks the column.
        {.file = odd, .events = {release(268, 101), release(371, 204), release(301, 134),
                                 release(302, 135), release(354, 117), quitRequest(), Ret},
         .shown = {1, 0, 0, 0, 0, 0, 1, 0, 0}},
        // Only the left button's (1) release switches, not 2 to 5 nor a press.
        {.file = odd, .events = {release(302, 135, 3), release(302, 135, 2),
                                 release(302, 135, 4), release(302, 135, 5), key(SDLK_a),
                                 onMotif(8), release(302, 135, 1, SDL_MOUSEBUTTONDOWN), Ret},
         .shown = {1, 0, 0, 0, 1, 0, 0, 0, 0}, .saved = "1 0 0 \n0 1 0 \n0 0 0 \n"},
        // Values from the file switch with the truncating remainder (v + 1) % 2.
        {.file = "3 2 -2 \n7 -1 2147483647 \n-2147483648 0 1 \n",
         .events = {onMotif(0), onMotif(1), onMotif(2), onMotif(3), onMotif(4), onMotif(5),
                    onMotif(6), onMotif(7), onMotif(8), Ret},
         .shown = {0, 1, -1, 0, 0, 0, -1, 1, 0}, .saved = "0 1 -1 \n0 0 0 \n-1 1 0 \n"}};
    // clang-format on
    for (int i = 0; const EditorRow& row : rows) {
        SCOPED_TRACE("row " + std::to_string(i++));
        drain();
        writeFile(motifPath, row.file);
        queue(row.events);
        runMotifEditor(menuWindow());
        EXPECT_EQ(difference(editorScreen(row.shown)), "");
        EXPECT_EQ(readFile(motifPath), row.saved);
    }
}
