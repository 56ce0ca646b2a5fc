// The pictures tool's drawing kit: the palette and the tile looks, owners of the Cairo handles,
// canvases and the files they are written to, shapes, lights, tiles and lettering.
#pragma once

#include "screens/layout.h"

#include <cairo.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <array>
#include <cstdint>
#include <filesystem>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

// ---------------------------------------------------------------------------------------------
// Colours: one night-sky palette for every screen, warm tiles on top of it.

struct Color {
    double r, g, b;
};

constexpr Color rgb(int r, int g, int b) { return {r / 255.0, g / 255.0, b / 255.0}; }

constexpr Color mix(Color a, Color b, double t) {
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

inline constexpr Color white = rgb(255, 255, 255);
inline constexpr Color black = rgb(0, 0, 0);

constexpr Color lighter(Color c, double t) { return mix(c, white, t); }
constexpr Color darker(Color c, double t) { return mix(c, black, t); }

inline constexpr Color nightTop = rgb(12, 14, 38);
inline constexpr Color nightBottom = rgb(50, 30, 96);
// The tiles' own gutter and the goal spot share this colour, so rounded corners melt into it.
inline constexpr Color gutter = rgb(20, 22, 50);
inline constexpr Color boardSurround = rgb(40, 36, 92);
inline constexpr Color glowViolet = rgb(126, 92, 230);
inline constexpr Color glowTeal = rgb(34, 150, 170);
inline constexpr Color starlight = rgb(232, 234, 255);
inline constexpr Color paleText = rgb(206, 210, 255);
inline constexpr Color goldBright = rgb(255, 240, 160);
inline constexpr Color goldMid = rgb(255, 200, 60);
inline constexpr Color goldDeep = rgb(226, 128, 22);
inline constexpr Color ink = rgb(30, 16, 52);
inline constexpr Color cream = rgb(255, 250, 236);
inline constexpr Color creamShade = rgb(250, 230, 186);

// The five tile colours climb steadily in lightness, and each carries its own mark,
// so they can be told apart without seeing colour at all.
struct TileLook {
    Color body;
    Color mark;
    int dots;  // dice dots, 0 to 3
    bool star; // the top colour wears a star instead
};

inline constexpr std::array<TileLook, maxColorCount> tileLooks = {{
    {rgb(78, 88, 124), rgb(236, 238, 250), 0, false},  // slate, plain
    {rgb(38, 106, 214), rgb(242, 247, 255), 1, false}, // blue, one dot
    {rgb(20, 164, 156), rgb(240, 255, 250), 2, false}, // teal, two dots
    {rgb(245, 156, 38), rgb(96, 44, 4), 3, false},     // amber, three dots
    {rgb(255, 218, 66), rgb(140, 70, 0), 0, true},     // gold, star
}};

// ---------------------------------------------------------------------------------------------
// Owners of the C handles, canvases and files.

struct CairoRelease {
    void operator()(cairo_t* p) const { cairo_destroy(p); }
    void operator()(cairo_surface_t* p) const { cairo_surface_destroy(p); }
    void operator()(cairo_pattern_t* p) const { cairo_pattern_destroy(p); }
    void operator()(cairo_font_face_t* p) const { cairo_font_face_destroy(p); }
};
using SurfacePtr = std::unique_ptr<cairo_surface_t, CairoRelease>;
using ContextPtr = std::unique_ptr<cairo_t, CairoRelease>;
using PatternPtr = std::unique_ptr<cairo_pattern_t, CairoRelease>;
using FontFacePtr = std::unique_ptr<cairo_font_face_t, CairoRelease>;

struct FreeTypeRelease {
    void operator()(FT_Library p) const { FT_Done_FreeType(p); }
};
using FreeTypePtr = std::unique_ptr<FT_LibraryRec_, FreeTypeRelease>;

// Throws with `what` and Cairo's reason unless `status` is a success.
void check(cairo_status_t status, const std::string& what);

// The lettering font, loaded from its file through FreeType.
class Lettering {
  public:
    explicit Lettering(const std::string& path);
    Lettering(const Lettering&) = delete;
    Lettering& operator=(const Lettering&) = delete;
    ~Lettering();

    cairo_font_face_t* face() const { return face_.get(); }

  private:
    FreeTypePtr library_;
    FontFacePtr face_;
};

struct Canvas {
    SurfacePtr surface;
    ContextPtr context;
    int width;
    int height;

    cairo_t* cr() const { return context.get(); }
};

Canvas makeCanvas(int width, int height, cairo_format_t format = CAIRO_FORMAT_RGB24);
// A 24-bit Windows bitmap; an ARGB32 canvas loses its alpha. After writeBitmapsAsPng, a PNG
// named path with ".png" for its extension instead: the browser's build decodes PNG.
void writeBitmap(const Canvas& canvas, const std::filesystem::path& path);
void writeBitmapsAsPng();
void writePng(const Canvas& canvas, const std::filesystem::path& path);

// ---------------------------------------------------------------------------------------------
// Shapes and lights.

void setColor(cairo_t* cr, Color c, double alpha = 1);

struct Stop {
    double offset;
    Color color;
    double alpha = 1;
};

PatternPtr linear(double x0, double y0, double x1, double y1, std::initializer_list<Stop> stops);
PatternPtr radial(double cx, double cy, double radius, std::initializer_list<Stop> stops);

void roundedRect(cairo_t* cr, double x, double y, double w, double h, double r);
void starPath(cairo_t* cr, double cx, double cy, double outer, double inner, int points = 5);

// The night sky: dark at the top, indigo towards the bottom.
void paintNight(const Canvas& c, Color top = nightTop, Color bottom = nightBottom);
// A soft round light fading out to nothing.
void glow(cairo_t* cr, double cx, double cy, double radius, Color color, double alpha);
// Wedges of light fanning out from a centre.
void rays(cairo_t* cr, double cx, double cy, int count, double length, Color color, double alpha);

// The same scatter at every build: a small fixed-seed generator (SplitMix64).
class Scatter {
  public:
    explicit Scatter(uint64_t seed) : state_(seed) {}
    double between(double low, double high);
    int below(int n);

  private:
    uint64_t state_;
};

struct Box {
    double left, top, right, bottom;
    bool contains(double x, double y) const {
        return x >= left && x <= right && y >= top && y <= bottom;
    }
};

bool insideAny(const std::vector<Box>& boxes, double x, double y);

// Faint twinkling stars, kept out of the places where the game writes.
void stars(const Canvas& c, uint64_t seed, int count, const std::vector<Box>& keepOut);

// ---------------------------------------------------------------------------------------------
// Tiles.

// A rounded, shaded tile in the square (x, y, size, size); the 1 px gutter around it is left
// to whatever lies below, so that neighbouring tiles stay apart.
void drawTile(cairo_t* cr, double x, double y, double size, int color, bool withMark = true);

// A tile floating over a scene: turned by `degrees` about its centre, with a soft shadow.
void floatingTile(cairo_t* cr, double cx, double cy, double size, double degrees, int color,
                  double alpha = 1);

struct Placed {
    double x, y, size, degrees;
    int color;
    double alpha = 1;
};

void floatingTiles(cairo_t* cr, std::initializer_list<Placed> tiles);

// ---------------------------------------------------------------------------------------------
// Lettering.

void useFont(cairo_t* cr, const Lettering& font, double size);
double textWidth(cairo_t* cr, const std::string& text);
void plainText(cairo_t* cr, const Lettering& font, const std::string& text, double x,
               double baseline, double size, Color color, double alpha = 1);
void centredPlainText(cairo_t* cr, const Lettering& font, const std::string& text, double centreX,
                      double baseline, double size, Color color, double alpha = 1);
// Big golden lettering: a drop shadow, a thick dark outline and a gradient fill with a top shine.
void goldLettering(cairo_t* cr, const Lettering& font, const std::string& text, double centreX,
                   double baseline, double size);
