// The device-space shape of one symbol: the outlines it fills and strokes.
#pragma once

#include <vector>

#include "geometry.h"
#include "model.h"
#include "raster.h"

namespace cvl {

struct DeviceShape {
    std::vector<Contour> fill;  // areas painted with the fill (glyph cells for texts)
    Contour outline;            // the stroked outline
    bool closed = true;         // polylines are open
    double halfStroke = 0;      // 0 when not stroked
    std::vector<Contour> label; // glyphs of a shape's text, centred in the shape
    Box box;                    // everything painted, stroke included

    // Empty, as a new shape, but keeping its memory for the next one.
    void Clear() {
        fill.clear();
        outline.clear();
        closed = true;
        halfStroke = 0;
        label.clear();
        box = Box{};
    }
};

// What of a shape its caller needs. Bounds need no glyph cells and no fill, whose
// building is most of the work for a text.
enum class ShapeParts {
    All,
    OutlineAndBox,  // `fill` and `label` left empty; the rest as for All, `box` included
};

// Builds the shape of a leaf symbol under its full placement and the page mapping.
void BuildDeviceShape(const Symbol& s, const Placement& world, const PageMapping& mapping, DeviceShape& out,
                      ShapeParts parts = ShapeParts::All);
// Only the outline of that shape, into `outline` (whose memory is reused): what a
// hit test looks at. Returns whether the outline is closed.
bool BuildDeviceOutline(const Symbol& s, const Placement& world, const PageMapping& mapping, Contour& outline);
// The glyph cells of the symbol's text (a text's own, or a shape's centred in it), as
// `fill` or `label` holds them, written over the first contours of `pool`, whose
// memory serves again; returns how many. Contours after them are left as they are.
size_t GlyphCellsOver(const Symbol& s, const Placement& world, const PageMapping& mapping, std::vector<Contour>& pool);
// Half the device width of the symbol's stroke; 0 when it has none.
double DeviceHalfStroke(const Symbol& s, const PageMapping& mapping);

// The glyph rows of the built-in font for a byte; bit 4 is the left column.
const uint8_t* GlyphRows(unsigned char c);

}  // namespace cvl
