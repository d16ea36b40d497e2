#include "raster.h"

#include <algorithm>
#include <cmath>

namespace cvl {

uint32_t ToPixel(Colour c) {
    return ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF);
}

Colour FromPixel(uint32_t p) {
    return ((p >> 16) & 0xFF) | (p & 0xFF00) | ((p & 0xFF) << 16);
}

namespace {

struct Edge {
    double yTop, yBottom;  // yTop < yBottom
    double xAtTop, slope;  // x = xAtTop + (y - yTop) * slope
    int winding;
};

struct Crossing {
    double x;
    int winding;
};

int32_t ClampedCeiling(double c) { return static_cast<int32_t>(std::clamp(std::ceil(c), -2e9, 2e9)); }

// First pixel whose centre is at or after v, kept in a safe range.
inline int32_t CeilCentre(double v) {
    const double c = v - 0.5;
    if (!(c > -2e9 && c < 2e9)) return ClampedCeiling(c);
    // The ceiling from the truncation, exact in this range and far cheaper than
    // std::ceil on processors without a rounding instruction.
    const int64_t truncated = static_cast<int64_t>(c);
    return static_cast<int32_t>(static_cast<double>(truncated) < c ? truncated + 1 : truncated);
}

double SignedArea(const Contour& c) {
    double a = 0;
    for (size_t i = 0, j = c.size() - 1; i < c.size(); j = i++) a += (c[j].x * c[i].y - c[i].x * c[j].y);
    return a / 2;
}

void TurnPositive(Contour& c) {
    if (SignedArea(c) < 0) std::reverse(c.begin(), c.end());
}

}  // namespace

void FillContoursReference(Canvas& canvas, const std::vector<Contour>& contours, Colour colour, Paint paint) {
    const PixelRect& clip = canvas.clip;
    if (clip.Empty()) return;
    std::vector<Edge> edges;
    double minY = INFINITY, maxY = -INFINITY;
    for (const Contour& c : contours) {
        size_t n = c.size();
        if (n < 3) continue;
        for (size_t i = 0, j = n - 1; i < n; j = i++) {
            Point a = c[j], b = c[i];
            if (!std::isfinite(a.x) || !std::isfinite(a.y) || !std::isfinite(b.x) || !std::isfinite(b.y)) return;
            if (a.y == b.y) continue;
            int w = 1;
            if (a.y > b.y) {
                std::swap(a, b);
                w = -1;
            }
            // An edge crossing no row centre of the clip changes no row's winding there.
            if (b.y <= clip.top + 0.5 || a.y > clip.bottom - 0.5) continue;
            edges.push_back({a.y, b.y, a.x, (b.x - a.x) / (b.y - a.y), w});
            minY = std::min(minY, a.y);
            maxY = std::max(maxY, b.y);
        }
    }
    if (edges.empty()) return;
    int32_t yFirst = std::max(clip.top, CeilCentre(minY));
    int32_t yEnd = std::min(clip.bottom, CeilCentre(maxY));
    if (yFirst >= yEnd) return;
    std::sort(edges.begin(), edges.end(), [](const Edge& a, const Edge& b) { return a.yTop < b.yTop; });
    const uint32_t pixel = ToPixel(colour);
    std::vector<const Edge*> active;
    std::vector<Crossing> crossings;
    size_t nextEdge = 0;
    for (int32_t y = yFirst; y < yEnd; ++y) {
        double yc = y + 0.5;
        while (nextEdge < edges.size() && edges[nextEdge].yTop <= yc) active.push_back(&edges[nextEdge++]);
        std::erase_if(active, [yc](const Edge* e) { return e->yBottom <= yc; });
        crossings.clear();
        for (const Edge* e : active)
            if (e->yTop <= yc) crossings.push_back({e->xAtTop + (yc - e->yTop) * e->slope, e->winding});
        std::sort(crossings.begin(), crossings.end(), [](const Crossing& a, const Crossing& b) { return a.x < b.x; });
        int winding = 0;
        for (size_t i = 0; i + 1 < crossings.size(); ++i) {
            winding += crossings[i].winding;
            if (winding == 0) continue;
            int32_t x0 = std::max(clip.left, CeilCentre(crossings[i].x));
            int32_t x1 = std::min(clip.right, CeilCentre(crossings[i + 1].x));
            if (x0 >= x1) continue;
            if (paint == Paint::Solid) {
                canvas.FillRun(x0, x1, y, pixel);
            } else {
                // Diagonal hatch anchored to the device, so partial renders join seamlessly.
                for (int32_t x = x0; x < x1; ++x)
                    if (((x + y) & 7) == 0) canvas.Plot(x, y, pixel);
            }
        }
    }
}

namespace {

// Paints pixels x0 .. x1 - 1 of row y (already inside the clip).
void PaintRun(Canvas& canvas, int32_t x0, int32_t x1, int32_t y, uint32_t pixel, Paint paint) {
    if (paint == Paint::Solid) {
        canvas.FillRun(x0, x1, y, pixel);
        return;
    }
    // Diagonal hatch anchored to the device, so partial renders join seamlessly.
    for (int32_t x = x0; x < x1; ++x)
        if (((x + y) & 7) == 0) canvas.Plot(x, y, pixel);
}

enum class Side { Left, Within, Right };

struct SidedEdge {
    Edge edge;
    Side side;
};

// An edge that meets the row: where it crosses the row's centre, or minus infinity
// for an edge left of the clip, which only adds its winding.
struct ActiveEdge {
    double x;
    const SidedEdge* sided;
};

// Puts the active edges in order of x. Edges keep their order from one row to the
// next unless they cross, so an insertion sort mostly only looks at each; one that
// has moved a great deal is left to std::sort, which bounds the worst case.
void SortActive(std::vector<ActiveEdge>& active) {
    ActiveEdge* const first = active.data();
    ActiveEdge* const end = first + active.size();
    const size_t mostMoves = 8 * active.size();
    size_t moves = 0;
    for (ActiveEdge* next = first + 1; next < end; ++next) {
        const ActiveEdge moving = *next;
        ActiveEdge* to = next;
        for (; to != first && moving.x < to[-1].x; --to) *to = to[-1];
        *to = moving;
        moves += static_cast<size_t>(next - to);
        if (moves > mostMoves) {
            std::sort(first, end, [](const ActiveEdge& a, const ActiveEdge& b) { return a.x < b.x; });
            return;
        }
    }
}

// Memory for a fill's edges and for those meeting its current row, kept from one fill
// to the next: a paint fills shape after shape, each over a few rows. Fills never nest
// (the engine runs on its caller's one thread), so one fill at a time holds it; it is
// emptied when that fill ends, and a fill that needed a great deal gives it back.
class FillScratch {
public:
    FillScratch() = default;
    virtual ~FillScratch() {
        constexpr size_t kMostKept = size_t{1} << 16;
        edges.clear();
        active.clear();
        if (edges.capacity() > kMostKept) std::vector<SidedEdge>().swap(edges);
        if (active.capacity() > kMostKept) std::vector<ActiveEdge>().swap(active);
    }
    FillScratch(const FillScratch&) = delete;
    FillScratch& operator=(const FillScratch&) = delete;

    static std::vector<SidedEdge> edges;
    static std::vector<ActiveEdge> active;
};

std::vector<SidedEdge> FillScratch::edges;
std::vector<ActiveEdge> FillScratch::active;

}  // namespace

// Paints what the reference paints. A small clip meets few of a shape's contours and
// edges, so the work is cut three ways: a contour whose bounds miss the clip is left
// out whole (its crossings of any row sum to no winding), an edge wholly to the right
// of the clip only ends spans that the clip ends anyway, and an edge wholly to its
// left only adds to the winding a row starts the clip with. The margins of a pixel
// keep rounding of a crossing's position from moving it across the clip's edge.
void FillContours(Canvas& canvas, std::span<const Contour> contours, Colour colour, Paint paint) {
    const PixelRect& clip = canvas.clip;
    if (clip.Empty()) return;
    for (const Contour& c : contours) {
        if (c.size() < 3) continue;
        for (const Point& p : c)
            if (!std::isfinite(p.x) || !std::isfinite(p.y)) return;
    }
    const double leftOf = clip.left - 1.5, rightOf = clip.right + 0.5;
    const FillScratch scratch;
    std::vector<SidedEdge>& edges = scratch.edges;
    double minY = INFINITY, maxY = -INFINITY;
    for (const Contour& c : contours) {
        size_t n = c.size();
        if (n < 3) continue;
        double cMinX = c[0].x, cMaxX = c[0].x, cMinY = c[0].y, cMaxY = c[0].y;
        for (const Point& p : c) {
            cMinX = std::min(cMinX, p.x);
            cMaxX = std::max(cMaxX, p.x);
            cMinY = std::min(cMinY, p.y);
            cMaxY = std::max(cMaxY, p.y);
        }
        if (cMaxY <= clip.top + 0.5 || cMinY > clip.bottom - 0.5 || cMaxX < leftOf || cMinX >= rightOf) continue;
        for (size_t i = 0, j = n - 1; i < n; j = i++) {
            Point a = c[j], b = c[i];
            if (a.y == b.y) continue;
            int w = 1;
            if (a.y > b.y) {
                std::swap(a, b);
                w = -1;
            }
            if (b.y <= clip.top + 0.5 || a.y > clip.bottom - 0.5) continue;
            const double lo = std::min(a.x, b.x), hi = std::max(a.x, b.x);
            if (lo >= rightOf) continue;
            const Side side = hi < leftOf ? Side::Left : Side::Within;
            edges.push_back({{a.y, b.y, a.x, (b.x - a.x) / (b.y - a.y), w}, side});
            minY = std::min(minY, a.y);
            maxY = std::max(maxY, b.y);
        }
    }
    if (edges.empty()) return;
    int32_t yFirst = std::max(clip.top, CeilCentre(minY));
    int32_t yEnd = std::min(clip.bottom, CeilCentre(maxY));
    if (yFirst >= yEnd) return;
    std::sort(edges.begin(), edges.end(),
              [](const SidedEdge& a, const SidedEdge& b) { return a.edge.yTop < b.edge.yTop; });
    const uint32_t pixel = ToPixel(colour);
    std::vector<ActiveEdge>& active = scratch.active;
    size_t nextEdge = 0;
    for (int32_t y = yFirst; y < yEnd; ++y) {
        double yc = y + 0.5;
        while (nextEdge < edges.size() && edges[nextEdge].edge.yTop <= yc) active.push_back({0, &edges[nextEdge++]});
        std::erase_if(active, [yc](const ActiveEdge& a) { return a.sided->edge.yBottom <= yc; });
        for (ActiveEdge& a : active) {
            const Edge& e = a.sided->edge;
            a.x = a.sided->side == Side::Left ? -INFINITY : e.xAtTop + (yc - e.yTop) * e.slope;
        }
        SortActive(active);
        int winding = 0;
        int32_t start = clip.left;
        for (const ActiveEdge& a : active) {
            const Edge& e = a.sided->edge;
            // Edges left of the clip come first and only start the row's winding.
            if (a.sided->side == Side::Left) {
                winding += e.winding;
                continue;
            }
            const int32_t at = CeilCentre(a.x);
            const int32_t end = std::min(clip.right, at);
            if (winding != 0 && start < end) PaintRun(canvas, start, end, y, pixel, paint);
            winding += e.winding;
            start = std::max(clip.left, at);
        }
        if (winding != 0 && start < clip.right) PaintRun(canvas, start, clip.right, y, pixel, paint);
    }
}

void FillPieces(Canvas& canvas, std::span<const Contour> pieces, Colour colour) {
    for (const Contour& piece : pieces) FillContours(canvas, std::span<const Contour>(&piece, 1), colour);
}

namespace {

// The stroke's pieces, each written into the contour `nextPiece` hands out.
template <typename NextPiece>
void Stroke(const Contour& outline, bool closed, double halfWidth, const PixelRect* within, NextPiece nextPiece) {
    size_t n = outline.size();
    if (n == 0) return;
    // Two pixels to spare: filling drops every piece this drops, so no pixel changes.
    auto outside = [within, halfWidth](Point a, Point b) {
        if (within == nullptr) return false;
        const double reach = halfWidth + 2;
        const double minX = std::min(a.x, b.x) - reach, maxX = std::max(a.x, b.x) + reach;
        const double minY = std::min(a.y, b.y) - reach, maxY = std::max(a.y, b.y) + reach;
        if (!std::isfinite(minX) || !std::isfinite(maxX) || !std::isfinite(minY) || !std::isfinite(maxY)) return false;
        return maxX < within->left || minX > within->right || maxY < within->top || minY > within->bottom;
    };
    size_t segments = closed ? n : n - 1;
    for (size_t i = 0; i < segments; ++i) {
        Point a = outline[i], b = outline[i + 1 < n ? i + 1 : 0];
        if (outside(a, b)) continue;
        double dx = b.x - a.x, dy = b.y - a.y;
        double len = std::sqrt(dx * dx + dy * dy);
        if (len == 0) continue;
        double nx = -dy / len * halfWidth, ny = dx / len * halfWidth;
        Contour& quad = nextPiece();
        quad.assign({{a.x + nx, a.y + ny}, {b.x + nx, b.y + ny}, {b.x - nx, b.y - ny}, {a.x - nx, a.y - ny}});
        TurnPositive(quad);
    }
    // Round joins close the notches between segments of wide strokes.
    if (halfWidth <= 1) return;
    int sides = std::clamp(static_cast<int>(halfWidth * 2), 8, 32);
    for (size_t i = 0; i < n; ++i) {
        if (!closed && (i == 0 || i == n - 1)) continue;
        if (outside(outline[i], outline[i])) continue;
        Contour& disc = nextPiece();
        for (int k = 0; k < sides; ++k) {
            double t = 2 * 3.14159265358979323846 * k / sides;
            disc.push_back({outline[i].x + halfWidth * std::cos(t), outline[i].y + halfWidth * std::sin(t)});
        }
        TurnPositive(disc);
    }
}

}  // namespace

void StrokeContours(const Contour& outline, bool closed, double halfWidth, std::vector<Contour>& out,
                    const PixelRect* within) {
    Stroke(outline, closed, halfWidth, within, [&out]() -> Contour& { return out.emplace_back(); });
}

size_t StrokeContoursOver(const Contour& outline, bool closed, double halfWidth, std::vector<Contour>& pool,
                          const PixelRect* within) {
    size_t used = 0;
    Stroke(outline, closed, halfWidth, within, [&pool, &used]() -> Contour& {
        if (used == pool.size()) pool.emplace_back();
        Contour& piece = pool[used++];
        piece.clear();
        return piece;
    });
    return used;
}

void FillPixelRect(Canvas& canvas, const PixelRect& r, Colour colour) {
    PixelRect c = r.Intersect(canvas.clip);
    if (c.Empty()) return;
    uint32_t pixel = ToPixel(colour);
    for (int32_t y = c.top; y < c.bottom; ++y) canvas.FillRun(c.left, c.right, y, pixel);
}

void DashedFrame(Canvas& canvas, const PixelRect& r, Colour colour) {
    if (r.Empty()) return;
    uint32_t pixel = ToPixel(colour);
    auto plot = [&](int32_t x, int32_t y) {
        if (x >= canvas.clip.left && x < canvas.clip.right && y >= canvas.clip.top && y < canvas.clip.bottom &&
            (((x + y) % 6) + 6) % 6 < 3)
            canvas.Plot(x, y, pixel);
    };
    int32_t xs = std::max(r.left, canvas.clip.left - 1), xe = std::min(r.right, canvas.clip.right + 1);
    for (int32_t x = xs; x < xe; ++x) {
        plot(x, r.top);
        plot(x, r.bottom - 1);
    }
    int32_t ys = std::max(r.top, canvas.clip.top - 1), ye = std::min(r.bottom, canvas.clip.bottom + 1);
    for (int32_t y = ys; y < ye; ++y) {
        plot(r.left, y);
        plot(r.right - 1, y);
    }
}

}  // namespace cvl
