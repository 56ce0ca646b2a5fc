// Draws every picture of the game at build time: the screen backgrounds, the five tiles and the icons.
//
//     make-pictures <font-file> <rc-dir> <icon-dir>
//
// The screens are written as 24-bit Windows bitmaps into <rc-dir>, the desktop icons as PNG into <icon-dir>.

#include <cairo-ft.h>
#include <cairo.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <exception>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <iostream>
#include <memory>
#include <numbers>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

// ---------------------------------------------------------------------------------------------
// Colours: one night-sky palette for every screen, warm tiles on top of it.

struct Colour {
    double r, g, b;
};

constexpr Colour rgb(int r, int g, int b) { return {r / 255.0, g / 255.0, b / 255.0}; }

constexpr Colour mix(Colour a, Colour b, double t) {
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

constexpr Colour white = rgb(255, 255, 255);
constexpr Colour black = rgb(0, 0, 0);

constexpr Colour lighter(Colour c, double t) { return mix(c, white, t); }
constexpr Colour darker(Colour c, double t) { return mix(c, black, t); }

constexpr Colour nightTop = rgb(12, 14, 38);
constexpr Colour nightBottom = rgb(50, 30, 96);
// The tiles' own gutter and the board panel share this colour, so rounded corners melt into the board.
constexpr Colour gutter = rgb(20, 22, 50);
constexpr Colour boardSurround = rgb(40, 36, 92);
constexpr Colour frameLight = rgb(164, 152, 240);
constexpr Colour frameDark = rgb(34, 28, 78);
constexpr Colour glowViolet = rgb(126, 92, 230);
constexpr Colour glowTeal = rgb(34, 150, 170);
constexpr Colour starlight = rgb(232, 234, 255);
constexpr Colour paleText = rgb(206, 210, 255);
constexpr Colour goldBright = rgb(255, 240, 160);
constexpr Colour goldMid = rgb(255, 200, 60);
constexpr Colour goldDeep = rgb(226, 128, 22);
constexpr Colour ink = rgb(30, 16, 52);
constexpr Colour cream = rgb(255, 250, 236);
constexpr Colour creamShade = rgb(250, 230, 186);
constexpr Colour magentaKey = rgb(255, 0, 255);

// The five tile colours climb steadily in lightness, and each carries its own mark,
// so they can be told apart without seeing colour at all.
struct TileLook {
    Colour body;
    Colour mark;
    int dots;  // dice dots, 0 to 3
    bool star; // the top colour wears a star instead
};

constexpr std::array<TileLook, 5> tileLooks = {{
    {rgb(78, 88, 124), rgb(236, 238, 250), 0, false}, // slate, plain
    {rgb(38, 106, 214), rgb(242, 247, 255), 1, false}, // blue, one dot
    {rgb(20, 164, 156), rgb(240, 255, 250), 2, false}, // teal, two dots
    {rgb(245, 156, 38), rgb(96, 44, 4), 3, false},     // amber, three dots
    {rgb(255, 218, 66), rgb(140, 70, 0), 0, true},     // gold, star
}};
constexpr int colourCount = static_cast<int>(tileLooks.size());

// ---------------------------------------------------------------------------------------------
// Sizes and the places where the game draws on top of the pictures.

constexpr int screenWidth = 640;
constexpr int screenHeight = 480;
constexpr int gameWidth = 700;
constexpr int gameHeight = 765;
constexpr int tileSize = 35;
constexpr int windowIconSize = 64;
constexpr std::array desktopIconSizes = {16, 24, 32, 48, 64, 128, 256};

constexpr double boardLeft = 35;
constexpr double boardTop = 100;
constexpr double boardMaxSide = 18 * tileSize;
constexpr double goalX = 453;
constexpr double goalY = 13;

// A screen's title line, under which a thin rule is drawn.
constexpr double titleLeft = 50;
constexpr double titleRuleY = 88;

// ---------------------------------------------------------------------------------------------
// Owning wrappers around the C handles.

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

void check(cairo_status_t status, const std::string& what) {
    if (status != CAIRO_STATUS_SUCCESS)
        throw std::runtime_error(what + ": " + cairo_status_to_string(status));
}

// The lettering font, loaded from its file through FreeType.
class Lettering {
public:
    explicit Lettering(const std::string& path) {
        FT_Library library = nullptr;
        if (FT_Init_FreeType(&library) != 0)
            throw std::runtime_error("cannot start FreeType");
        library_.reset(library);

        FT_Face ftFace = nullptr;
        if (FT_New_Face(library_.get(), path.c_str(), 0, &ftFace) != 0)
            throw std::runtime_error("cannot load the font " + path);

        face_.reset(cairo_ft_font_face_create_for_ft_face(ftFace, 0));
        check(cairo_font_face_status(face_.get()), "cannot use the font " + path);
        // Cairo may keep the face in its caches after we let go of it: the FreeType face goes with it.
        static const cairo_user_data_key_t key{};
        const auto releaseFace = [](void* face) { FT_Done_Face(static_cast<FT_Face>(face)); };
        const cairo_status_t attached = cairo_font_face_set_user_data(face_.get(), &key, ftFace, releaseFace);
        if (attached != CAIRO_STATUS_SUCCESS) {
            face_.reset();
            FT_Done_Face(ftFace);
            check(attached, "cannot use the font " + path);
        }
    }

    Lettering(const Lettering&) = delete;
    Lettering& operator=(const Lettering&) = delete;

    // Cairo's caches are emptied first, which releases the FreeType face before its library.
    ~Lettering() {
        face_.reset();
        cairo_debug_reset_static_data();
        library_.reset();
    }

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

Canvas makeCanvas(int width, int height, cairo_format_t format = CAIRO_FORMAT_RGB24) {
    SurfacePtr surface(cairo_image_surface_create(format, width, height));
    check(cairo_surface_status(surface.get()), "cannot make a picture");
    ContextPtr context(cairo_create(surface.get()));
    check(cairo_status(context.get()), "cannot draw a picture");
    return {std::move(surface), std::move(context), width, height};
}

// ---------------------------------------------------------------------------------------------
// Writing the files.

void putLittleEndian(std::vector<unsigned char>& out, uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i)
        out.push_back(static_cast<unsigned char>((value >> (8 * i)) & 0xff));
}

// A pixel of an image surface as 0xAARRGGBB (premultiplied for ARGB32).
uint32_t pixelAt(cairo_surface_t* surface, int x, int y) {
    const unsigned char* row = cairo_image_surface_get_data(surface) + y * cairo_image_surface_get_stride(surface);
    uint32_t pixel = 0;
    std::memcpy(&pixel, row + 4 * x, sizeof pixel);
    return pixel;
}

void setPixel(cairo_surface_t* surface, int x, int y, uint32_t pixel) {
    unsigned char* row = cairo_image_surface_get_data(surface) + y * cairo_image_surface_get_stride(surface);
    std::memcpy(row + 4 * x, &pixel, sizeof pixel);
}

void writeFile(const fs::path& path, const std::vector<unsigned char>& bytes) {
    std::ofstream file(path, std::ios::binary);
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    file.close();
    if (!file)
        throw std::runtime_error("cannot write " + path.string());
}

// An uncompressed 24-bit bitmap: BITMAPFILEHEADER, BITMAPINFOHEADER, then the rows bottom-up,
// each padded to a multiple of four bytes.
void writeBitmap(const Canvas& canvas, const fs::path& path) {
    check(cairo_status(canvas.cr()), "cannot draw " + path.filename().string());
    cairo_surface_t* surface = canvas.surface.get();
    cairo_surface_flush(surface);

    const uint32_t rowBytes = (3 * canvas.width + 3) & ~3u;
    const uint32_t imageBytes = rowBytes * canvas.height;
    const uint32_t headerBytes = 14 + 40;
    constexpr uint32_t pixelsPerMetre = 2835; // 72 dpi

    std::vector<unsigned char> out;
    out.reserve(headerBytes + imageBytes);
    out.push_back('B');
    out.push_back('M');
    putLittleEndian(out, headerBytes + imageBytes, 4);
    putLittleEndian(out, 0, 4); // reserved
    putLittleEndian(out, headerBytes, 4);

    putLittleEndian(out, 40, 4);
    putLittleEndian(out, canvas.width, 4);
    putLittleEndian(out, canvas.height, 4); // positive: bottom-up
    putLittleEndian(out, 1, 2);             // planes
    putLittleEndian(out, 24, 2);            // bits per pixel
    putLittleEndian(out, 0, 4);             // BI_RGB
    putLittleEndian(out, imageBytes, 4);
    putLittleEndian(out, pixelsPerMetre, 4);
    putLittleEndian(out, pixelsPerMetre, 4);
    putLittleEndian(out, 0, 4); // colours used
    putLittleEndian(out, 0, 4); // important colours

    for (int y = canvas.height - 1; y >= 0; --y) {
        for (int x = 0; x < canvas.width; ++x) {
            const uint32_t pixel = pixelAt(surface, x, y);
            out.push_back(static_cast<unsigned char>(pixel & 0xff));
            out.push_back(static_cast<unsigned char>((pixel >> 8) & 0xff));
            out.push_back(static_cast<unsigned char>((pixel >> 16) & 0xff));
        }
        for (uint32_t pad = 3 * canvas.width; pad < rowBytes; ++pad)
            out.push_back(0);
    }
    writeFile(path, out);
}

void writePng(const Canvas& canvas, const fs::path& path) {
    check(cairo_status(canvas.cr()), "cannot draw " + path.filename().string());
    check(cairo_surface_write_to_png(canvas.surface.get(), path.c_str()), "cannot write " + path.string());
}

// ---------------------------------------------------------------------------------------------
// Drawing helpers.

void setColour(cairo_t* cr, Colour c, double alpha = 1) { cairo_set_source_rgba(cr, c.r, c.g, c.b, alpha); }

struct Stop {
    double offset;
    Colour colour;
    double alpha = 1;
};

PatternPtr withStops(cairo_pattern_t* raw, std::initializer_list<Stop> stops) {
    PatternPtr pattern(raw);
    for (const Stop& s : stops)
        cairo_pattern_add_color_stop_rgba(pattern.get(), s.offset, s.colour.r, s.colour.g, s.colour.b, s.alpha);
    check(cairo_pattern_status(pattern.get()), "cannot make a gradient");
    return pattern;
}

PatternPtr linear(double x0, double y0, double x1, double y1, std::initializer_list<Stop> stops) {
    return withStops(cairo_pattern_create_linear(x0, y0, x1, y1), stops);
}

PatternPtr radial(double cx, double cy, double radius, std::initializer_list<Stop> stops) {
    return withStops(cairo_pattern_create_radial(cx, cy, 0, cx, cy, radius), stops);
}

void roundedRect(cairo_t* cr, double x, double y, double w, double h, double r) {
    constexpr double quarter = std::numbers::pi / 2;
    cairo_new_sub_path(cr);
    cairo_arc(cr, x + w - r, y + r, r, -quarter, 0);
    cairo_arc(cr, x + w - r, y + h - r, r, 0, quarter);
    cairo_arc(cr, x + r, y + h - r, r, quarter, 2 * quarter);
    cairo_arc(cr, x + r, y + r, r, 2 * quarter, 3 * quarter);
    cairo_close_path(cr);
}

void starPath(cairo_t* cr, double cx, double cy, double outer, double inner, int points = 5) {
    cairo_new_sub_path(cr);
    for (int i = 0; i < 2 * points; ++i) {
        const double angle = -std::numbers::pi / 2 + i * std::numbers::pi / points;
        const double r = (i % 2 == 0) ? outer : inner;
        cairo_line_to(cr, cx + r * std::cos(angle), cy + r * std::sin(angle));
    }
    cairo_close_path(cr);
}

// The night sky: dark at the top, indigo towards the bottom.
void paintNight(const Canvas& c, Colour top = nightTop, Colour bottom = nightBottom) {
    auto sky = linear(0, 0, 0, c.height, {{0, top}, {1, bottom}});
    cairo_set_source(c.cr(), sky.get());
    cairo_paint(c.cr());
}

// A soft round light fading out to nothing.
void glow(cairo_t* cr, double cx, double cy, double radius, Colour colour, double alpha) {
    auto light = radial(cx, cy, radius, {{0, colour, alpha}, {0.45, colour, alpha * 0.4}, {1, colour, 0}});
    cairo_set_source(cr, light.get());
    cairo_arc(cr, cx, cy, radius, 0, 2 * std::numbers::pi);
    cairo_fill(cr);
}

// Wedges of light fanning out from a centre.
void rays(cairo_t* cr, double cx, double cy, int count, double length, Colour colour, double alpha) {
    auto fade = radial(cx, cy, length, {{0, colour, alpha}, {1, colour, 0}});
    const double step = 2 * std::numbers::pi / count;
    for (int i = 0; i < count; ++i) {
        const double a = i * step;
        cairo_move_to(cr, cx, cy);
        cairo_arc(cr, cx, cy, length, a, a + step / 2);
        cairo_close_path(cr);
    }
    cairo_set_source(cr, fade.get());
    cairo_fill(cr);
}

// The same scatter at every build: a small fixed-seed generator (SplitMix64).
class Scatter {
public:
    explicit Scatter(uint64_t seed) : state_(seed) {}

    double between(double low, double high) {
        state_ += 0x9e3779b97f4a7c15ull;
        uint64_t z = state_;
        z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ull;
        z = (z ^ (z >> 27)) * 0x94d049bb133111ebull;
        z ^= z >> 31;
        return low + (high - low) * static_cast<double>(z >> 11) / static_cast<double>(1ull << 53);
    }

    int below(int n) { return std::min(n - 1, static_cast<int>(between(0, n))); }

private:
    uint64_t state_;
};

struct Box {
    double left, top, right, bottom;
    bool contains(double x, double y) const { return x >= left && x <= right && y >= top && y <= bottom; }
};

bool insideAny(const std::vector<Box>& boxes, double x, double y) {
    return std::any_of(boxes.begin(), boxes.end(), [&](const Box& b) { return b.contains(x, y); });
}

// Faint twinkling stars, kept out of the places where the game writes.
void stars(const Canvas& c, uint64_t seed, int count, const std::vector<Box>& keepOut) {
    cairo_t* cr = c.cr();
    Scatter scatter(seed);
    for (int i = 0; i < count; ++i) {
        const double x = scatter.between(0, c.width);
        const double y = scatter.between(0, c.height);
        const double size = scatter.between(0.5, 1.5);
        const double alpha = scatter.between(0.25, 0.8);
        if (insideAny(keepOut, x, y))
            continue;
        if (size > 1.3) { // the brightest ones get a little cross of light
            setColour(cr, starlight, alpha * 0.35);
            cairo_set_line_width(cr, 0.8);
            cairo_move_to(cr, x - 4, y);
            cairo_line_to(cr, x + 4, y);
            cairo_move_to(cr, x, y - 4);
            cairo_line_to(cr, x, y + 4);
            cairo_stroke(cr);
        }
        setColour(cr, starlight, alpha);
        cairo_arc(cr, x, y, size, 0, 2 * std::numbers::pi);
        cairo_fill(cr);
    }
}

// A thin golden rule under a screen's title, fading out to the right.
void titleRule(cairo_t* cr, double left, double right, double y) {
    auto fade = linear(left, 0, right, 0, {{0, goldMid, 0.9}, {0.6, goldMid, 0.35}, {1, goldMid, 0}});
    cairo_set_source(cr, fade.get());
    cairo_rectangle(cr, left, y, right - left, 2);
    cairo_fill(cr);
}

// ---------------------------------------------------------------------------------------------
// Tiles.

// Where a tile's dots go, as steps from its centre along the falling diagonal, as on a die.
std::vector<int> dicePlaces(int dots) {
    switch (dots) {
    case 1: return {0};
    case 2: return {-1, 1};
    case 3: return {-1, 0, 1};
    default: return {};
    }
}

// The mark of a tile: dice dots or a star, pressed into the tile so it reads in any colour.
void drawMark(cairo_t* cr, const TileLook& look, double centre, double unit) {
    const bool lightMark = look.mark.r + look.mark.g + look.mark.b > 1.5;
    // A light mark casts a shadow below it; a dark one is engraved, with a highlight on its lower lip.
    const Colour lip = lightMark ? black : white;
    const double lipAlpha = lightMark ? 0.45 : 0.55;
    const double lipOffset = 0.9 * unit;

    if (look.star) {
        starPath(cr, centre, centre + 0.5 * unit + lipOffset, 10.5 * unit, 4.4 * unit);
        setColour(cr, lip, lipAlpha);
        cairo_fill(cr);
        starPath(cr, centre, centre + 0.5 * unit, 10.5 * unit, 4.4 * unit);
        setColour(cr, look.mark);
        cairo_fill(cr);
        return;
    }

    const double step = 8.5 * unit;
    const double radius = 3.4 * unit;
    for (int d : dicePlaces(look.dots)) {
        const double x = centre + d * step;
        const double y = centre + d * step;
        setColour(cr, lip, lipAlpha);
        cairo_arc(cr, x, y + lipOffset, radius, 0, 2 * std::numbers::pi);
        cairo_fill(cr);
        auto shine = radial(x - 0.8 * unit, y - 0.8 * unit, radius * 1.4,
                            {{0, lighter(look.mark, 0.5)}, {1, look.mark}});
        cairo_set_source(cr, shine.get());
        cairo_arc(cr, x, y, radius, 0, 2 * std::numbers::pi);
        cairo_fill(cr);
    }
}

// A rounded, shaded tile in the square (x, y, size, size); the 1 px gutter around it is left
// to whatever lies below, so that neighbouring tiles stay apart.
void drawTile(cairo_t* cr, double x, double y, double size, int colour, bool withMark = true) {
    const TileLook& look = tileLooks[colour];
    const double unit = size / tileSize;
    const double inset = unit;
    const double side = size - 2 * inset;
    const double radius = 6 * unit;

    cairo_save(cr);
    cairo_translate(cr, x + inset, y + inset);

    // Body: light from above.
    auto body = linear(0, 0, 0, side,
                       {{0, lighter(look.body, 0.28)}, {0.5, look.body}, {1, darker(look.body, 0.22)}});
    roundedRect(cr, 0, 0, side, side, radius);
    cairo_set_source(cr, body.get());
    cairo_fill(cr);

    // Dark rim, so the tile's edge holds against any neighbour.
    roundedRect(cr, 0.5 * unit, 0.5 * unit, side - unit, side - unit, radius - 0.5 * unit);
    setColour(cr, darker(look.body, 0.55), 0.9);
    cairo_set_line_width(cr, unit);
    cairo_stroke(cr);

    // Bevel: a bright upper lip and a shaded lower one.
    auto bevel = linear(0, 0, 0, side,
                        {{0, white, 0.6}, {0.35, white, 0.08}, {0.65, black, 0.0}, {1, black, 0.3}});
    roundedRect(cr, 1.8 * unit, 1.8 * unit, side - 3.6 * unit, side - 3.6 * unit, radius - 1.8 * unit);
    cairo_set_source(cr, bevel.get());
    cairo_set_line_width(cr, 1.4 * unit);
    cairo_stroke(cr);

    // Gloss on the upper half.
    auto gloss = linear(0, 2.5 * unit, 0, side * 0.5, {{0, white, 0.3}, {1, white, 0.04}});
    roundedRect(cr, 3 * unit, 2.6 * unit, side - 6 * unit, side * 0.42, radius - 2.5 * unit);
    cairo_set_source(cr, gloss.get());
    cairo_fill(cr);

    if (withMark)
        drawMark(cr, look, side / 2, unit);
    cairo_restore(cr);
}

// A tile floating over a scene: turned by `degrees` about its centre, with a soft shadow.
void floatingTile(cairo_t* cr, double cx, double cy, double size, double degrees, int colour, double alpha = 1) {
    cairo_save(cr);
    cairo_translate(cr, cx, cy);
    cairo_rotate(cr, degrees * std::numbers::pi / 180);
    cairo_push_group(cr);
    // Shadow: three layers, each a little wider, cast down and to the right.
    const double unit = size / tileSize;
    const double half = size / 2;
    for (int layer = 0; layer < 3; ++layer) {
        const double spread = layer * unit;
        roundedRect(cr, -half - spread + unit, -half - spread + 3 * unit, size + 2 * spread, size + 2 * spread,
                    6 * unit + spread);
        setColour(cr, black, 0.12);
        cairo_fill(cr);
    }
    drawTile(cr, -size / 2, -size / 2, size, colour);
    cairo_pop_group_to_source(cr);
    cairo_paint_with_alpha(cr, alpha);
    cairo_restore(cr);
}

struct Placed {
    double x, y, size, degrees;
    int colour;
    double alpha = 1;
};

void floatingTiles(cairo_t* cr, std::initializer_list<Placed> tiles) {
    for (const Placed& t : tiles)
        floatingTile(cr, t.x, t.y, t.size, t.degrees, t.colour, t.alpha);
}

// ---------------------------------------------------------------------------------------------
// Lettering.

void useFont(cairo_t* cr, const Lettering& font, double size) {
    cairo_set_font_face(cr, font.face());
    cairo_set_font_size(cr, size);
}

double textWidth(cairo_t* cr, const std::string& text) {
    cairo_text_extents_t extents;
    cairo_text_extents(cr, text.c_str(), &extents);
    return extents.x_advance;
}

void plainText(cairo_t* cr, const Lettering& font, const std::string& text, double x, double baseline, double size,
               Colour colour, double alpha = 1) {
    useFont(cr, font, size);
    cairo_move_to(cr, x, baseline);
    setColour(cr, colour, alpha);
    cairo_show_text(cr, text.c_str());
}

void centredPlainText(cairo_t* cr, const Lettering& font, const std::string& text, double centreX, double baseline,
                      double size, Colour colour, double alpha = 1) {
    useFont(cr, font, size);
    plainText(cr, font, text, centreX - textWidth(cr, text) / 2, baseline, size, colour, alpha);
}

// Big golden lettering: a drop shadow, a thick dark outline and a gradient fill with a top shine.
void goldLettering(cairo_t* cr, const Lettering& font, const std::string& text, double centreX, double baseline,
                   double size) {
    useFont(cr, font, size);
    const double x = centreX - textWidth(cr, text) / 2;
    const double outline = std::max(2.0, size * 0.09);

    cairo_save(cr);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);

    cairo_move_to(cr, x + size * 0.03, baseline + size * 0.05);
    cairo_text_path(cr, text.c_str());
    setColour(cr, black, 0.45);
    cairo_set_line_width(cr, outline);
    cairo_stroke_preserve(cr);
    cairo_fill(cr);

    cairo_move_to(cr, x, baseline);
    cairo_text_path(cr, text.c_str());
    setColour(cr, ink);
    cairo_stroke_preserve(cr);
    auto fill = linear(0, baseline - size * 0.75, 0, baseline,
                       {{0, goldBright}, {0.45, goldMid}, {1, goldDeep}});
    cairo_set_source(cr, fill.get());
    cairo_fill_preserve(cr);

    // The upper third catches the light.
    cairo_clip(cr);
    auto shine = linear(0, baseline - size * 0.75, 0, baseline - size * 0.35, {{0, white, 0.45}, {1, white, 0}});
    cairo_set_source(cr, shine.get());
    cairo_paint(cr);
    cairo_restore(cr);
}

// ---------------------------------------------------------------------------------------------
// The icon: a gold cross of tiles on blue corners, on a dark rounded plate.

constexpr int iconCrossColour = 4;
constexpr int iconCornerColour = 1;
constexpr int smallIconLimit = 48; // up to this size the icon is drawn on whole pixels
constexpr double iconMarkLimit = 18; // tiles smaller than this carry no mark in the icon

int iconColour(int row, int col) { return (row == 1 || col == 1) ? iconCrossColour : iconCornerColour; }

// A small tile on whole pixels, with a lit top row: at a few pixels, shading would only blur it.
void drawSmallTile(cairo_t* cr, int x, int y, int side, int colour) {
    const Colour body = tileLooks[colour].body;
    auto shade = linear(0, y, 0, y + side, {{0, lighter(body, 0.2)}, {1, darker(body, 0.2)}});
    cairo_rectangle(cr, x, y, side, side);
    cairo_set_source(cr, shade.get());
    cairo_fill(cr);
    cairo_rectangle(cr, x, y, side, 1);
    setColour(cr, lighter(body, 0.45));
    cairo_fill(cr);
}

void drawIcon(cairo_t* cr, int size) {
    auto plate = linear(0, 0, 0, size, {{0, lighter(nightBottom, 0.1)}, {1, gutter}});
    roundedRect(cr, 0, 0, size, size, size * 0.2);
    cairo_set_source(cr, plate.get());
    cairo_fill(cr);

    if (size <= smallIconLimit) {
        // Three tiles and two gaps, centred with the same margin on both sides.
        const int gap = size >= 40 ? 2 : 1;
        const int minMargin = std::max(1, static_cast<int>(std::lround(size * 0.07)));
        int cell = (size - 2 * minMargin + gap) / 3;
        while (cell > gap + 1 && (size - (3 * cell - gap)) % 2 != 0)
            --cell;
        const int margin = (size - (3 * cell - gap)) / 2;
        for (int row = 0; row < 3; ++row)
            for (int col = 0; col < 3; ++col)
                drawSmallTile(cr, margin + col * cell, margin + row * cell, cell - gap, iconColour(row, col));
        return;
    }

    const double margin = size * 0.07;
    const double cell = (size - 2 * margin) / 3;
    for (int row = 0; row < 3; ++row)
        for (int col = 0; col < 3; ++col)
            drawTile(cr, margin + col * cell, margin + row * cell, cell, iconColour(row, col), cell >= iconMarkLimit);
}

// ---------------------------------------------------------------------------------------------
// The pictures.

void makeTile(int colour, const fs::path& path) {
    Canvas c = makeCanvas(tileSize, tileSize);
    setColour(c.cr(), gutter);
    cairo_paint(c.cr());
    drawTile(c.cr(), 0, 0, tileSize, colour);
    writeBitmap(c, path);
}

void makeStart(const Lettering& font, const fs::path& path) {
    Canvas c = makeCanvas(screenWidth, screenHeight);
    cairo_t* cr = c.cr();
    const double middle = screenWidth / 2.0;

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
    setColour(cr, gutter, 0.7);
    roundedRect(cr, crossX - cell - 4, crossY - 4, 3 * cell + 8, 3 * cell + 8, 10);
    cairo_fill(cr);
    for (int row = 0; row < 3; ++row)
        for (int col = 0; col < 3; ++col)
            drawTile(cr, crossX + (col - 1) * cell, crossY + row * cell, cell, iconColour(row, col));

    centredPlainText(cr, font, "Appuyez sur une touche", middle + 1, 453, 22, black, 0.5);
    centredPlainText(cr, font, "Appuyez sur une touche", middle, 452, 22, paleText);
    writeBitmap(c, path);
}

// Main menu and motif editor: the left and middle stay calm for the game's white text and tiles.
void makeMenuBackground(const fs::path& path) {
    Canvas c = makeCanvas(screenWidth, screenHeight);
    cairo_t* cr = c.cr();

    paintNight(c);
    glow(cr, 600, 470, 330, glowViolet, 0.4);
    glow(cr, 640, 0, 260, glowTeal, 0.18);
    stars(c, 11, 170, {{0, 0, 470, 420}});
    titleRule(cr, titleLeft, 440, titleRuleY);

    floatingTiles(cr, {
                          {560, 95, 56, -12, 4},
                          {505, 190, 38, 14, 1, 0.9},
                          {595, 250, 46, 20, 2, 0.95},
                          {530, 345, 60, -8, 3},
                          {605, 425, 34, 28, 0, 0.85},
                          {470, 450, 26, -20, 4, 0.8},
                      });
    writeBitmap(c, path);
}

// Configuration: calm everywhere text goes, the five colours lined up along the bottom.
void makeConfigBackground(const fs::path& path) {
    Canvas c = makeCanvas(screenWidth, screenHeight);
    cairo_t* cr = c.cr();

    paintNight(c, nightTop, rgb(26, 44, 92));
    glow(cr, 0, 480, 340, glowTeal, 0.3);
    glow(cr, 640, 480, 300, glowViolet, 0.3);
    stars(c, 23, 150, {{0, 20, 640, 375}, {0, 0, 300, 100}});
    titleRule(cr, titleLeft, 440, titleRuleY);

    // The five colours in order, on a shelf.
    const double size = 40;
    const double gap = 12;
    const double left = (screenWidth - (colourCount * size + (colourCount - 1) * gap)) / 2;
    const double top = 410;
    setColour(cr, gutter, 0.75);
    roundedRect(cr, left - 10, top - 8, colourCount * size + (colourCount - 1) * gap + 20, size + 16, 12);
    cairo_fill(cr);
    for (int i = 0; i < colourCount; ++i)
        drawTile(cr, left + i * (size + gap), top, size, i);
    writeBitmap(c, path);
}

// The game: a title, the framed goal spot and the board panel. The window may crop it at the
// bottom and right, so nothing important sits there.
void makeGameBackground(const Lettering& font, const fs::path& path) {
    Canvas c = makeCanvas(gameWidth, gameHeight);
    cairo_t* cr = c.cr();

    paintNight(c, nightTop, boardSurround);
    glow(cr, 120, 0, 300, glowViolet, 0.3);
    stars(c, 31, 60, {{0, 0, 510, 90}, {20, 85, 680, gameHeight}});

    // Title, shrunk if need be to stay clear of the goal label.
    double titleSize = 34;
    useFont(cr, font, titleSize);
    titleSize *= std::min(1.0, 270 / textWidth(cr, "Le Jeu du Kelvo"));
    useFont(cr, font, titleSize);
    goldLettering(cr, font, "Le Jeu du Kelvo", boardLeft + textWidth(cr, "Le Jeu du Kelvo") / 2, 62, titleSize);

    // Goal: a label, then a framed dark spot where the game puts the goal tile.
    const double frame = 7;
    glow(cr, goalX + tileSize / 2.0, goalY + tileSize / 2.0, 45, goldMid, 0.25);
    roundedRect(cr, goalX - frame - 2, goalY - frame - 2, tileSize + 2 * frame + 4, tileSize + 2 * frame + 4, 11);
    auto rim = linear(0, goalY - frame, 0, goalY + tileSize + frame, {{0, goldBright}, {1, goldDeep}});
    cairo_set_source(cr, rim.get());
    cairo_fill(cr);
    roundedRect(cr, goalX - frame, goalY - frame, tileSize + 2 * frame, tileSize + 2 * frame, 9);
    setColour(cr, gutter);
    cairo_fill(cr);
    useFont(cr, font, 22);
    const double labelRight = goalX - frame - 12;
    plainText(cr, font, "Objectif", labelRight - textWidth(cr, "Objectif"), goalY + 25, 22, paleText);

    // Board panel: a raised frame around a flat, dark well that the tiles sit in.
    const double well = 4;
    const double lip = 6;
    const double left = boardLeft - well;
    const double top = boardTop - well;
    const double side = boardMaxSide + 2 * well;
    for (int spread = 4; spread >= 1; --spread) {
        roundedRect(cr, left - lip - spread, top - lip - spread + 3, side + 2 * (lip + spread),
                    side + 2 * (lip + spread), 12 + spread);
        setColour(cr, black, 0.1);
        cairo_fill(cr);
    }
    auto lipShade = linear(0, top - lip, 0, top + 260, {{0, frameLight}, {1, frameDark}});
    roundedRect(cr, left - lip, top - lip, side + 2 * lip, side + 2 * lip, 12);
    cairo_set_source(cr, lipShade.get());
    cairo_fill(cr);
    roundedRect(cr, left - 1, top - 1, side + 2, side + 2, 7);
    setColour(cr, darker(gutter, 0.5));
    cairo_fill(cr);
    roundedRect(cr, left, top, side, side, 6);
    setColour(cr, gutter);
    cairo_fill(cr);
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
    setColour(cr, ink);
    cairo_arc(cr, cx - 28 * u, top + 20 * u, 12 * u, std::numbers::pi * 0.5, std::numbers::pi * 1.5);
    cairo_stroke(cr);
    cairo_arc_negative(cr, cx + 28 * u, top + 20 * u, 12 * u, std::numbers::pi * 0.5, -std::numbers::pi * 0.5);
    cairo_stroke(cr);
    cairo_set_line_width(cr, 3 * u);
    cairo_set_source(cr, gold.get());
    cairo_arc(cr, cx - 28 * u, top + 20 * u, 12 * u, std::numbers::pi * 0.5, std::numbers::pi * 1.5);
    cairo_stroke(cr);
    cairo_arc_negative(cr, cx + 28 * u, top + 20 * u, 12 * u, std::numbers::pi * 0.5, -std::numbers::pi * 0.5);
    cairo_stroke(cr);

    // Cup, stem and foot as one outline.
    cairo_move_to(cr, cx - 32 * u, top);
    cairo_line_to(cr, cx + 32 * u, top);
    cairo_curve_to(cr, cx + 32 * u, top + 34 * u, cx + 18 * u, top + 50 * u, cx + 5 * u, top + 54 * u);
    cairo_line_to(cr, cx + 5 * u, top + 66 * u);
    cairo_curve_to(cr, cx + 5 * u, top + 70 * u, cx + 18 * u, top + 72 * u, cx + 18 * u, top + 76 * u);
    cairo_line_to(cr, cx - 18 * u, top + 76 * u);
    cairo_curve_to(cr, cx - 18 * u, top + 72 * u, cx - 5 * u, top + 70 * u, cx - 5 * u, top + 66 * u);
    cairo_line_to(cr, cx - 5 * u, top + 54 * u);
    cairo_curve_to(cr, cx - 18 * u, top + 50 * u, cx - 32 * u, top + 34 * u, cx - 32 * u, top);
    cairo_close_path(cr);
    setColour(cr, ink);
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
    setColour(cr, darker(goldDeep, 0.35));
    cairo_fill_preserve(cr);
    setColour(cr, ink);
    cairo_set_line_width(cr, 2 * u);
    cairo_stroke(cr);

    // A star on the cup, the same as on the top tile.
    starPath(cr, cx, top + 24 * u, 11 * u, 4.6 * u);
    setColour(cr, tileLooks[4].mark);
    cairo_fill(cr);

    // Plinth.
    auto wood = linear(0, top + 76 * u, 0, top + 100 * u, {{0, rgb(120, 70, 150)}, {1, rgb(60, 30, 90)}});
    roundedRect(cr, cx - 30 * u, top + 76 * u, 60 * u, 24 * u, 4 * u);
    cairo_set_source(cr, wood.get());
    cairo_fill_preserve(cr);
    setColour(cr, ink);
    cairo_set_line_width(cr, 2 * u);
    cairo_stroke(cr);
    roundedRect(cr, cx - 16 * u, top + 82 * u, 32 * u, 12 * u, 2 * u);
    setColour(cr, goldMid);
    cairo_fill(cr);
    cairo_restore(cr);
}

// Victory: a light banner on top for the game's black score line, bunting, "Bravo !",
// a trophy and confetti of tiles.
void makeWin(const Lettering& font, const fs::path& path) {
    Canvas c = makeCanvas(screenWidth, screenHeight);
    cairo_t* cr = c.cr();
    const double middle = screenWidth / 2.0;
    const double bannerHeight = 76;

    paintNight(c, rgb(40, 22, 80), rgb(70, 30, 100));
    glow(cr, middle, 250, 380, glowViolet, 0.5);
    rays(cr, middle, 240, 24, 560, goldBright, 0.1);
    glow(cr, middle, 250, 200, goldMid, 0.25);

    // The banner.
    auto banner = linear(0, 0, 0, bannerHeight, {{0, cream}, {1, creamShade}});
    cairo_rectangle(cr, 0, 0, screenWidth, bannerHeight);
    cairo_set_source(cr, banner.get());
    cairo_fill(cr);
    setColour(cr, goldDeep);
    cairo_rectangle(cr, 0, bannerHeight - 3, screenWidth, 3);
    cairo_fill(cr);

    // Bunting hanging under it, in the tile colours.
    const double flag = 32;
    for (int i = 0; i * flag < screenWidth; ++i) {
        const double x = i * flag;
        cairo_move_to(cr, x + 2, bannerHeight);
        cairo_line_to(cr, x + flag - 2, bannerHeight);
        cairo_line_to(cr, x + flag / 2, bannerHeight + 22);
        cairo_close_path(cr);
        setColour(cr, tileLooks[(i % (colourCount - 1)) + 1].body);
        cairo_fill_preserve(cr);
        setColour(cr, ink, 0.5);
        cairo_set_line_width(cr, 1);
        cairo_stroke(cr);
    }

    // Confetti: small turned tiles and paper strips, away from the title and the trophy.
    const std::vector<Box> keepOut = {{0, 0, screenWidth, bannerHeight + 30}, {150, 130, 490, 250}, {230, 250, 410, 470}};
    Scatter scatter(41);
    for (int placed = 0, tries = 0; placed < 34 && tries < 2000; ++tries) {
        const double x = scatter.between(10, screenWidth - 10);
        const double y = scatter.between(bannerHeight + 30, screenHeight - 10);
        const int colour = 1 + scatter.below(colourCount - 1); // the bright colours only
        const double angle = scatter.between(-40, 40);
        const bool strip = scatter.between(0, 1) < 0.4;
        const double size = scatter.between(14, 26);
        if (insideAny(keepOut, x, y))
            continue;
        ++placed;
        if (strip) {
            cairo_save(cr);
            cairo_translate(cr, x, y);
            cairo_rotate(cr, angle * 3 * std::numbers::pi / 180);
            cairo_rectangle(cr, -2.5, -size / 2, 5, size);
            setColour(cr, lighter(tileLooks[colour].body, 0.15));
            cairo_fill(cr);
            cairo_restore(cr);
        } else {
            floatingTile(cr, x, y, size, angle, colour);
        }
    }

    goldLettering(cr, font, "Bravo !", middle, 228, 112);
    trophy(cr, middle, 282, 170);
    writeBitmap(c, path);
}

// The window icon: the plate on magenta, which the game takes as transparent. Edge pixels are
// snapped to the plate or to the key, never blended into magenta.
void makeWindowIcon(const fs::path& path) {
    Canvas drawn = makeCanvas(windowIconSize, windowIconSize, CAIRO_FORMAT_ARGB32);
    drawIcon(drawn.cr(), windowIconSize);
    check(cairo_status(drawn.cr()), "cannot draw the icon");
    cairo_surface_flush(drawn.surface.get());

    Canvas keyed = makeCanvas(windowIconSize, windowIconSize);
    cairo_surface_flush(keyed.surface.get());
    const uint32_t key = 0xffff00ffu;
    static_assert(magentaKey.r == 1 && magentaKey.g == 0 && magentaKey.b == 1);
    for (int y = 0; y < windowIconSize; ++y)
        for (int x = 0; x < windowIconSize; ++x) {
            const uint32_t p = pixelAt(drawn.surface.get(), x, y);
            const uint32_t alpha = p >> 24;
            if (alpha < 128) {
                setPixel(keyed.surface.get(), x, y, key);
                continue;
            }
            // Undo the premultiplication so a half-covered edge pixel keeps the plate's colour.
            const auto channel = [&](int shift) { return std::min(255u, ((p >> shift) & 0xff) * 255 / alpha); };
            setPixel(keyed.surface.get(), x, y, 0xff000000u | channel(16) << 16 | channel(8) << 8 | channel(0));
        }
    cairo_surface_mark_dirty(keyed.surface.get());
    writeBitmap(keyed, path);
}

void makeDesktopIcon(int size, const fs::path& path) {
    Canvas c = makeCanvas(size, size, CAIRO_FORMAT_ARGB32);
    drawIcon(c.cr(), size);
    writePng(c, path);
}

void makeAll(const fs::path& fontFile, const fs::path& rcDir, const fs::path& iconDir) {
    const Lettering font(fontFile.string());
    fs::create_directories(rcDir);
    fs::create_directories(iconDir);

    makeStart(font, rcDir / "start.bmp");
    makeMenuBackground(rcDir / "bgindex.bmp");
    makeConfigBackground(rcDir / "background.bmp");
    makeGameBackground(font, rcDir / "game.bmp");
    makeWin(font, rcDir / "win.bmp");
    for (int colour = 0; colour < colourCount; ++colour)
        makeTile(colour, rcDir / (std::to_string(colour) + ".bmp"));
    makeWindowIcon(rcDir / "icon.bmp");
    for (int size : desktopIconSizes)
        makeDesktopIcon(size, iconDir / ("kelvo-" + std::to_string(size) + ".png"));
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::cerr << "usage: make-pictures <font-file> <rc-dir> <icon-dir>\n";
        return 2;
    }
    try {
        makeAll(argv[1], argv[2], argv[3]);
    } catch (const std::exception& e) {
        std::cerr << "make-pictures: " << e.what() << '\n';
        return 1;
    }
    return 0;
}
