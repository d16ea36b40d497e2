// Rectangle helpers. Rectangles are half-open: right and bottom lie outside.
#include <windows.h>

#include <algorithm>

namespace {
bool Empty(const RECT &r) { return r.left >= r.right || r.top >= r.bottom; }
}  // namespace

BOOL WINAPI PtInRect(const RECT *lprc, POINT pt)
{
    if (!lprc) return FALSE;
    return pt.x >= lprc->left && pt.x < lprc->right && pt.y >= lprc->top && pt.y < lprc->bottom;
}

BOOL WINAPI SetRect(LPRECT lprc, int xLeft, int yTop, int xRight, int yBottom)
{
    if (!lprc) return FALSE;
    *lprc = RECT{xLeft, yTop, xRight, yBottom};
    return TRUE;
}

BOOL WINAPI SetRectEmpty(LPRECT lprc)
{
    if (!lprc) return FALSE;
    *lprc = RECT{0, 0, 0, 0};
    return TRUE;
}

BOOL WINAPI CopyRect(LPRECT lprcDst, const RECT *lprcSrc)
{
    if (!lprcDst || !lprcSrc) return FALSE;
    *lprcDst = *lprcSrc;
    return TRUE;
}

BOOL WINAPI IsRectEmpty(const RECT *lprc) { return !lprc || Empty(*lprc); }

BOOL WINAPI EqualRect(const RECT *a, const RECT *b)
{
    if (!a || !b) return FALSE;
    return a->left == b->left && a->top == b->top && a->right == b->right && a->bottom == b->bottom;
}

BOOL WINAPI IntersectRect(LPRECT dst, const RECT *a, const RECT *b)
{
    if (!dst || !a || !b) return FALSE;
    RECT r{std::max(a->left, b->left), std::max(a->top, b->top), std::min(a->right, b->right),
           std::min(a->bottom, b->bottom)};
    if (Empty(r)) {
        *dst = RECT{0, 0, 0, 0};
        return FALSE;
    }
    *dst = r;
    return TRUE;
}

BOOL WINAPI UnionRect(LPRECT dst, const RECT *a, const RECT *b)
{
    if (!dst || !a || !b) return FALSE;
    // An empty rectangle contributes nothing to a union.
    if (Empty(*a) && Empty(*b)) {
        *dst = RECT{0, 0, 0, 0};
        return FALSE;
    }
    if (Empty(*a)) {
        *dst = *b;
        return TRUE;
    }
    if (Empty(*b)) {
        *dst = *a;
        return TRUE;
    }
    *dst = RECT{std::min(a->left, b->left), std::min(a->top, b->top), std::max(a->right, b->right),
                std::max(a->bottom, b->bottom)};
    return TRUE;
}

BOOL WINAPI OffsetRect(LPRECT lprc, int dx, int dy)
{
    if (!lprc) return FALSE;
    lprc->left += dx;
    lprc->right += dx;
    lprc->top += dy;
    lprc->bottom += dy;
    return TRUE;
}

BOOL WINAPI InflateRect(LPRECT lprc, int dx, int dy)
{
    if (!lprc) return FALSE;
    lprc->left -= dx;
    lprc->right += dx;
    lprc->top -= dy;
    lprc->bottom += dy;
    return TRUE;
}
