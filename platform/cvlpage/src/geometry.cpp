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

bool InsideOutline(Point p, const std::vector<Point>& outline) {
    bool inside = false;
    size_t n = outline.size();
    for (size_t i = 0, j = n - 1; i < n; j = i++) {
        const Point& a = outline[i];
        const Point& b = outline[j];
        if ((a.y > p.y) != (b.y > p.y)) {
            double x = a.x + (p.y - a.y) * (b.x - a.x) / (b.y - a.y);
            if (p.x < x) inside = !inside;
        }
    }
    return inside;
}

}  // namespace cvl
