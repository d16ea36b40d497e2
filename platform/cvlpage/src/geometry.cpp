#include "geometry.h"

#include <algorithm>
#include <limits>

namespace cvl {

namespace {
constexpr double kPi = 3.14159265358979323846;
int32_t ClampToInt(double v) {
    constexpr double lo = -1e9, hi = 1e9;
    return static_cast<int32_t>(std::clamp(v, lo, hi));
}

int32_t NormalTenths(int64_t t) {
    int64_t r = t % 3600;
    return static_cast<int32_t>(r < 0 ? r + 3600 : r);
}

// Exact cosine and sine for the quarter turns, so that axis-aligned shapes stay exact.
void CosSin(int32_t tenths, double& c, double& s) {
    switch (NormalTenths(tenths)) {
        case 0: c = 1; s = 0; return;
        case 900: c = 0; s = 1; return;
        case 1800: c = -1; s = 0; return;
        case 2700: c = 0; s = -1; return;
        default: {
            double a = NormalTenths(tenths) * (kPi / 1800.0);
            c = std::cos(a);
            s = std::sin(a);
        }
    }
}
}  // namespace

PixelRect PixelRect::Intersect(const PixelRect& o) const {
    PixelRect r{std::max(left, o.left), std::max(top, o.top), std::min(right, o.right), std::min(bottom, o.bottom)};
    if (r.Empty()) return {};
    return r;
}

PixelRect PixelRect::Unite(const PixelRect& o) const {
    if (Empty()) return o;
    if (o.Empty()) return *this;
    return {std::min(left, o.left), std::min(top, o.top), std::max(right, o.right), std::max(bottom, o.bottom)};
}

void Box::Add(Point p) {
    minX = std::min(minX, p.x);
    minY = std::min(minY, p.y);
    maxX = std::max(maxX, p.x);
    maxY = std::max(maxY, p.y);
}

void Box::Add(const Box& b) {
    if (b.Empty()) return;
    Add(Point{b.minX, b.minY});
    Add(Point{b.maxX, b.maxY});
}

PixelRect Box::Pixels() const {
    if (Empty()) return {};
    // A pixel is painted when its centre is covered; allow a hair for rounding.
    constexpr double eps = 1e-7;
    PixelRect r{ClampToInt(std::ceil(minX - 0.5 - eps)), ClampToInt(std::ceil(minY - 0.5 - eps)),
                ClampToInt(std::floor(maxX + 0.5 + eps)), ClampToInt(std::floor(maxY + 0.5 + eps))};
    if (r.right <= r.left) r.right = r.left + 1;
    if (r.bottom <= r.top) r.bottom = r.top + 1;
    return r;
}

Point Rotate(Point p, int32_t tenths) {
    double c, s;
    CosSin(tenths, c, s);
    // Counter-clockwise on screen with y pointing down.
    return {p.x * c + p.y * s, -p.x * s + p.y * c};
}

DeviceTransform::DeviceTransform(const Placement& placement, const PageMapping& mapping)
    : offset_(placement.offset), mapping_(mapping) {
    CosSin(placement.tenths, c_, s_);
}

Point Placement::Apply(Point p) const {
    Point r = Rotate(p, tenths);
    return {r.x + offset.x, r.y + offset.y};
}

Point Placement::Unapply(Point p) const {
    return Rotate(Point{p.x - offset.x, p.y - offset.y}, -tenths);
}

Placement Placement::Turned(int32_t turnTenths, Point centre) const {
    Placement r;
    r.tenths = NormalTenths(int64_t{tenths} + turnTenths);
    Point o = Rotate(Point{offset.x - centre.x, offset.y - centre.y}, turnTenths);
    r.offset = {o.x + centre.x, o.y + centre.y};
    return r;
}

Placement Placement::Moved(double dx, double dy) const {
    Placement r = *this;
    r.offset.x += dx;
    r.offset.y += dy;
    return r;
}

Placement Placement::Compose(const Placement& parent, const Placement& child) {
    Placement r;
    r.tenths = NormalTenths(int64_t{parent.tenths} + child.tenths);
    r.offset = parent.Apply(child.offset);
    return r;
}

double DistanceToSegment(Point p, Point a, Point b) {
    double dx = b.x - a.x, dy = b.y - a.y;
    double len2 = dx * dx + dy * dy;
    double t = len2 > 0 ? ((p.x - a.x) * dx + (p.y - a.y) * dy) / len2 : 0;
    t = std::clamp(t, 0.0, 1.0);
    double qx = a.x + t * dx - p.x, qy = a.y + t * dy - p.y;
    return std::sqrt(qx * qx + qy * qy);
}

namespace {

// Whether the edge from b to a crosses the point's row right of the point: the
// even-odd step, in one place so that every walk does the same arithmetic.
bool CrossesRightOf(Point p, const Point& a, const Point& b) {
    if ((a.y > p.y) == (b.y > p.y)) return false;
    const double x = a.x + (p.y - a.y) * (b.x - a.x) / (b.y - a.y);
    return p.x < x;
}

// Whether the segment's box lies further than `far` from the point on some side.
bool SegmentApart(Point p, const Point& a, const Point& b, double far) {
    return (p.x + far < a.x && p.x + far < b.x) || (p.x - far > a.x && p.x - far > b.x) ||
           (p.y + far < a.y && p.y + far < b.y) || (p.y - far > a.y && p.y - far > b.y);
}

// Crossings of the edges (i - 1, i) for i in [first, end).
bool OddCrossings(Point p, const std::vector<Point>& outline, size_t first, size_t end) {
    bool odd = false;
    for (size_t i = first, j = first == 0 ? outline.size() - 1 : first - 1; i < end; j = i++)
        odd ^= CrossesRightOf(p, outline[i], outline[j]);
    return odd;
}

// Any of the segments (i, i + 1) for i in [first, end) within reach.
bool NearSegments(Point p, const std::vector<Point>& outline, size_t first, size_t end, double reach) {
    // A segment whose box lies a pixel further than the reach cannot be within it,
    // whatever the rounding: most of a long outline is passed over without measuring.
    const double far = reach + 1;
    for (size_t i = first; i < end; ++i) {
        const Point& a = outline[i];
        const Point& b = outline[i + 1 < outline.size() ? i + 1 : 0];
        if (!SegmentApart(p, a, b, far) && DistanceToSegment(p, a, b) <= reach) return true;
    }
    return false;
}

}  // namespace

bool InsideOutline(Point p, const std::vector<Point>& outline) {
    return !outline.empty() && OddCrossings(p, outline, 0, outline.size());
}

bool NearOutline(Point p, const std::vector<Point>& outline, bool closed, double reach) {
    return NearSegments(p, outline, 0, closed ? outline.size() : outline.size() - 1, reach);
}

void OutlineRuns::Build(const std::vector<Point>& outline) {
    bounds.clear();
    const size_t n = outline.size();
    if (n < 2 * kEdgesPerRun) return;
    for (size_t first = 0; first < n; first += kEdgesPerRun) {
        const size_t end = std::min(n, first + kEdgesPerRun);
        // A coordinate that is not a number is left out of the bounds: an edge with
        // such an end neither crosses a row nor comes within reach.
        Box box;
        box.Add(outline[first == 0 ? n - 1 : first - 1]);
        for (size_t i = first; i < end; ++i) box.Add(outline[i]);
        box.Add(outline[end == n ? 0 : end]);
        bounds.push_back(box);
    }
}

bool InsideOutline(Point p, const std::vector<Point>& outline, const OutlineRuns& runs) {
    if (runs.bounds.empty()) return InsideOutline(p, outline);
    bool odd = false;
    for (size_t k = 0; k < runs.bounds.size(); ++k) {
        const Box& box = runs.bounds[k];
        // Every vertex on one side of the point's row: no edge of the run crosses it.
        if (!(box.maxY > p.y) || box.minY > p.y) continue;
        const size_t first = k * OutlineRuns::kEdgesPerRun;
        odd ^= OddCrossings(p, outline, first, std::min(outline.size(), first + OutlineRuns::kEdgesPerRun));
    }
    return odd;
}

bool NearOutline(Point p, const std::vector<Point>& outline, bool closed, double reach, const OutlineRuns& runs) {
    if (runs.bounds.empty()) return NearOutline(p, outline, closed, reach);
    const size_t segments = closed ? outline.size() : outline.size() - 1;
    const double far = reach + 1;
    for (size_t k = 0; k < runs.bounds.size(); ++k) {
        // The run's box lies further than `far` on a side: so does every segment's.
        const Box& box = runs.bounds[k];
        if (p.x + far < box.minX || p.x - far > box.maxX || p.y + far < box.minY || p.y - far > box.maxY) continue;
        const size_t first = k * OutlineRuns::kEdgesPerRun;
        if (NearSegments(p, outline, first, std::min(segments, first + OutlineRuns::kEdgesPerRun), reach)) return true;
    }
    return false;
}

}  // namespace cvl
