// Companion of the generated declaration check: the structures, pointer-valued
// constants and macros of the subset's <windows.h>, used as real code uses them, and a
// program that fails when a value differs at run time.
#include <windows.h>
#include <windowsx.h>

#include <cstddef>
#include <cstdio>

extern const unsigned kFunctionCount;

// Structures without pointers have one layout on every target.
static_assert(sizeof(RECT) == 16 && offsetof(RECT, right) == 8, "RECT");
static_assert(sizeof(POINT) == 8 && sizeof(SIZE) == 8, "POINT, SIZE");
static_assert(sizeof(BITMAPINFOHEADER) == 40 && offsetof(BITMAPINFOHEADER, biCompression) == 16, "BITMAPINFOHEADER");
static_assert(sizeof(RGBQUAD) == 4 && offsetof(RGBQUAD, rgbRed) == 2, "RGBQUAD");
static_assert(sizeof(PALETTEENTRY) == 4 && sizeof(LOGPALETTE) == 8, "PALETTEENTRY, LOGPALETTE");
static_assert(sizeof(VS_FIXEDFILEINFO) == 52, "VS_FIXEDFILEINFO");
static_assert(sizeof(LONG) == 4 && sizeof(DWORD) == 4 && sizeof(WORD) == 2 && sizeof(BOOL) == 4, "sizes");
static_assert(sizeof(WPARAM) == sizeof(void *) && sizeof(LPARAM) == sizeof(void *), "pointer-sized");

static int Fields()
{
    PAINTSTRUCT ps{};
    ps.hdc = nullptr;
    ps.fErase = ps.fRestore + ps.fIncUpdate + ps.rgbReserved[0];
    ps.rcPaint.left = ps.rcPaint.top + ps.rcPaint.right + ps.rcPaint.bottom;
    BITMAP bm{};
    bm.bmType = bm.bmWidth + bm.bmHeight + bm.bmWidthBytes + bm.bmPlanes + bm.bmBitsPixel;
    bm.bmBits = nullptr;
    DIBSECTION ds{};
    ds.dsBm = bm;
    ds.dsBitfields[0] = ds.dsOffset + ds.dsBmih.biSizeImage;
    ds.dshSection = nullptr;
    BITMAPINFO bi{};
    bi.bmiColors[0].rgbBlue = bi.bmiColors[0].rgbGreen = bi.bmiColors[0].rgbReserved = 0;
    bi.bmiHeader.biXPelsPerMeter = bi.bmiHeader.biYPelsPerMeter = LONG(bi.bmiHeader.biClrUsed + bi.bmiHeader.biClrImportant);
    LOGPALETTE lp{};
    lp.palVersion = lp.palNumEntries;
    lp.palPalEntry[0].peFlags = lp.palPalEntry[0].peRed = lp.palPalEntry[0].peGreen = lp.palPalEntry[0].peBlue;
    VS_FIXEDFILEINFO vf{};
    vf.dwSignature = vf.dwStrucVersion + vf.dwFileVersionMS + vf.dwFileVersionLS + vf.dwProductVersionMS +
                     vf.dwProductVersionLS + vf.dwFileFlagsMask + vf.dwFileFlags + vf.dwFileOS + vf.dwFileType +
                     vf.dwFileSubtype + vf.dwFileDateMS + vf.dwFileDateLS;
    HCURSOR cursor = nullptr;
    HICON icon = cursor;
    HMODULE module = HINSTANCE(nullptr);
    HGDIOBJ object = HBITMAP(nullptr);
    object = HBRUSH(nullptr);
    object = HPALETTE(nullptr);
    PHKEY key = nullptr;
    WNDPROC proc = nullptr;
    TIMERPROC timer = nullptr;
    FARPROC exported = nullptr;
    return int(ps.fErase) + int(bm.bmType) + int(lp.palVersion) + int(vf.dwSignature) + (icon == nullptr) +
           (module == nullptr) + (object == nullptr) + (key == nullptr) + (proc == nullptr) + (timer == nullptr) +
           (exported == nullptr);
}

int main()
{
    int failures = 0;
    auto expect = [&](bool ok, const char *what) {
        if (!ok) {
            std::printf("differs: %s\n", what);
            ++failures;
        }
    };
    expect(ULONG_PTR(IDC_ARROW) == 32512, "IDC_ARROW");
    expect(ULONG_PTR(MAKEINTRESOURCE(129)) == 129, "MAKEINTRESOURCE");
    expect(HKEY_CURRENT_USER == HKEY(ULONG_PTR(LONG(0x80000001))), "HKEY_CURRENT_USER");
    expect(HKEY_LOCAL_MACHINE == HKEY(ULONG_PTR(LONG(0x80000002))), "HKEY_LOCAL_MACHINE");
    expect(RGB(1, 2, 3) == 0x030201, "RGB");
    expect(PALETTERGB(1, 2, 3) == 0x02030201, "PALETTERGB");
    expect(PALETTEINDEX(5) == 0x01000005, "PALETTEINDEX");
    expect(GetRValue(0x030201) == 1 && GetGValue(0x030201) == 2 && GetBValue(0x030201) == 3, "Get?Value");
    LPARAM lp = MAKELPARAM(-5, 7);
    expect(GET_X_LPARAM(lp) == -5 && GET_Y_LPARAM(lp) == 7 && LOWORD(lp) == 0xFFFB && HIWORD(lp) == 7, "LPARAM");
    expect(MAKELONG(1, 2) == 0x20001 && MAKEWORD(1, 2) == 0x201, "MAKELONG");
    expect(IS_INTRESOURCE(MAKEINTRESOURCE(7)), "IS_INTRESOURCE");
    expect(Fields() >= 0, "fields");
    expect(HGDI_ERROR == HANDLE(LONG_PTR(-1)), "HGDI_ERROR");
    std::printf("%u functions checked, %d differences\n", kFunctionCount, failures);
    return failures ? 1 : 0;
}
