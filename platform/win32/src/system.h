// The state of the one window system of the process, shared by every source file of
// the subset. Everything runs on one thread: no locks.
#pragma once

#include <windows.h>
#include <win32_control.h>
#include <win32_module_resources.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

namespace w32 {

using Region = std::vector<RECT>;  // union of rectangles (may overlap)

/* ---- Windows ---- */
struct WindowClass {
    std::string name;
    UINT style = 0;
    WNDPROC proc = nullptr;
    HCURSOR cursor = nullptr;
    bool hasBackground = false;
    COLORREF background = 0;
};

struct Window {
    HWND handle = nullptr;
    WindowClass *cls = nullptr;
    WNDPROC proc = nullptr;
    LONG_PTR userData = 0;
    LONG_PTR id = 0;
    Window *parent = nullptr;
    std::vector<Window *> children;  // bottom of the z-order first
    POINT origin{0, 0};              // in the parent's client area (screen for top level)
    int width = 0, height = 0;
    Region update;                   // client coordinates
    bool erase = false;
    bool destroyed = false;
};

/* ---- GDI ---- */
enum class ObjectKind { Brush, Bitmap, Palette };

struct GdiObject {
    virtual ~GdiObject() = default;
    ObjectKind kind;
    HGDIOBJ handle = nullptr;
    bool stock = false;
    int selectedCount = 0;  // DCs it is selected into
    explicit GdiObject(ObjectKind k) : kind(k) {}
};

struct Brush : GdiObject {
    COLORREF color;
    explicit Brush(COLORREF c) : GdiObject(ObjectKind::Brush), color(c) {}
};

struct Palette : GdiObject {
    std::vector<PALETTEENTRY> entries;
    Palette() : GdiObject(ObjectKind::Palette) {}
};

// Where pixels live: a bitmap, the screen or a printer page. Colours go in and out as
// plain RGB (0x00bbggrr); each surface keeps them in its own format.
struct Surface {
    virtual ~Surface() = default;
    virtual int Width() const = 0;
    virtual int Height() const = 0;
    virtual COLORREF Get(int x, int y) const = 0;
    // `palette` is what an 8-bit device matches colours against.
    virtual void Set(int x, int y, COLORREF rgb, const std::vector<PALETTEENTRY> &palette) = 0;
    virtual bool Readable() const { return true; }
    // Runs of pixels along one row, for fills and copies; x .. x + count - 1 must be inside.
    virtual void ReadSpan(int x, int y, int count, COLORREF *out) const;
    virtual void WriteSpan(int x, int y, int count, const COLORREF *in, const std::vector<PALETTEENTRY> &palette);
    virtual void FillSpan(int x, int y, int count, COLORREF rgb, const std::vector<PALETTEENTRY> &palette);
};

struct Bitmap : GdiObject, Surface {
    int width = 0, height = 0, bitsPerPixel = 0;
    bool dib = false;
    // DIB sections: Win32's memory layout, rows of `stride` bytes, bottom-up unless topDown.
    std::vector<uint8_t> dibBits;
    BITMAPINFOHEADER header{};
    std::vector<RGBQUAD> colorTable;
    int stride = 0;
    bool topDown = false;
    // Device-dependent bitmaps: a private format, one quantised RGB value per pixel.
    std::vector<COLORREF> ddbPixels;

    Bitmap() : GdiObject(ObjectKind::Bitmap) {}
    int Width() const override { return width; }
    int Height() const override { return height; }
    COLORREF Get(int x, int y) const override;
    void Set(int x, int y, COLORREF rgb, const std::vector<PALETTEENTRY> &palette) override;
    void ReadSpan(int x, int y, int count, COLORREF *out) const override;
    void WriteSpan(int x, int y, int count, const COLORREF *in, const std::vector<PALETTEENTRY> &palette) override;
    void FillSpan(int x, int y, int count, COLORREF rgb, const std::vector<PALETTEENTRY> &palette) override;
    uint8_t *Row(int y);
    const uint8_t *Row(int y) const;
};

struct PixelPlane : Surface {
    int width = 0, height = 0, depth = 32;
    bool readable = true;
    // Growing leaves the pixels unset: every owner fills them at once (the screen with one
    // memset), which instrumented builds would otherwise also do pixel by pixel first.
    std::unique_ptr<COLORREF[]> pixels;
    size_t capacity = 0;
    void Allocate(size_t count)
    {
        if (count > capacity) {
            pixels.reset(new COLORREF[count]);
            capacity = count;
        }
    }
    // The area written since the display last took it (w32_take_screen_changes), so
    // that a display copies only what changed.
    RECT changed{0, 0, 0, 0};
    void Touch(int x, int y, int count)
    {
        if (count <= 0) return;
        if (changed.right <= changed.left) {
            changed = RECT{x, y, x + count, y + 1};
            return;
        }
        changed.left = std::min(changed.left, LONG(x));
        changed.right = std::max(changed.right, LONG(x + count));
        changed.top = std::min(changed.top, LONG(y));
        changed.bottom = std::max(changed.bottom, LONG(y + 1));
    }
    int Width() const override { return width; }
    int Height() const override { return height; }
    COLORREF Get(int x, int y) const override { return pixels[size_t(y) * size_t(width) + size_t(x)]; }
    void Set(int x, int y, COLORREF rgb, const std::vector<PALETTEENTRY> &palette) override;
    bool Readable() const override { return readable; }
    void ReadSpan(int x, int y, int count, COLORREF *out) const override;
    void WriteSpan(int x, int y, int count, const COLORREF *in, const std::vector<PALETTEENTRY> &palette) override;
    void FillSpan(int x, int y, int count, COLORREF rgb, const std::vector<PALETTEENTRY> &palette) override;
};

enum class DcKind { Window, Memory, Printer };

struct Dc {
    HDC handle = nullptr;
    DcKind kind = DcKind::Memory;
    HWND window = nullptr;   // window DCs
    bool paintDc = false;    // from BeginPaint: clipped to the update region
    Region paintClip;        // client coordinates, for paint DCs
    int deviceDepth = 32;    // depth of the device the DC belongs to
    bool printerDevice = false;
    SIZE deviceSize{0, 0};   // printer page, for printers and DCs compatible with them
    Bitmap *bitmap = nullptr;
    Brush *brush = nullptr;
    Palette *palette = nullptr;
    std::unique_ptr<PixelPlane> page;  // printer DCs
    SIZE windowExt{1, 1}, viewportExt{1, 1};
};

// Device contexts by handle. Most live from a GetDC to its ReleaseDC, a few at a
// time, so the newest few are kept in a short list that is searched before the
// hash table holding the rest.
class DcTable {
public:
    Dc *Find(uintptr_t handle) const;
    void Add(std::unique_ptr<Dc> dc);            // under its handle, which is new
    std::unique_ptr<Dc> Take(uintptr_t handle);  // null when there is none
    size_t Size() const { return recentCount_ + others_.size(); }
    void Clear();

private:
    static constexpr size_t kRecent = 8;
    std::array<uintptr_t, kRecent> recentHandles_{};
    std::array<std::unique_ptr<Dc>, kRecent> recent_;
    size_t recentCount_ = 0;
    std::unordered_map<uintptr_t, std::unique_ptr<Dc>> others_;
};

/* ---- Timers ---- */
struct Timer {
    HWND window = nullptr;  // NULL: thread timer
    UINT_PTR id = 0;
    UINT elapse = 0;
    TIMERPROC proc = nullptr;
    DWORD due = 0;
    uint64_t sequence = 0;  // ties in due time fire in creation order
    bool alive = true;
};

/* ---- Registry ---- */
struct RegValue {
    DWORD type = REG_NONE;
    std::vector<uint8_t> data;
};
struct RegKey {
    std::map<std::string, std::unique_ptr<RegKey>> subkeys;  // upper-case names
    std::map<std::string, RegValue> values;                  // upper-case names
};

/* ---- Cursors ---- */
struct Cursor {
    W32CursorInfo info{};
};

struct System {
    // Windows
    std::map<std::string, std::unique_ptr<WindowClass>> classes;  // upper-case names
    // Handle tables are looked up for nearly every call, and nothing depends on
    // their order.
    std::unordered_map<uintptr_t, std::unique_ptr<Window>> windows;
    // The window LiveWindow found last: calls come in runs about one window. Whoever
    // erases a window from the table clears it (ForgetWindow).
    uintptr_t lastWindowHandle = 0;
    Window *lastWindow = nullptr;
    uintptr_t nextWindow = 0x10010;
    Window *desktop = nullptr;
    W32MessageHook hook = nullptr;
    void *hookContext = nullptr;

    // Input
    POINT cursorPos{0, 0};
    HWND capture = nullptr;
    bool leftDown = false, rightDown = false;
    UINT lastClickMessage = 0;
    HWND lastClickWindow = nullptr;
    DWORD lastClickTime = 0;
    POINT lastClickPos{0, 0};
    HCURSOR shownCursor = nullptr;

    // Display and screen
    PixelPlane screen;
    UINT codePage = 1252;

    // GDI
    std::unordered_map<uintptr_t, std::unique_ptr<GdiObject>> objects;
    DcTable dcs;
    // DCs freed before, cleared: a window DC is taken and given back for every
    // pointer move, and reusing them allocates nothing.
    std::vector<std::unique_ptr<Dc>> spareDcs;
    uintptr_t nextHandle = 0x20000;
    int badHandles = 0;

    // Time
    DWORD now = 0;
    std::vector<std::unique_ptr<Timer>> timers;
    uint64_t timerSequence = 0;
    UINT_PTR nextThreadTimer = 0x7FF0;
    bool refuseTimers = false;
    std::vector<W32Beep> beeps;

    // Registry
    std::map<uintptr_t, std::unique_ptr<RegKey>> roots;
    std::map<uintptr_t, RegKey *> openKeys;
    uintptr_t nextKey = 0x3000;
};

// The one window system, made at its first use. Inline: nearly every call asks for it.
System *MakeSystem();
inline System &Sys()
{
    static System *const system = MakeSystem();
    return *system;
}

// LiveWindow's look in the table, for another handle than the one it found last.
Window *LookUpLiveWindow(HWND hwnd);
// The window of a handle while it is not destroyed, else null; counts nothing.
inline Window *LiveWindow(HWND hwnd)
{
    const System &s = Sys();
    if (s.lastWindow == nullptr || reinterpret_cast<uintptr_t>(hwnd) != s.lastWindowHandle)
        return LookUpLiveWindow(hwnd);
    return s.lastWindow->destroyed ? nullptr : s.lastWindow;
}

// Takes a window out of the table, which frees it.
void ForgetWindow(HWND hwnd);

// Handle lookups; each counts a bad handle when it fails.
Window *FindWindow(HWND hwnd);
Dc *FindDc(HDC hdc);
GdiObject *FindObject(HGDIOBJ h);
void CountBadHandle();

// Messages
LRESULT Deliver(Window *w, UINT msg, WPARAM wParam, LPARAM lParam);
POINT ClientOriginOnScreen(const Window *w);
Region VisibleRegion(const Window *w);  // screen coordinates
Window *WindowAt(POINT screenPoint);
void InvalidateWindow(Window *w, const RECT *rect, bool erase);
void DropWindowTimers(HWND hwnd);
void ResetTimers();
void ResetGdi();
void ResetRegistry();

// Region helpers
void Subtract(Region &region, const RECT &cut);
void Intersect(Region &region, const RECT &keep);
RECT Bounds(const Region &region);

// GDI
struct Target {
    Surface *surface = nullptr;
    POINT origin{0, 0};  // surface position of the DC's (0, 0)
    Region clip;         // surface coordinates
    const std::vector<PALETTEENTRY> *palette = nullptr;
};
bool TargetOf(Dc *dc, Target &target);
std::unique_ptr<Dc> NewDc();         // a DC as default-constructed
HDC KeepDc(std::unique_ptr<Dc> dc);  // gives it a handle and the default objects
void DiscardDc(HDC hdc);             // deselects its objects and frees it
Bitmap *StockBitmap();
Brush *StockBrush();
Palette *StockPalette();
HGDIOBJ HandleOf(const GdiObject *object);

// Colours
const std::vector<PALETTEENTRY> &StaticPalette();
COLORREF Nearest(COLORREF rgb, const std::vector<PALETTEENTRY> &palette);
COLORREF Quantize(COLORREF rgb, int depth, const std::vector<PALETTEENTRY> &palette);

// Text
void ResetText();

// Modules
const struct ::W32ModuleResources *ResourcesOf(HINSTANCE module);

}  // namespace w32
