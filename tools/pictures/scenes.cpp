// The pictures themselves: the screens' backgrounds, the tiles, the start and victory pictures
// and the icons, placed on the game's own layout.

#include "scenes.h"

#include "draw.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <numbers>
#include <string>

namespace fs = std::filesystem;

namespace {

constexpr int windowIconSize = 64;

// A thin golden rule under a screen's title, fading out to the right.
void titleRule(cairo_t* cr) {
    const double right = 440;
    auto fade =
        linear(titleX, 0, right, 0, {{0, goldMid, 0.9}, {0.6, goldMid, 0.35}, {1, goldMid, 0}});
    cairo_set_source(cr, fade.get());
    cairo_rectangle(cr, titleX, titleRuleY, right - titleX, 2);
    cairo_fill(cr);
}

// ---------------------------------------------------------------------------------------------
// The icon: a gold cross of tiles on blue corners, on a dark rounded plate.

constexpr int iconCrossColor = 4;
constexpr int iconCornerColor = 1;
constexpr int smallIconLimit = 48;   // up to this size the icon is drawn on whole pixels
constexpr double iconMarkLimit = 18; // tiles smaller than this carry no mark in the icon

int iconColor(int row, int col) {
    return (row == 1 || col == 1) ? iconCrossColor : iconCornerColor;
}

// A small tile on whole pixels, with a lit top row: at a few pixels, shading would only blur it.
void drawSmallTile(cairo_t* cr, int x, int y, int side, int color) {
    const Color body = tileLooks[color].body;
    auto shade = linear(0, y, 0, y + side, {{0, lighter(body, 0.2)}, {1, darker(body, 0.2)}});
    cairo_rectangle(cr, x, y, side, side);
    cairo_set_source(cr, shade.get());
    cairo_fill(cr);
    cairo_rectangle(cr, x, y, side, 1);
    setColor(cr, lighter(body, 0.45));
    cairo_fill(cr);
}

// The icon's dark plate, its corners rounded by `radius`.
void drawPlate(cairo_t* cr, int size, double radius) {
    auto plate = linear(0, 0, 0, size, {{0, lighter(nightBottom, 0.1)}, {1, gutter}});
    roundedRect(cr, 0, 0, size, size, radius);
    cairo_set_source(cr, plate.get());
    cairo_fill(cr);
}

// The cross of tiles in a square of side `3 * cell` whose top-left corner is at `margin`.
void drawCross(cairo_t* cr, double margin, double cell) {
    for (int row = 0; row < 3; ++row)
        for (int col = 0; col < 3; ++col)
            drawTile(cr, margin + col * cell, margin + row * cell, cell, iconColor(row, col),
                     cell >= iconMarkLimit);
}

void drawIcon(cairo_t* cr, int size) {
    drawPlate(cr, size, size * 0.2);

    if (size <= smallIconLimit) {
        // Three tiles and two gaps, centred with the same margin on both sides.
        const int gap = size >= 40 ? 2 : 1;
        const int minMargin = std::max(1, static_cast<int>(std::lround(size * 0.07)));
        int cell = (size - 2 * minMargin + gap) / 3;
        while (cell > gap + 1 && (size - (3 * cell - gap)) % 2 != 0) --cell;
        const int margin = (size - (3 * cell - gap)) / 2;
        for (int row = 0; row < 3; ++row)
            for (int col = 0; col < 3; ++col)
                drawSmallTile(cr, margin + col * cell, margin + row * cell, cell - gap,
                              iconColor(row, col));
        return;
    }

    const double margin = size * 0.07;
    drawCross(cr, margin, (size - 2 * margin) / 3);
}

// An icon that a phone may cut to any shape: the plate fills the square and the cross stays in
// the middle 56%, inside the circle of 80% that every shape keeps.
void drawMaskableIcon(cairo_t* cr, int size) {
    drawPlate(cr, size, 0);
    const double margin = size * 0.22;
    drawCross(cr, margin, (size - 2 * margin) / 3);
}

// ---------------------------------------------------------------------------------------------
// The pictures.

void makeTile(int color, const fs::path& path) {
    Canvas c = makeCanvas(tileSize, tileSize);
    setColor(c.cr(), gutter);
    cairo_paint(c.cr());
    drawTile(c.cr(), 0, 0, tileSize, color);
    writeBitmap(c, path);
}

void makeStart(const Lettering& font, const fs::path& path) {
    Canvas c = makeCanvas(windowWidth, windowHeight);
    cairo_t* cr = c.cr();
    const double middle = windowWidth / 2.0;

    paintNight(c);
    glow(cr, middle, 200, 360, glowViolet, 0.45);
    glow(cr, 80, 470, 220, glowTeal, 0.25);
    rays(cr, middle, 200, 20, 520, goldBright, 0.06);
    stars(c, 7, 140, {{110, 50, 530, 300}});

    floatingTiles(cr, {
                          {70, 80, 50, -14, 3, 0.9},
                          {565, 70, 44, 12, 1, 0.9},
                          {600, 170, 30, -22, 2, 0.8},
                          {40, 200, 32, 20, 4, 0.8},
                          {85, 360, 46, 8, 2, 0.9},
                          {560, 360, 54, -10, 4, 0.95},
                          {615, 275, 26, 30, 0, 0.8},
                          {30, 300, 24, -30, 1, 0.7},
                      });

    goldLettering(cr, font, "Le Jeu du", middle, 120, 52);
    goldLettering(cr, font, "Kelvo", middle, 268, 150);

    // The icon's block: the game's move, a cross of tiles.
    const double cell = 30;
    const double crossX = middle - cell / 2;
    const double crossY = 308;
    setColor(cr, gutter, 0.7);
    roundedRect(cr, crossX - cell - 4, crossY - 4, 3 * cell + 8, 3 * cell + 8, 10);
    cairo_fill(cr);
    for (int row = 0; row < 3; ++row)
        for (int col = 0; col < 3; ++col)
            drawTile(cr, crossX + (col - 1) * cell, crossY + row * cell, cell, iconColor(row, col));

    centredPlainText(cr, font, "Appuyez sur une touche", middle + 1, 453, 22, black, 0.5);
    centredPlainText(cr, font, "Appuyez sur une touche", middle, 452, 22, paleText);
    writeBitmap(c, path);
}

// Main menu and motif editor: the left and middle stay calm for the game's white text and tiles,
// and so does the band of the editor's help line at the bottom.
void makeMenuBackground(const fs::path& path) {
    Canvas c = makeCanvas(windowWidth, windowHeight);
    cairo_t* cr = c.cr();

    paintNight(c);
    glow(cr, 600, 470, 330, glowViolet, 0.4);
    glow(cr, windowWidth, 0, 260, glowTeal, 0.18);
    stars(c, 11, 170, {{0, 0, 470, 420}, {0, helpLineTop - 8, 560, windowHeight}});
    titleRule(cr);

    floatingTiles(cr, {
                          {560, 95, 56, -12, 4},
                          {505, 190, 38, 14, 1, 0.9},
                          {595, 250, 46, 20, 2, 0.95},
                          {530, 345, 60, -8, 3},
                          {605, 425, 34, 28, 0, 0.85},
                          {450, 400, 26, -20, 4, 0.8},
                      });
    writeBitmap(c, path);
}

// Configuration: calm everywhere text goes, the five colours lined up along the bottom.
void makeConfigBackground(const fs::path& path) {
    Canvas c = makeCanvas(windowWidth, windowHeight);
    cairo_t* cr = c.cr();

    paintNight(c, nightTop, rgb(26, 44, 92));
    glow(cr, 0, windowHeight, 340, glowTeal, 0.3);
    glow(cr, windowWidth, windowHeight, 300, glowViolet, 0.3);
    stars(c, 23, 150, {{0, 20, windowWidth, 375}, {0, 0, 300, 100}});
    titleRule(cr);

    // The five colours in order, on a shelf.
    const double size = 40;
    const double gap = 12;
    const double left = (windowWidth - (maxColorCount * size + (maxColorCount - 1) * gap)) / 2;
    const double top = 410;
    setColor(cr, gutter, 0.75);
    roundedRect(cr, left - 10, top - 8, maxColorCount * size + (maxColorCount - 1) * gap + 20,
                size + 16, 12);
    cairo_fill(cr);
    for (int i = 0; i < maxColorCount; ++i) drawTile(cr, left + i * (size + gap), top, size, i);
    writeBitmap(c, path);
}

// The game: a title and the framed goal spot over a starry sky. The board, of any size, and its
// frame are drawn by the game, and the window crops the picture at the bottom for small boards,
// so nothing below the title band implies a board size.
void makeGameBackground(const Lettering& font, const fs::path& path) {
    Canvas c = makeCanvas(gameWindowWidth, maxGameWindowHeight);
    cairo_t* cr = c.cr();

    paintNight(c, nightTop, boardSurround);
    glow(cr, 120, 0, 300, glowViolet, 0.3);
    glow(cr, gameWindowWidth, windowHeight, 320, glowTeal, 0.12);
    // Stars stay off the title and goal band.
    stars(c, 31, 140, {{0, 0, goalX + tileSize + 22, boardTop - 10}});

    // Title, shrunk if need be to stay clear of the goal label.
    double titleSize = 34;
    useFont(cr, font, titleSize);
    titleSize *= std::min(1.0, 270 / textWidth(cr, "Le Jeu du Kelvo"));
    useFont(cr, font, titleSize);
    goldLettering(cr, font, "Le Jeu du Kelvo", boardLeft + textWidth(cr, "Le Jeu du Kelvo") / 2, 62,
                  titleSize);

    // Goal: a label, then a framed dark spot where the game puts the goal tile.
    const double frame = 7;
    glow(cr, goalX + tileSize / 2.0, goalY + tileSize / 2.0, 45, goldMid, 0.25);
    roundedRect(cr, goalX - frame - 2, goalY - frame - 2, tileSize + 2 * frame + 4,
                tileSize + 2 * frame + 4, 11);
    auto rim =
        linear(0, goalY - frame, 0, goalY + tileSize + frame, {{0, goldBright}, {1, goldDeep}});
    cairo_set_source(cr, rim.get());
    cairo_fill(cr);
    roundedRect(cr, goalX - frame, goalY - frame, tileSize + 2 * frame, tileSize + 2 * frame, 9);
    setColor(cr, gutter);
    cairo_fill(cr);
    useFont(cr, font, 22);
    const double labelRight = goalX - frame - 12;
    plainText(cr, font, "Objectif", labelRight - textWidth(cr, "Objectif"), goalY + 25, 22,
              paleText);
    writeBitmap(c, path);
}

// A trophy cup standing on a plinth, centred on `cx`, `height` tall from `top`.
void trophy(cairo_t* cr, double cx, double top, double height) {
    const double u = height / 100;
    cairo_save(cr);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    auto gold = linear(cx - 30 * u, 0, cx + 30 * u, 0,
                       {{0, goldDeep}, {0.3, goldBright}, {0.55, goldMid}, {1, goldDeep}});

    // Handles.
    cairo_set_line_width(cr, 5 * u);
    setColor(cr, ink);
    cairo_arc(cr, cx - 28 * u, top + 20 * u, 12 * u, std::numbers::pi * 0.5,
              std::numbers::pi * 1.5);
    cairo_stroke(cr);
    cairo_arc_negative(cr, cx + 28 * u, top + 20 * u, 12 * u, std::numbers::pi * 0.5,
                       -std::numbers::pi * 0.5);
    cairo_stroke(cr);
    cairo_set_line_width(cr, 3 * u);
    cairo_set_source(cr, gold.get());
    cairo_arc(cr, cx - 28 * u, top + 20 * u, 12 * u, std::numbers::pi * 0.5,
              std::numbers::pi * 1.5);
    cairo_stroke(cr);
    cairo_arc_negative(cr, cx + 28 * u, top + 20 * u, 12 * u, std::numbers::pi * 0.5,
                       -std::numbers::pi * 0.5);
    cairo_stroke(cr);

    // Cup, stem and foot as one outline.
    cairo_move_to(cr, cx - 32 * u, top);
    cairo_line_to(cr, cx + 32 * u, top);
    cairo_curve_to(cr, cx + 32 * u, top + 34 * u, cx + 18 * u, top + 50 * u, cx + 5 * u,
                   top + 54 * u);
    cairo_line_to(cr, cx + 5 * u, top + 66 * u);
    cairo_curve_to(cr, cx + 5 * u, top + 70 * u, cx + 18 * u, top + 72 * u, cx + 18 * u,
                   top + 76 * u);
    cairo_line_to(cr, cx - 18 * u, top + 76 * u);
    cairo_curve_to(cr, cx - 18 * u, top + 72 * u, cx - 5 * u, top + 70 * u, cx - 5 * u,
                   top + 66 * u);
    cairo_line_to(cr, cx - 5 * u, top + 54 * u);
    cairo_curve_to(cr, cx - 18 * u, top + 50 * u, cx - 32 * u, top + 34 * u, cx - 32 * u, top);
    cairo_close_path(cr);
    setColor(cr, ink);
    cairo_set_line_width(cr, 3 * u);
    cairo_stroke_preserve(cr);
    cairo_set_source(cr, gold.get());
    cairo_fill(cr);

    // The rim of the cup, seen a little from above.
    cairo_save(cr);
    cairo_translate(cr, cx, top);
    cairo_scale(cr, 32 * u, 5 * u);
    cairo_arc(cr, 0, 0, 1, 0, 2 * std::numbers::pi);
    cairo_restore(cr);
    setColor(cr, darker(goldDeep, 0.35));
    cairo_fill_preserve(cr);
    setColor(cr, ink);
    cairo_set_line_width(cr, 2 * u);
    cairo_stroke(cr);

    // A star on the cup, the same as on the top tile.
    starPath(cr, cx, top + 24 * u, 11 * u, 4.6 * u);
    setColor(cr, tileLooks[4].mark);
    cairo_fill(cr);

    // Plinth.
    auto wood =
        linear(0, top + 76 * u, 0, top + 100 * u, {{0, rgb(120, 70, 150)}, {1, rgb(60, 30, 90)}});
    roundedRect(cr, cx - 30 * u, top + 76 * u, 60 * u, 24 * u, 4 * u);
    cairo_set_source(cr, wood.get());
    cairo_fill_preserve(cr);
    setColor(cr, ink);
    cairo_set_line_width(cr, 2 * u);
    cairo_stroke(cr);
    roundedRect(cr, cx - 16 * u, top + 82 * u, 32 * u, 12 * u, 2 * u);
    setColor(cr, goldMid);
    cairo_fill(cr);
    cairo_restore(cr);
}

// Victory: a light banner on top for the game's black score line, bunting, "Bravo !",
// a trophy and confetti of tiles.
void makeWin(const Lettering& font, const fs::path& path) {
    Canvas c = makeCanvas(windowWidth, windowHeight);
    cairo_t* cr = c.cr();
    const double middle = windowWidth / 2.0;
    const double bannerHeight = 76;

    paintNight(c, rgb(40, 22, 80), rgb(70, 30, 100));
    glow(cr, middle, 250, 380, glowViolet, 0.5);
    rays(cr, middle, 240, 24, 560, goldBright, 0.1);
    glow(cr, middle, 250, 200, goldMid, 0.25);

    // The banner.
    auto banner = linear(0, 0, 0, bannerHeight, {{0, cream}, {1, creamShade}});
    cairo_rectangle(cr, 0, 0, windowWidth, bannerHeight);
    cairo_set_source(cr, banner.get());
    cairo_fill(cr);
    setColor(cr, goldDeep);
    cairo_rectangle(cr, 0, bannerHeight - 3, windowWidth, 3);
    cairo_fill(cr);

    // Bunting hanging under it, in the tile colours.
    const double flag = 32;
    for (int i = 0; i * flag < windowWidth; ++i) {
        const double x = i * flag;
        cairo_move_to(cr, x + 2, bannerHeight);
        cairo_line_to(cr, x + flag - 2, bannerHeight);
        cairo_line_to(cr, x + flag / 2, bannerHeight + 22);
        cairo_close_path(cr);
        setColor(cr, tileLooks[(i % (maxColorCount - 1)) + 1].body);
        cairo_fill_preserve(cr);
        setColor(cr, ink, 0.5);
        cairo_set_line_width(cr, 1);
        cairo_stroke(cr);
    }

    // Confetti: small turned tiles and paper strips, away from the title and the trophy.
    const std::vector<Box> keepOut = {
        {0, 0, windowWidth, bannerHeight + 30}, {150, 130, 490, 250}, {230, 250, 410, 470}};
    Scatter scatter(41);
    for (int placed = 0, tries = 0; placed < 34 && tries < 2000; ++tries) {
        const double x = scatter.between(10, windowWidth - 10);
        const double y = scatter.between(bannerHeight + 30, windowHeight - 10);
        const int color = 1 + scatter.below(maxColorCount - 1); // the bright colours only
        const double angle = scatter.between(-40, 40);
        const bool strip = scatter.between(0, 1) < 0.4;
        const double size = scatter.between(14, 26);
        if (insideAny(keepOut, x, y)) continue;
        ++placed;
        if (strip) {
            cairo_save(cr);
            cairo_translate(cr, x, y);
            cairo_rotate(cr, angle * 3 * std::numbers::pi / 180);
            cairo_rectangle(cr, -2.5, -size / 2, 5, size);
            setColor(cr, lighter(tileLooks[color].body, 0.15));
            cairo_fill(cr);
            cairo_restore(cr);
        } else {
            floatingTile(cr, x, y, size, angle, color);
        }
    }

    goldLettering(cr, font, "Bravo !", middle, 228, 112);
    trophy(cr, middle, 282, 170);
    writeBitmap(c, path);
}

// The window icon: the plate on magenta, which the game takes as transparent. Edge pixels are
// snapped to the plate or to the key, never blended into magenta.
void makeWindowIcon(const fs::path& path) {
    Canvas c = makeCanvas(windowIconSize, windowIconSize, CAIRO_FORMAT_ARGB32);
    drawIcon(c.cr(), windowIconSize);
    check(cairo_status(c.cr()), "cannot draw the icon");
    cairo_surface_flush(c.surface.get());
    unsigned char* const data = cairo_image_surface_get_data(c.surface.get());
    const int stride = cairo_image_surface_get_stride(c.surface.get());
    constexpr uint32_t magenta = 0xffff00ffu;
    for (int y = 0; y < windowIconSize; ++y)
        for (int x = 0; x < windowIconSize; ++x) {
            unsigned char* const at = data + y * stride + 4 * x;
            uint32_t p = 0;
            std::memcpy(&p, at, sizeof p);
            const uint32_t alpha = p >> 24;
            // Undo the premultiplication so a half-covered edge pixel keeps the plate's colour.
            const auto channel = [&](int shift) {
                return std::min(255u, ((p >> shift) & 0xff) * 255 / alpha) << shift;
            };
            p = alpha < 128 ? magenta : 0xff000000u | channel(16) | channel(8) | channel(0);
            std::memcpy(at, &p, sizeof p);
        }
    cairo_surface_mark_dirty(c.surface.get());
    writeBitmap(c, path);
}

void makeDesktopIcon(int size, const fs::path& path) {
    Canvas c = makeCanvas(size, size, CAIRO_FORMAT_ARGB32);
    drawIcon(c.cr(), size);
    writePng(c, path);
}

void makeMaskableIcon(int size, const fs::path& path) {
    Canvas c = makeCanvas(size, size);
    drawMaskableIcon(c.cr(), size);
    writePng(c, path);
}

} // namespace

void makePictures(const fs::path& fontFile, const fs::path& rcDir, const fs::path& iconDir,
                  const std::vector<int>& iconSizes, const std::vector<int>& maskableSizes) {
    const Lettering font(fontFile.string());
    fs::create_directories(rcDir);
    fs::create_directories(iconDir);
    // The game's paths name the files; the folder is the one given.
    const auto rc = [&](const char* picture) { return rcDir / fs::path(picture).filename(); };

    makeStart(font, rc(startPicture));
    makeMenuBackground(rc(menuPicture));
    makeConfigBackground(rc(configPicture));
    makeGameBackground(font, rc(gamePicture));
    makeWin(font, rc(victoryPicture));
    for (int color = 0; color < maxColorCount; ++color) makeTile(color, rc(tilePictures[color]));
    makeWindowIcon(rc(iconPicture));
    for (const int size : iconSizes)
        makeDesktopIcon(size, iconDir / ("kelvo-" + std::to_string(size) + ".png"));
    for (const int size : maskableSizes)
        makeMaskableIcon(size, iconDir / ("kelvo-maskable-" + std::to_string(size) + ".png"));
}
