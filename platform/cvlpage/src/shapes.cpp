#include "shapes.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstdint>

namespace cvl {

namespace {

constexpr uint8_t kGlyphs[][7] = {
#include "font_glyphs.inc"
};

// A text is laid out in cells of 6 x 9 font units; glyphs are 5 x 7 of them.
constexpr double kCellWidth = 6, kCellHeight = 9;

// An ellipse gets about one side per two-thirds of a pixel of radius, within these.
constexpr int kFewestEllipseSides = 16, kMostEllipseSides = 720;

struct TextBlock {
    double width = 0, height = 0;
};

TextBlock LayOutText(const std::string& text, double size) {
    const double unit = size / kCellHeight;
    int lines = 1, column = 0, widest = 0;
    for (char c : text) {
        if (c == '\n') {
            ++lines;
            column = 0;
        } else {
            widest = std::max(widest, ++column);
        }
    }
    return {widest * kCellWidth * unit, lines * kCellHeight * unit};
}

// Calls run(line, row, first, end) for each run of lit pixels in a glyph row, line by
// line: the row's text line, its glyph row (0 to 6), and the font units from the
// line's start where the run begins and ends.
template <typename Run>
void ForEachGlyphRunPlace(const std::string& text, Run run) {
    int line = 0, column = 0;
    for (unsigned char c : text) {
        if (c == '\n') {
            ++line;
            column = 0;
            continue;
        }
        const uint8_t* rows = GlyphRows(c);
        for (int r = 0; r < 7; ++r) {
            for (int bit = 4; bit >= 0;) {
                if (!(rows[r] >> bit & 1)) {
                    --bit;
                    continue;
                }
                int start = 4 - bit;
                while (bit >= 0 && (rows[r] >> bit & 1)) --bit;
                int end = 4 - bit;
                const int64_t place = int64_t{column} * static_cast<int64_t>(kCellWidth);
                run(line, r, place + start, place + end);
            }
        }
        ++column;
    }
}

// Where a glyph row's run lies in drawing units, one function for every use, so that
// each finds the same coordinates.
struct GlyphGrid {
    double unit;
    Point anchor;
    double X(int64_t place) const { return anchor.x + static_cast<double>(place) * unit; }
    double Top(int line, int row) const { return anchor.y + (line * kCellHeight + 1 + row) * unit; }
};

// Calls cell(x0, y0, x1, y1), in drawing units, for each run of lit pixels in a glyph
// row: one rectangle per run, so that glyphs show no seams.
template <typename Cell>
void ForEachGlyphRun(const std::string& text, double size, Point anchor, Cell cell) {
    const GlyphGrid grid{size / kCellHeight, anchor};
    ForEachGlyphRunPlace(text, [&](int line, int row, int64_t first, int64_t end) {
        const double y0 = grid.Top(line, row);
        cell(grid.X(first), y0, grid.X(end), y0 + grid.unit);
    });
}

// The glyph cells, written over the contours of `pool` from `used` on (whose memory
// serves again) and appended past its end; returns the count written up to.
template <typename ToDevice>
size_t WriteGlyphCells(const std::string& text, double size, Point anchor, ToDevice toDevice,
                       std::vector<Contour>& pool, size_t used) {
    ForEachGlyphRun(text, size, anchor, [&](double x0, double y0, double x1, double y1) {
        if (used == pool.size()) pool.emplace_back();
        pool[used++].assign({toDevice({x0, y0}), toDevice({x1, y0}), toDevice({x1, y1}), toDevice({x0, y1})});
    });
    return used;
}

// Where the symbol's text starts: a text at its own anchor, a shape's text centred on
// the middle of the shape's own box.
Point TextAnchor(const Symbol& s) {
    if (s.kind == SymbolKind::Text) return s.points[0];
    Box own;
    for (const Point& p : s.points) own.Add(p);
    const TextBlock block = LayOutText(s.text, s.textSize);
    return {(own.minX + own.maxX - block.width) / 2, (own.minY + own.maxY - block.height) / 2};
}

// The device box of the glyphs, without building them: the box of every run's corners.
// The runs of one glyph row of one line share their top and bottom, and each device
// coordinate moves one way as x grows along them, rounding included; so the row's
// outermost runs hold its extremes, and four corners a row give the same box as all.
// Past the range of doubles that no longer holds, and every run is added instead.
template <typename ToDevice>
void AddGlyphBounds(const std::string& text, double size, Point anchor, ToDevice toDevice, Box& box) {
    struct Reach {
        int64_t first = 0, end = 0;
        bool lit = false;
    };
    const GlyphGrid grid{size / kCellHeight, anchor};
    std::array<Reach, 7> rows{};  // of the current line
    int current = 0;
    Box rowsBox;
    bool finite = true;
    auto addRows = [&] {
        for (int row = 0; row < 7; ++row) {
            Reach& reach = rows[static_cast<size_t>(row)];
            if (!reach.lit) continue;
            const double x0 = grid.X(reach.first), x1 = grid.X(reach.end);
            const double y0 = grid.Top(current, row), y1 = y0 + grid.unit;
            for (Point p : {toDevice({x0, y0}), toDevice({x1, y0}), toDevice({x1, y1}), toDevice({x0, y1})}) {
                finite = finite && std::isfinite(p.x) && std::isfinite(p.y);
                rowsBox.Add(p);
            }
            reach = Reach{};
        }
    };
    // A glyph row's bits run from bit 4, its left pixel, to bit 0: its first run starts
    // at the highest lit bit and its last ends past the lowest. Glyphs come left to
    // right, so a row's reach starts in the first glyph lit there and ends in the last.
    int64_t column = 0;
    for (unsigned char c : text) {
        if (c == '\n') {
            addRows();
            ++current;
            column = 0;
            continue;
        }
        const uint8_t* glyph = GlyphRows(c);
        const int64_t place = column * static_cast<int64_t>(kCellWidth);
        for (size_t row = 0; row < rows.size(); ++row) {
            const unsigned bits = glyph[row] & 0x1Fu;
            if (bits == 0) continue;
            Reach& reach = rows[row];
            if (!reach.lit) reach.first = place + 5 - std::bit_width(bits);
            reach.end = place + 5 - std::countr_zero(bits);
            reach.lit = true;
        }
        ++column;
    }
    addRows();
    if (finite) {
        box.Add(rowsBox);
        return;
    }
    ForEachGlyphRun(text, size, anchor, [&](double x0, double y0, double x1, double y1) {
        for (Point p : {toDevice({x0, y0}), toDevice({x1, y0}), toDevice({x1, y1}), toDevice({x0, y1})}) box.Add(p);
    });
}

// The cosine and sine of every corner angle of an ellipse drawn with `sides` sides,
// worked out once per number of sides: the angles repeat for every ellipse.
const std::vector<Point>& UnitCircle(int sides) {
    static std::vector<std::vector<Point>> circles(kMostEllipseSides + 1);
    std::vector<Point>& circle = circles[static_cast<size_t>(sides)];
    if (circle.empty()) {
        circle.reserve(static_cast<size_t>(sides));
        for (int k = 0; k < sides; ++k) {
            double t = 2 * 3.14159265358979323846 * k / sides;
            circle.push_back({std::cos(t), std::sin(t)});
        }
    }
    return circle;
}

}  // namespace

const uint8_t* GlyphRows(unsigned char c) {
    if (c >= 0x20 && c < 0x7F) return kGlyphs[c - 0x20];
    return kGlyphs[0x7F - 0x20];
}

bool BuildDeviceOutline(const Symbol& s, const Placement& world, const PageMapping& mapping, Contour& outline) {
    outline.clear();
    const DeviceTransform toDevice(world, mapping);
    switch (s.kind) {
        case SymbolKind::Rectangle: {
            const Point a = s.points[0], b = s.points[1];
            outline = {toDevice({a.x, a.y}), toDevice({b.x, a.y}), toDevice({b.x, b.y}), toDevice({a.x, b.y})};
            return true;
        }
        case SymbolKind::Ellipse: {
            const Point a = s.points[0], b = s.points[1];
            double cx = (a.x + b.x) / 2, cy = (a.y + b.y) / 2, rx = std::abs(b.x - a.x) / 2, ry = std::abs(b.y - a.y) / 2;
            double deviceRadius = std::max(rx, ry) * mapping.scale;
            int sides = std::clamp(static_cast<int>(deviceRadius * 1.5), kFewestEllipseSides, kMostEllipseSides);
            outline.reserve(static_cast<size_t>(sides));
            for (const Point& corner : UnitCircle(sides)) outline.push_back(toDevice({cx + rx * corner.x, cy + ry * corner.y}));
            return true;
        }
        case SymbolKind::Polygon:
        case SymbolKind::Polyline:
            outline.reserve(s.points.size());
            for (const Point& p : s.points) outline.push_back(toDevice(p));
            return s.kind == SymbolKind::Polygon;
        case SymbolKind::Text: {
            // The text box covers every cell, lit or not, so that it can be pointed at.
            const Point anchor = s.points[0];
            TextBlock block = LayOutText(s.text, s.textSize);
            if (block.width > 0)
                outline = {toDevice(anchor), toDevice({anchor.x + block.width, anchor.y}),
                           toDevice({anchor.x + block.width, anchor.y + block.height}),
                           toDevice({anchor.x, anchor.y + block.height})};
            return true;
        }
        case SymbolKind::Group:
            return true;
    }
    return true;
}

double DeviceHalfStroke(const Symbol& s, const PageMapping& mapping) {
    if (s.kind == SymbolKind::Text || s.kind == SymbolKind::Group) return 0;
    if (s.stroked && s.strokeWidth >= 0) return std::max(s.strokeWidth * mapping.scale, 1.0) / 2;
    return 0;
}

void BuildDeviceShape(const Symbol& s, const Placement& world, const PageMapping& mapping, DeviceShape& out,
                      ShapeParts parts) {
    out.Clear();
    const bool allParts = parts == ShapeParts::All;
    out.closed = BuildDeviceOutline(s, world, mapping, out.outline);
    const DeviceTransform toDevice(world, mapping);
    if (s.kind == SymbolKind::Group) return;
    if (s.kind == SymbolKind::Text) {
        if (allParts) WriteGlyphCells(s.text, s.textSize, TextAnchor(s), toDevice, out.fill, 0);
        for (const Point& p : out.outline) out.box.Add(p);
        return;
    }
    if (!s.text.empty()) {
        const Point anchor = TextAnchor(s);
        if (allParts) {
            WriteGlyphCells(s.text, s.textSize, anchor, toDevice, out.label, 0);
            for (const Contour& c : out.label)
                for (const Point& p : c) out.box.Add(p);
        } else {
            AddGlyphBounds(s.text, s.textSize, anchor, toDevice, out.box);
        }
    }
    out.halfStroke = DeviceHalfStroke(s, mapping);
    if (allParts && s.fill != FillKind::None && out.closed) out.fill.push_back(out.outline);
    Box outlineBox;
    for (const Point& p : out.outline) outlineBox.Add(p);
    out.box.Add(outlineBox.Grown(out.halfStroke));
}

size_t GlyphCellsOver(const Symbol& s, const Placement& world, const PageMapping& mapping, std::vector<Contour>& pool) {
    return WriteGlyphCells(s.text, s.textSize, TextAnchor(s), DeviceTransform(world, mapping), pool, 0);
}

}  // namespace cvl
