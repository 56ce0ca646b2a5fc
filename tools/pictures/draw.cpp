// The drawing kit of the pictures tool: see draw.h.

#include "draw.h"

#include <SDL.h>
#include <cairo-ft.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <stdexcept>

namespace fs = std::filesystem;

void check(cairo_status_t status, const std::string& what) {
    if (status != CAIRO_STATUS_SUCCESS)
        throw std::runtime_error(what + ": " + cairo_status_to_string(status));
}

Lettering::Lettering(const std::string& path) {
    FT_Library library = nullptr;
    if (FT_Init_FreeType(&library) != 0) throw std::runtime_error("cannot start FreeType");
    library_.reset(library);

    FT_Face ftFace = nullptr;
    if (FT_New_Face(library_.get(), path.c_str(), 0, &ftFace) != 0)
        throw std::runtime_error("cannot load the font " + path);

    face_.reset(cairo_ft_font_face_create_for_ft_face(ftFace, 0));
    check(cairo_font_face_status(face_.get()), "cannot use the font " + path);
    // Cairo may keep the face in its caches after we let go of it: the FreeType face goes with it.
    static const cairo_user_data_key_t key{};
    const auto releaseFace = [](void* face) { FT_Done_Face(static_cast<FT_Face>(face)); };
    const cairo_status_t attached =
        cairo_font_face_set_user_data(face_.get(), &key, ftFace, releaseFace);
    if (attached != CAIRO_STATUS_SUCCESS) {
        face_.reset();
        FT_Done_Face(ftFace);
        check(attached, "cannot use the font " + path);
    }
}

// Cairo's caches are emptied first, which releases the FreeType face before its library.
Lettering::~Lettering() {
    face_.reset();
    cairo_debug_reset_static_data();
    library_.reset();
}

Canvas makeCanvas(int width, int height, cairo_format_t format) {
    SurfacePtr surface(cairo_image_surface_create(format, width, height));
    check(cairo_surface_status(surface.get()), "cannot make a picture");
    ContextPtr context(cairo_create(surface.get()));
    check(cairo_status(context.get()), "cannot draw a picture");
    return {std::move(surface), std::move(context), width, height};
}

// Cairo's pixels are native 32-bit words 0xAARRGGBB. Without an alpha mask SDL takes them as
// opaque and writes 24 bits a pixel, the layout the game's pictures are in.
namespace {
bool bitmapsAsPng = false;
}

void writeBitmapsAsPng() { bitmapsAsPng = true; }

void writeBitmap(const Canvas& canvas, const fs::path& path) {
    if (bitmapsAsPng) {
        writePng(canvas, fs::path(path).replace_extension(".png"));
        return;
    }
    check(cairo_status(canvas.cr()), "cannot draw " + path.filename().string());
    cairo_surface_t* image = canvas.surface.get();
    cairo_surface_flush(image);
    const auto freeSurface = [](SDL_Surface* s) { SDL_FreeSurface(s); };
    const std::unique_ptr<SDL_Surface, decltype(freeSurface)> surface(
        SDL_CreateRGBSurfaceFrom(cairo_image_surface_get_data(image), canvas.width, canvas.height,
                                 32, cairo_image_surface_get_stride(image), 0xff0000, 0xff00, 0xff,
                                 0),
        freeSurface);
    if (!surface || SDL_SaveBMP(surface.get(), path.c_str()) != 0)
        throw std::runtime_error("cannot write " + path.string() + ": " + SDL_GetError());
}

void writePng(const Canvas& canvas, const fs::path& path) {
    check(cairo_status(canvas.cr()), "cannot draw " + path.filename().string());
    check(cairo_surface_write_to_png(canvas.surface.get(), path.c_str()),
          "cannot write " + path.string());
}

void setColor(cairo_t* cr, Color c, double alpha) {
    cairo_set_source_rgba(cr, c.r, c.g, c.b, alpha);
}

namespace {

PatternPtr withStops(cairo_pattern_t* raw, std::initializer_list<Stop> stops) {
    PatternPtr pattern(raw);
    for (const Stop& s : stops)
        cairo_pattern_add_color_stop_rgba(pattern.get(), s.offset, s.color.r, s.color.g, s.color.b,
                                          s.alpha);
    check(cairo_pattern_status(pattern.get()), "cannot make a gradient");
    return pattern;
}

} // namespace

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

void starPath(cairo_t* cr, double cx, double cy, double outer, double inner, int points) {
    cairo_new_sub_path(cr);
    for (int i = 0; i < 2 * points; ++i) {
        const double angle = -std::numbers::pi / 2 + i * std::numbers::pi / points;
        const double r = (i % 2 == 0) ? outer : inner;
        cairo_line_to(cr, cx + r * std::cos(angle), cy + r * std::sin(angle));
    }
    cairo_close_path(cr);
}

void paintNight(const Canvas& c, Color top, Color bottom) {
    auto sky = linear(0, 0, 0, c.height, {{0, top}, {1, bottom}});
    cairo_set_source(c.cr(), sky.get());
    cairo_paint(c.cr());
}

void glow(cairo_t* cr, double cx, double cy, double radius, Color color, double alpha) {
    auto light =
        radial(cx, cy, radius, {{0, color, alpha}, {0.45, color, alpha * 0.4}, {1, color, 0}});
    cairo_set_source(cr, light.get());
    cairo_arc(cr, cx, cy, radius, 0, 2 * std::numbers::pi);
    cairo_fill(cr);
}

void rays(cairo_t* cr, double cx, double cy, int count, double length, Color color, double alpha) {
    auto fade = radial(cx, cy, length, {{0, color, alpha}, {1, color, 0}});
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

double Scatter::between(double low, double high) {
    state_ += 0x9e3779b97f4a7c15ull;
    uint64_t z = state_;
    z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ull;
    z = (z ^ (z >> 27)) * 0x94d049bb133111ebull;
    z ^= z >> 31;
    return low + (high - low) * static_cast<double>(z >> 11) / static_cast<double>(1ull << 53);
}

int Scatter::below(int n) { return std::min(n - 1, static_cast<int>(between(0, n))); }

bool insideAny(const std::vector<Box>& boxes, double x, double y) {
    return std::any_of(boxes.begin(), boxes.end(), [&](const Box& b) { return b.contains(x, y); });
}

void stars(const Canvas& c, uint64_t seed, int count, const std::vector<Box>& keepOut) {
    cairo_t* cr = c.cr();
    Scatter scatter(seed);
    for (int i = 0; i < count; ++i) {
        const double x = scatter.between(0, c.width);
        const double y = scatter.between(0, c.height);
        const double size = scatter.between(0.5, 1.5);
        const double alpha = scatter.between(0.25, 0.8);
        if (insideAny(keepOut, x, y)) continue;
        if (size > 1.3) { // the brightest ones get a little cross of light
            setColor(cr, starlight, alpha * 0.35);
            cairo_set_line_width(cr, 0.8);
            cairo_move_to(cr, x - 4, y);
            cairo_line_to(cr, x + 4, y);
            cairo_move_to(cr, x, y - 4);
            cairo_line_to(cr, x, y + 4);
            cairo_stroke(cr);
        }
        setColor(cr, starlight, alpha);
        cairo_arc(cr, x, y, size, 0, 2 * std::numbers::pi);
        cairo_fill(cr);
    }
}

namespace {

// The mark of a tile: dice dots or a star, pressed into the tile so it reads in any colour.
void drawMark(cairo_t* cr, const TileLook& look, double centre, double unit) {
    const bool lightMark = look.mark.r + look.mark.g + look.mark.b > 1.5;
    // A light mark casts a shadow below it; a dark one is engraved, with a highlight on its lower
    // lip.
    const Color lip = lightMark ? black : white;
    const double lipAlpha = lightMark ? 0.45 : 0.55;
    const double lipOffset = 0.9 * unit;

    if (look.star) {
        starPath(cr, centre, centre + 0.5 * unit + lipOffset, 10.5 * unit, 4.4 * unit);
        setColor(cr, lip, lipAlpha);
        cairo_fill(cr);
        starPath(cr, centre, centre + 0.5 * unit, 10.5 * unit, 4.4 * unit);
        setColor(cr, look.mark);
        cairo_fill(cr);
        return;
    }

    // The dots sit on the falling diagonal, as on a die, these many steps from the centre.
    static const std::vector<int> dicePlaces[] = {{}, {0}, {-1, 1}, {-1, 0, 1}};
    const double step = 8.5 * unit;
    const double radius = 3.4 * unit;
    for (int d : dicePlaces[look.dots]) {
        const double x = centre + d * step;
        const double y = centre + d * step;
        setColor(cr, lip, lipAlpha);
        cairo_arc(cr, x, y + lipOffset, radius, 0, 2 * std::numbers::pi);
        cairo_fill(cr);
        auto shine = radial(x - 0.8 * unit, y - 0.8 * unit, radius * 1.4,
                            {{0, lighter(look.mark, 0.5)}, {1, look.mark}});
        cairo_set_source(cr, shine.get());
        cairo_arc(cr, x, y, radius, 0, 2 * std::numbers::pi);
        cairo_fill(cr);
    }
}

} // namespace

void drawTile(cairo_t* cr, double x, double y, double size, int color, bool withMark) {
    const TileLook& look = tileLooks[color];
    const double unit = size / tileSize;
    const double inset = unit;
    const double side = size - 2 * inset;
    const double radius = 6 * unit;

    cairo_save(cr);
    cairo_translate(cr, x + inset, y + inset);

    // Body: light from above.
    auto body =
        linear(0, 0, 0, side,
               {{0, lighter(look.body, 0.28)}, {0.5, look.body}, {1, darker(look.body, 0.22)}});
    roundedRect(cr, 0, 0, side, side, radius);
    cairo_set_source(cr, body.get());
    cairo_fill(cr);

    // Dark rim, so the tile's edge holds against any neighbour.
    roundedRect(cr, 0.5 * unit, 0.5 * unit, side - unit, side - unit, radius - 0.5 * unit);
    setColor(cr, darker(look.body, 0.55), 0.9);
    cairo_set_line_width(cr, unit);
    cairo_stroke(cr);

    // Bevel: a bright upper lip and a shaded lower one.
    auto bevel = linear(
        0, 0, 0, side, {{0, white, 0.6}, {0.35, white, 0.08}, {0.65, black, 0.0}, {1, black, 0.3}});
    roundedRect(cr, 1.8 * unit, 1.8 * unit, side - 3.6 * unit, side - 3.6 * unit,
                radius - 1.8 * unit);
    cairo_set_source(cr, bevel.get());
    cairo_set_line_width(cr, 1.4 * unit);
    cairo_stroke(cr);

    // Gloss on the upper half.
    auto gloss = linear(0, 2.5 * unit, 0, side * 0.5, {{0, white, 0.3}, {1, white, 0.04}});
    roundedRect(cr, 3 * unit, 2.6 * unit, side - 6 * unit, side * 0.42, radius - 2.5 * unit);
    cairo_set_source(cr, gloss.get());
    cairo_fill(cr);

    if (withMark) drawMark(cr, look, side / 2, unit);
    cairo_restore(cr);
}

void floatingTile(cairo_t* cr, double cx, double cy, double size, double degrees, int color,
                  double alpha) {
    cairo_save(cr);
    cairo_translate(cr, cx, cy);
    cairo_rotate(cr, degrees * std::numbers::pi / 180);
    cairo_push_group(cr);
    // Shadow: three layers, each a little wider, cast down and to the right.
    const double unit = size / tileSize;
    const double half = size / 2;
    for (int layer = 0; layer < 3; ++layer) {
        const double spread = layer * unit;
        roundedRect(cr, -half - spread + unit, -half - spread + 3 * unit, size + 2 * spread,
                    size + 2 * spread, 6 * unit + spread);
        setColor(cr, black, 0.12);
        cairo_fill(cr);
    }
    drawTile(cr, -size / 2, -size / 2, size, color);
    cairo_pop_group_to_source(cr);
    cairo_paint_with_alpha(cr, alpha);
    cairo_restore(cr);
}

void floatingTiles(cairo_t* cr, std::initializer_list<Placed> tiles) {
    for (const Placed& t : tiles) floatingTile(cr, t.x, t.y, t.size, t.degrees, t.color, t.alpha);
}

void useFont(cairo_t* cr, const Lettering& font, double size) {
    cairo_set_font_face(cr, font.face());
    cairo_set_font_size(cr, size);
}

double textWidth(cairo_t* cr, const std::string& text) {
    cairo_text_extents_t extents;
    cairo_text_extents(cr, text.c_str(), &extents);
    return extents.x_advance;
}

void plainText(cairo_t* cr, const Lettering& font, const std::string& text, double x,
               double baseline, double size, Color color, double alpha) {
    useFont(cr, font, size);
    cairo_move_to(cr, x, baseline);
    setColor(cr, color, alpha);
    cairo_show_text(cr, text.c_str());
}

void centredPlainText(cairo_t* cr, const Lettering& font, const std::string& text, double centreX,
                      double baseline, double size, Color color, double alpha) {
    useFont(cr, font, size);
    plainText(cr, font, text, centreX - textWidth(cr, text) / 2, baseline, size, color, alpha);
}

void goldLettering(cairo_t* cr, const Lettering& font, const std::string& text, double centreX,
                   double baseline, double size) {
    useFont(cr, font, size);
    const double x = centreX - textWidth(cr, text) / 2;
    const double outline = std::max(2.0, size * 0.09);

    cairo_save(cr);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);

    cairo_move_to(cr, x + size * 0.03, baseline + size * 0.05);
    cairo_text_path(cr, text.c_str());
    setColor(cr, black, 0.45);
    cairo_set_line_width(cr, outline);
    cairo_stroke_preserve(cr);
    cairo_fill(cr);

    cairo_move_to(cr, x, baseline);
    cairo_text_path(cr, text.c_str());
    setColor(cr, ink);
    cairo_stroke_preserve(cr);
    auto fill = linear(0, baseline - size * 0.75, 0, baseline,
                       {{0, goldBright}, {0.45, goldMid}, {1, goldDeep}});
    cairo_set_source(cr, fill.get());
    cairo_fill_preserve(cr);

    // The upper third catches the light.
    cairo_clip(cr);
    auto shine = linear(0, baseline - size * 0.75, 0, baseline - size * 0.35,
                        {{0, white, 0.45}, {1, white, 0}});
    cairo_set_source(cr, shine.get());
    cairo_paint(cr);
    cairo_restore(cr);
}
