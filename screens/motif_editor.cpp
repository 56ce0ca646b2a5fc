// The motif editor's painting and event loop.
#include "screens/motif_editor.h"

#include <cstdint>

#include "screens/display.h"

namespace {

constexpr const char* editorTitle = "Editer le motif :";
constexpr const char* editorHelp =
    "Clic : changer une case    Entree : enregistrer    Echap : annuler";
constexpr int motifSide = 3;

// Paints the nine tiles of currentMotif over what the window shows, and flips.
void drawMotif(SDL_Surface* screen) {
    // Value m[3a + b] sits in column a, row b: the block looks as the motif acts on the board.
    for (int a = 0; a < motifSide; ++a)
        for (int b = 0; b < motifSide; ++b)
            paint(screen, tile(currentMotif[motifSide * a + b]), motifLeft + tileSize * a,
                  motifTop + tileSize * b);
    show(screen);
}

// A left-button release at (px, py): strictly inside the block it switches the value under the
// pointer with (v + 1) % 2 (truncating, so 2 gives 1 and -2 gives -1); elsewhere nothing.
void motifClick(Motif& motif, int px, int py) {
    const int extent = motifSide * tileSize;
    // Strict bounds, as on the game board: the block's first row and column of pixels miss.
    if (px <= motifLeft || px >= motifLeft + extent || py <= motifTop || py >= motifTop + extent)
        return;
    const int a = (px - motifLeft) / tileSize;
    const int b = (py - motifTop) / tileSize;
    int32_t& value = motif[motifSide * a + b];
    // On 64 bits so that the largest value read from the file cannot overflow.
    value = static_cast<int32_t>((int64_t{value} + 1) % 2);
}

} // namespace

void runMotifEditor(SDL_Surface* screen) {
    loadMotif();
    // Background, title and help line once: afterwards only the tiles are painted again.
    paint(screen, picture(menuPicture), 0, 0);
    paintText(screen, menuFontPoints, editorTitle, white, titleX, titleY);
    paintText(screen, statusFontPoints, editorHelp, white, titleX, helpLineTop);
    drawMotif(screen);
    for (bool editing = true; editing;) {
        const SDL_Event event = waitEvent();
        if (event.type == SDL_MOUSEBUTTONUP) {
            if (event.button.button == SDL_BUTTON_LEFT)
                motifClick(currentMotif, event.button.x, event.button.y);
        } else if (event.type == SDL_KEYDOWN) {
            if (event.key.keysym.sym == SDLK_RETURN) {
                // A save that fails leaves the old file; the editor closes all the same.
                saveMotif();
                editing = false;
            } else if (event.key.keysym.sym == SDLK_ESCAPE) {
                editing = false;
            }
        } else if (event.type == SDL_QUIT) {
            editing = false;
        }
        drawMotif(screen);
    }
}
