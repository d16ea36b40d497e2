// The window system's state, handle lookups and the control calls that set up the
// display as a whole.
#include "system.h"

#include <cstring>

#include <algorithm>

namespace w32 {

namespace {

void CreateDesktop(System &s)
{
    auto desktop = std::make_unique<Window>();
    desktop->handle = reinterpret_cast<HWND>(s.nextWindow);
    s.nextWindow += 2;
    desktop->width = s.screen.width;
    desktop->height = s.screen.height;
    s.desktop = desktop.get();
    s.windows[reinterpret_cast<uintptr_t>(desktop->handle)] = std::move(desktop);
}

void ClearScreen(System &s)
{
    // Black is all zero bits: one memset, cheap even in instrumented builds that
    // reset the window system thousands of times a second.
    const size_t count = size_t(s.screen.width) * size_t(s.screen.height);
    s.screen.Allocate(count);
    std::memset(s.screen.pixels.get(), 0, count * sizeof(COLORREF));
    s.screen.changed = RECT{0, 0, s.screen.width, s.screen.height};
}

}  // namespace

System *MakeSystem()
{
    // Never destroyed: modules unregister from their static destructors at exit.
    auto *s = new System;
    s->screen.width = 1024;
    s->screen.height = 768;
    s->screen.depth = 32;
    ClearScreen(*s);
    CreateDesktop(*s);
    return s;
}

void CountBadHandle() { Sys().badHandles++; }

Window *LookUpLiveWindow(HWND hwnd)
{
    System &s = Sys();
    const auto handle = reinterpret_cast<uintptr_t>(hwnd);
    auto it = s.windows.find(handle);
    if (it == s.windows.end()) return nullptr;
    s.lastWindowHandle = handle;
    s.lastWindow = it->second.get();
    return s.lastWindow->destroyed ? nullptr : s.lastWindow;
}

void ForgetWindow(HWND hwnd)
{
    System &s = Sys();
    const auto handle = reinterpret_cast<uintptr_t>(hwnd);
    if (handle == s.lastWindowHandle) s.lastWindow = nullptr;
    s.windows.erase(handle);
}

Window *FindWindow(HWND hwnd)
{
    Window *w = LiveWindow(hwnd);
    if (!w) CountBadHandle();
    return w;
}

Dc *FindDc(HDC hdc)
{
    Dc *dc = Sys().dcs.Find(reinterpret_cast<uintptr_t>(hdc));
    if (!dc) CountBadHandle();
    return dc;
}

Dc *DcTable::Find(uintptr_t handle) const
{
    for (size_t i = recentCount_; i-- > 0;)
        if (recentHandles_[i] == handle) return recent_[i].get();
    if (others_.empty()) return nullptr;
    auto it = others_.find(handle);
    return it == others_.end() ? nullptr : it->second.get();
}

void DcTable::Add(std::unique_ptr<Dc> dc)
{
    const auto handle = reinterpret_cast<uintptr_t>(dc->handle);
    if (recentCount_ == kRecent) {
        // The oldest makes room: it is the one most likely to stay long.
        others_[recentHandles_[0]] = std::move(recent_[0]);
        std::move(recentHandles_.begin() + 1, recentHandles_.end(), recentHandles_.begin());
        std::move(recent_.begin() + 1, recent_.end(), recent_.begin());
        --recentCount_;
    }
    recentHandles_[recentCount_] = handle;
    recent_[recentCount_++] = std::move(dc);
}

std::unique_ptr<Dc> DcTable::Take(uintptr_t handle)
{
    for (size_t i = recentCount_; i-- > 0;) {
        if (recentHandles_[i] != handle) continue;
        std::unique_ptr<Dc> dc = std::move(recent_[i]);
        std::move(recentHandles_.begin() + i + 1, recentHandles_.begin() + recentCount_, recentHandles_.begin() + i);
        std::move(recent_.begin() + i + 1, recent_.begin() + recentCount_, recent_.begin() + i);
        --recentCount_;
        return dc;
    }
    auto found = others_.find(handle);
    if (found == others_.end()) return nullptr;
    std::unique_ptr<Dc> dc = std::move(found->second);
    others_.erase(found);
    return dc;
}

void DcTable::Clear()
{
    for (size_t i = 0; i < recentCount_; ++i) recent_[i].reset();
    recentCount_ = 0;
    others_.clear();
}

GdiObject *FindObject(HGDIOBJ h)
{
    auto &objects = Sys().objects;
    auto it = objects.find(reinterpret_cast<uintptr_t>(h));
    if (it == objects.end()) {
        CountBadHandle();
        return nullptr;
    }
    return it->second.get();
}

/* ---- Regions ---- */

void Subtract(Region &region, const RECT &cut)
{
    Region out;
    for (const RECT &r : region) {
        RECT overlap;
        if (!IntersectRect(&overlap, &r, &cut)) {
            out.push_back(r);
            continue;
        }
        // Up to four pieces around the overlap.
        if (r.top < overlap.top) out.push_back(RECT{r.left, r.top, r.right, overlap.top});
        if (overlap.bottom < r.bottom) out.push_back(RECT{r.left, overlap.bottom, r.right, r.bottom});
        if (r.left < overlap.left) out.push_back(RECT{r.left, overlap.top, overlap.left, overlap.bottom});
        if (overlap.right < r.right) out.push_back(RECT{overlap.right, overlap.top, r.right, overlap.bottom});
    }
    region.swap(out);
}

void Intersect(Region &region, const RECT &keep)
{
    Region out;
    for (const RECT &r : region) {
        RECT overlap;
        if (IntersectRect(&overlap, &r, &keep)) out.push_back(overlap);
    }
    region.swap(out);
}

RECT Bounds(const Region &region)
{
    RECT bounds{0, 0, 0, 0};
    for (const RECT &r : region) UnionRect(&bounds, &bounds, &r);
    return bounds;
}

}  // namespace w32

using namespace w32;

void w32_reset(void)
{
    System &s = Sys();
    s.hook = nullptr;
    s.hookContext = nullptr;
    // Windows vanish without messages: the test that made them is over.
    s.windows.clear();
    s.lastWindow = nullptr;
    s.classes.clear();
    ResetTimers();
    ResetGdi();
    ResetRegistry();
    ResetText();
    s.screen.width = 1024;
    s.screen.height = 768;
    s.screen.depth = 32;
    ClearScreen(s);
    CreateDesktop(s);
    s.cursorPos = POINT{0, 0};
    s.capture = nullptr;
    s.leftDown = s.rightDown = false;
    s.lastClickMessage = 0;
    s.lastClickWindow = nullptr;
    s.shownCursor = nullptr;
    s.now = 0;
    s.beeps.clear();
    s.badHandles = 0;
}

BOOL w32_set_display_depth(int bitsPerPixel)
{
    if (bitsPerPixel != 8 && bitsPerPixel != 16 && bitsPerPixel != 24 && bitsPerPixel != 32) return FALSE;
    System &s = Sys();
    s.screen.depth = bitsPerPixel;
    ClearScreen(s);
    return TRUE;
}

BOOL w32_set_screen_size(int width, int height)
{
    if (width <= 0 || height <= 0 || width > 16384 || height > 16384) return FALSE;
    System &s = Sys();
    s.screen.width = width;
    s.screen.height = height;
    s.desktop->width = width;
    s.desktop->height = height;
    ClearScreen(s);
    return TRUE;
}

int w32_bad_handle_uses(void) { return Sys().badHandles; }

// Modules call this window system directly: nothing to take over.
void w32_adopt_module(HMODULE) {}
