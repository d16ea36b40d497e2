// The Win32 subset: USER, GDI, registry, text and module functions under their real
// names, types and signatures, so that code written against this header compiles
// unchanged against the real <windows.h>. Only what the plug-in and the engine use is
// here; anything else is deliberately missing (a link or compile error, never a stub).
//
// Types follow Win32 on an LP64 host: LONG, BOOL and INT are 32-bit, the *_PTR types are
// pointer-sized, handles are distinct pointer types (STRICT). As on 64-bit Windows, the
// window procedure is exchanged through the ...LongPtr calls with GWLP_WNDPROC; on 32-bit
// Windows those names are macros for the 32-bit calls.
#ifndef VK_PLATFORM_WIN32_WINDOWS_H
#define VK_PLATFORM_WIN32_WINDOWS_H

#include <stddef.h>
#include <stdint.h>

#define WINAPI
#define CALLBACK
#define APIENTRY
#define WINUSERAPI
#define WINGDIAPI
#define VOID void

#ifdef __cplusplus
#define VK_W32_EXTERN_C extern "C"
#else
#define VK_W32_EXTERN_C extern
#endif
#define VK_W32_API VK_W32_EXTERN_C __attribute__((visibility("default")))

/* ---- Basic types ---------------------------------------------------------------- */
typedef int32_t LONG;
typedef uint32_t ULONG;
typedef int32_t BOOL;
typedef int32_t INT;
typedef uint32_t UINT;
typedef uint8_t BYTE;
typedef uint16_t WORD;
typedef uint32_t DWORD;
typedef int16_t SHORT;
typedef uint16_t USHORT;
typedef char CHAR;
typedef intptr_t INT_PTR;
typedef uintptr_t UINT_PTR;
typedef intptr_t LONG_PTR;
typedef uintptr_t ULONG_PTR;
typedef uintptr_t DWORD_PTR;
typedef UINT_PTR WPARAM;
typedef LONG_PTR LPARAM;
typedef LONG_PTR LRESULT;
typedef WORD ATOM;
typedef DWORD COLORREF;
typedef DWORD ACCESS_MASK;
typedef ACCESS_MASK REGSAM;
typedef LONG LSTATUS;

typedef void *PVOID, *LPVOID, *HANDLE;
typedef const void *LPCVOID;
typedef CHAR *LPSTR;
typedef const CHAR *LPCSTR;
typedef BYTE *LPBYTE, *PBYTE;
typedef DWORD *LPDWORD, *PDWORD;
typedef UINT *PUINT;
typedef LONG *LPLONG;
typedef BOOL *LPBOOL;
typedef WORD *LPWORD;

#define DECLARE_HANDLE(name) \
    struct name##__ {        \
        int unused;          \
    };                       \
    typedef struct name##__ *name

DECLARE_HANDLE(HWND);
DECLARE_HANDLE(HDC);
DECLARE_HANDLE(HINSTANCE);
DECLARE_HANDLE(HICON);
DECLARE_HANDLE(HBITMAP);
DECLARE_HANDLE(HBRUSH);
DECLARE_HANDLE(HPALETTE);
DECLARE_HANDLE(HKEY);
DECLARE_HANDLE(HPEN);
DECLARE_HANDLE(HRGN);
typedef HINSTANCE HMODULE;
typedef HICON HCURSOR;
typedef void *HGDIOBJ;
typedef HKEY *PHKEY;

#ifndef FALSE
#define FALSE 0
#endif
#ifndef TRUE
#define TRUE 1
#endif
#define MAX_PATH 260

/* ---- Macros --------------------------------------------------------------------- */
#define LOWORD(l) ((WORD)(((DWORD_PTR)(l)) & 0xffff))
#define HIWORD(l) ((WORD)((((DWORD_PTR)(l)) >> 16) & 0xffff))
#define LOBYTE(w) ((BYTE)(((DWORD_PTR)(w)) & 0xff))
#define HIBYTE(w) ((BYTE)((((DWORD_PTR)(w)) >> 8) & 0xff))
#define MAKEWORD(a, b) ((WORD)(((BYTE)(((DWORD_PTR)(a)) & 0xff)) | ((WORD)((BYTE)(((DWORD_PTR)(b)) & 0xff))) << 8))
#define MAKELONG(a, b) ((LONG)(((WORD)(((DWORD_PTR)(a)) & 0xffff)) | ((DWORD)((WORD)(((DWORD_PTR)(b)) & 0xffff))) << 16))
#define MAKEWPARAM(l, h) ((WPARAM)(DWORD)MAKELONG(l, h))
#define MAKELPARAM(l, h) ((LPARAM)(DWORD)MAKELONG(l, h))
#define MAKELRESULT(l, h) ((LRESULT)(DWORD)MAKELONG(l, h))

#define RGB(r, g, b) ((COLORREF)(((BYTE)(r) | ((WORD)((BYTE)(g)) << 8)) | (((DWORD)(BYTE)(b)) << 16)))
#define PALETTERGB(r, g, b) (0x02000000 | RGB(r, g, b))
#define PALETTEINDEX(i) ((COLORREF)(0x01000000 | (DWORD)(WORD)(i)))
#define GetRValue(rgb) (LOBYTE(rgb))
#define GetGValue(rgb) (LOBYTE(((WORD)(rgb)) >> 8))
#define GetBValue(rgb) (LOBYTE((rgb) >> 16))

#define IS_INTRESOURCE(r) ((((ULONG_PTR)(r)) >> 16) == 0)
#define MAKEINTRESOURCEA(i) ((LPSTR)((ULONG_PTR)((WORD)(i))))
#define MAKEINTRESOURCE MAKEINTRESOURCEA

/* ---- Structures ----------------------------------------------------------------- */
typedef struct tagRECT {
    LONG left;
    LONG top;
    LONG right;
    LONG bottom;
} RECT, *PRECT, *LPRECT;
typedef const RECT *LPCRECT;

typedef struct tagPOINT {
    LONG x;
    LONG y;
} POINT, *PPOINT, *LPPOINT;

typedef struct tagSIZE {
    LONG cx;
    LONG cy;
} SIZE, *PSIZE, *LPSIZE;

typedef struct tagPAINTSTRUCT {
    HDC hdc;
    BOOL fErase;
    RECT rcPaint;
    BOOL fRestore;
    BOOL fIncUpdate;
    BYTE rgbReserved[32];
} PAINTSTRUCT, *PPAINTSTRUCT, *LPPAINTSTRUCT;

typedef struct tagBITMAPINFOHEADER {
    DWORD biSize;
    LONG biWidth;
    LONG biHeight;
    WORD biPlanes;
    WORD biBitCount;
    DWORD biCompression;
    DWORD biSizeImage;
    LONG biXPelsPerMeter;
    LONG biYPelsPerMeter;
    DWORD biClrUsed;
    DWORD biClrImportant;
} BITMAPINFOHEADER, *PBITMAPINFOHEADER, *LPBITMAPINFOHEADER;

typedef struct tagRGBQUAD {
    BYTE rgbBlue;
    BYTE rgbGreen;
    BYTE rgbRed;
    BYTE rgbReserved;
} RGBQUAD;

typedef struct tagBITMAPINFO {
    BITMAPINFOHEADER bmiHeader;
    RGBQUAD bmiColors[1];
} BITMAPINFO, *PBITMAPINFO, *LPBITMAPINFO;

typedef struct tagBITMAP {
    LONG bmType;
    LONG bmWidth;
    LONG bmHeight;
    LONG bmWidthBytes;
    WORD bmPlanes;
    WORD bmBitsPixel;
    LPVOID bmBits;
} BITMAP, *PBITMAP, *LPBITMAP;

typedef struct tagDIBSECTION {
    BITMAP dsBm;
    BITMAPINFOHEADER dsBmih;
    DWORD dsBitfields[3];
    HANDLE dshSection;
    DWORD dsOffset;
} DIBSECTION, *PDIBSECTION, *LPDIBSECTION;

typedef struct tagPALETTEENTRY {
    BYTE peRed;
    BYTE peGreen;
    BYTE peBlue;
    BYTE peFlags;
} PALETTEENTRY, *PPALETTEENTRY, *LPPALETTEENTRY;

typedef struct tagLOGPALETTE {
    WORD palVersion;
    WORD palNumEntries;
    PALETTEENTRY palPalEntry[1];
} LOGPALETTE, *PLOGPALETTE, *LPLOGPALETTE;

typedef struct tagVS_FIXEDFILEINFO {
    DWORD dwSignature;
    DWORD dwStrucVersion;
    DWORD dwFileVersionMS;
    DWORD dwFileVersionLS;
    DWORD dwProductVersionMS;
    DWORD dwProductVersionLS;
    DWORD dwFileFlagsMask;
    DWORD dwFileFlags;
    DWORD dwFileOS;
    DWORD dwFileType;
    DWORD dwFileSubtype;
    DWORD dwFileDateMS;
    DWORD dwFileDateLS;
} VS_FIXEDFILEINFO;

typedef LRESULT(CALLBACK *WNDPROC)(HWND, UINT, WPARAM, LPARAM);
typedef VOID(CALLBACK *TIMERPROC)(HWND, UINT, UINT_PTR, DWORD);
typedef INT_PTR(WINAPI *FARPROC)(void);

/* ---- Constants ------------------------------------------------------------------ */
// Messages
#define WM_NULL 0x0000
#define WM_CREATE 0x0001
#define WM_DESTROY 0x0002
#define WM_MOVE 0x0003
#define WM_SIZE 0x0005
#define WM_PAINT 0x000F
#define WM_ERASEBKGND 0x0014
#define WM_SETCURSOR 0x0020
#define WM_NCDESTROY 0x0082
#define WM_NCHITTEST 0x0084
#define WM_TIMER 0x0113
#define WM_MOUSEMOVE 0x0200
#define WM_LBUTTONDOWN 0x0201
#define WM_LBUTTONUP 0x0202
#define WM_LBUTTONDBLCLK 0x0203
#define WM_RBUTTONDOWN 0x0204
#define WM_RBUTTONUP 0x0205
#define WM_RBUTTONDBLCLK 0x0206
#define WM_CAPTURECHANGED 0x0215
#define WM_USER 0x0400

// WM_SIZE types
#define SIZE_RESTORED 0
#define SIZE_MINIMIZED 1
#define SIZE_MAXIMIZED 2

// Hit-test codes
#define HTERROR (-2)
#define HTTRANSPARENT (-1)
#define HTNOWHERE 0
#define HTCLIENT 1

// Mouse-message key state
#define MK_LBUTTON 0x0001
#define MK_RBUTTON 0x0002
#define MK_SHIFT 0x0004
#define MK_CONTROL 0x0008
#define MK_MBUTTON 0x0010

// Class styles and window/class long indexes
#define CS_VREDRAW 0x0001
#define CS_HREDRAW 0x0002
#define CS_DBLCLKS 0x0008
#define CS_OWNDC 0x0020
#define CS_CLASSDC 0x0040
#define CS_PARENTDC 0x0080
#define GCL_STYLE (-26)
#define GWLP_WNDPROC (-4)
#define GWLP_HINSTANCE (-6)
#define GWLP_ID (-12)
#define GWLP_USERDATA (-21)

// System metrics
#define SM_CXSCREEN 0
#define SM_CYSCREEN 1
#define SM_CXCURSOR 13
#define SM_CYCURSOR 14
#define SM_CXDOUBLECLK 36
#define SM_CYDOUBLECLK 37

// Cursors
#define IDC_ARROW MAKEINTRESOURCE(32512)

// Timers
#define USER_TIMER_MAXIMUM 0x7FFFFFFF
#define USER_TIMER_MINIMUM 0x0000000A

// MessageBeep sounds
#define MB_OK 0x00000000L
#define MB_ICONHAND 0x00000010L
#define MB_ICONQUESTION 0x00000020L
#define MB_ICONEXCLAMATION 0x00000030L
#define MB_ICONASTERISK 0x00000040L

// GDI
#define SRCCOPY (DWORD)0x00CC0020
#define DIB_RGB_COLORS 0
#define DIB_PAL_COLORS 1
#define BI_RGB 0L
#define BI_BITFIELDS 3L
#define GDI_ERROR (0xFFFFFFFFL)
#define CLR_INVALID 0xFFFFFFFF
#define HGDI_ERROR ((HANDLE)(LONG_PTR)-1)
#define OBJ_PEN 1
#define OBJ_BRUSH 2
#define OBJ_DC 3
#define OBJ_PAL 5
#define OBJ_BITMAP 7
#define OBJ_MEMDC 10

// GetDeviceCaps
#define DRIVERVERSION 0
#define TECHNOLOGY 2
#define HORZSIZE 4
#define VERTSIZE 6
#define HORZRES 8
#define VERTRES 10
#define BITSPIXEL 12
#define PLANES 14
#define NUMCOLORS 24
#define RASTERCAPS 38
#define LOGPIXELSX 88
#define LOGPIXELSY 90
#define SIZEPALETTE 104
#define NUMRESERVED 106
#define COLORRES 108
#define DT_RASDISPLAY 1
#define DT_RASPRINTER 2
#define RC_BITBLT 1
#define RC_DI_BITMAP 0x0080
#define RC_PALETTE 0x0100
#define RC_DIBTODEV 0x0200

// Registry
#define HKEY_CLASSES_ROOT ((HKEY)(ULONG_PTR)((LONG)0x80000000))
#define HKEY_CURRENT_USER ((HKEY)(ULONG_PTR)((LONG)0x80000001))
#define HKEY_LOCAL_MACHINE ((HKEY)(ULONG_PTR)((LONG)0x80000002))
#define HKEY_USERS ((HKEY)(ULONG_PTR)((LONG)0x80000003))
#define REG_NONE 0
#define REG_SZ 1
#define REG_EXPAND_SZ 2
#define REG_BINARY 3
#define REG_DWORD 4
#define KEY_QUERY_VALUE 0x0001
#define KEY_ENUMERATE_SUB_KEYS 0x0008
#define KEY_NOTIFY 0x0010
#define KEY_READ 0x20019
#define ERROR_SUCCESS 0L
#define ERROR_FILE_NOT_FOUND 2L
#define ERROR_ACCESS_DENIED 5L
#define ERROR_INVALID_HANDLE 6L
#define ERROR_INVALID_PARAMETER 87L
#define ERROR_MORE_DATA 234L

// Modules
#define DLL_PROCESS_DETACH 0
#define DLL_PROCESS_ATTACH 1
#define DLL_THREAD_ATTACH 2
#define DLL_THREAD_DETACH 3
#define VS_FFI_SIGNATURE 0xFEEF04BDL

/* ---- USER: windows, classes, messages ------------------------------------------- */
VK_W32_API LONG_PTR WINAPI GetWindowLongPtrA(HWND hWnd, int nIndex);
VK_W32_API LONG_PTR WINAPI SetWindowLongPtrA(HWND hWnd, int nIndex, LONG_PTR dwNewLong);
VK_W32_API DWORD WINAPI GetClassLongA(HWND hWnd, int nIndex);
VK_W32_API DWORD WINAPI SetClassLongA(HWND hWnd, int nIndex, LONG dwNewLong);
VK_W32_API LRESULT WINAPI CallWindowProcA(WNDPROC lpPrevWndFunc, HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam);
VK_W32_API LRESULT WINAPI DefWindowProcA(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam);
VK_W32_API LRESULT WINAPI SendMessageA(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam);
VK_W32_API BOOL WINAPI IsWindow(HWND hWnd);
VK_W32_API HWND WINAPI GetParent(HWND hWnd);
VK_W32_API BOOL WINAPI GetClientRect(HWND hWnd, LPRECT lpRect);
VK_W32_API BOOL WINAPI GetWindowRect(HWND hWnd, LPRECT lpRect);
VK_W32_API BOOL WINAPI ScreenToClient(HWND hWnd, LPPOINT lpPoint);
VK_W32_API BOOL WINAPI ClientToScreen(HWND hWnd, LPPOINT lpPoint);
VK_W32_API HWND WINAPI GetDesktopWindow(void);
VK_W32_API BOOL WINAPI DestroyWindow(HWND hWnd);

/* ---- USER: painting ------------------------------------------------------------- */
VK_W32_API BOOL WINAPI InvalidateRect(HWND hWnd, const RECT *lpRect, BOOL bErase);
VK_W32_API BOOL WINAPI ValidateRect(HWND hWnd, const RECT *lpRect);
VK_W32_API BOOL WINAPI GetUpdateRect(HWND hWnd, LPRECT lpRect, BOOL bErase);
VK_W32_API BOOL WINAPI UpdateWindow(HWND hWnd);
VK_W32_API HDC WINAPI BeginPaint(HWND hWnd, LPPAINTSTRUCT lpPaint);
VK_W32_API BOOL WINAPI EndPaint(HWND hWnd, const PAINTSTRUCT *lpPaint);
VK_W32_API HDC WINAPI GetDC(HWND hWnd);
VK_W32_API int WINAPI ReleaseDC(HWND hWnd, HDC hDC);

/* ---- USER: input, capture, cursors ---------------------------------------------- */
VK_W32_API HWND WINAPI SetCapture(HWND hWnd);
VK_W32_API BOOL WINAPI ReleaseCapture(void);
VK_W32_API HWND WINAPI GetCapture(void);
VK_W32_API BOOL WINAPI GetCursorPos(LPPOINT lpPoint);
VK_W32_API UINT WINAPI GetDoubleClickTime(void);
VK_W32_API int WINAPI GetSystemMetrics(int nIndex);
VK_W32_API HCURSOR WINAPI LoadCursorA(HINSTANCE hInstance, LPCSTR lpCursorName);
VK_W32_API HCURSOR WINAPI SetCursor(HCURSOR hCursor);
VK_W32_API HCURSOR WINAPI GetCursor(void);

/* ---- USER: rectangles ----------------------------------------------------------- */
VK_W32_API BOOL WINAPI PtInRect(const RECT *lprc, POINT pt);
VK_W32_API BOOL WINAPI SetRect(LPRECT lprc, int xLeft, int yTop, int xRight, int yBottom);
VK_W32_API BOOL WINAPI SetRectEmpty(LPRECT lprc);
VK_W32_API BOOL WINAPI CopyRect(LPRECT lprcDst, const RECT *lprcSrc);
VK_W32_API BOOL WINAPI IsRectEmpty(const RECT *lprc);
VK_W32_API BOOL WINAPI EqualRect(const RECT *lprc1, const RECT *lprc2);
VK_W32_API BOOL WINAPI IntersectRect(LPRECT lprcDst, const RECT *lprcSrc1, const RECT *lprcSrc2);
VK_W32_API BOOL WINAPI UnionRect(LPRECT lprcDst, const RECT *lprcSrc1, const RECT *lprcSrc2);
VK_W32_API BOOL WINAPI OffsetRect(LPRECT lprc, int dx, int dy);
VK_W32_API BOOL WINAPI InflateRect(LPRECT lprc, int dx, int dy);

/* ---- USER: timers, time, sound -------------------------------------------------- */
VK_W32_API UINT_PTR WINAPI SetTimer(HWND hWnd, UINT_PTR nIDEvent, UINT uElapse, TIMERPROC lpTimerFunc);
VK_W32_API BOOL WINAPI KillTimer(HWND hWnd, UINT_PTR uIDEvent);
VK_W32_API DWORD WINAPI GetTickCount(void);
VK_W32_API BOOL WINAPI MessageBeep(UINT uType);

/* ---- USER: text of the system code page ----------------------------------------- */
VK_W32_API LPSTR WINAPI CharUpperA(LPSTR lpsz);
VK_W32_API LPSTR WINAPI CharLowerA(LPSTR lpsz);
VK_W32_API LPSTR WINAPI CharNextA(LPCSTR lpsz);
VK_W32_API LPSTR WINAPI CharPrevA(LPCSTR lpszStart, LPCSTR lpszCurrent);
VK_W32_API BOOL WINAPI IsDBCSLeadByte(BYTE TestChar);
VK_W32_API UINT WINAPI GetACP(void);

/* ---- GDI ------------------------------------------------------------------------ */
VK_W32_API int WINAPI GetDeviceCaps(HDC hdc, int index);
VK_W32_API HDC WINAPI CreateCompatibleDC(HDC hdc);
VK_W32_API BOOL WINAPI DeleteDC(HDC hdc);
VK_W32_API HBITMAP WINAPI CreateCompatibleBitmap(HDC hdc, int cx, int cy);
VK_W32_API HBITMAP WINAPI CreateDIBSection(HDC hdc, const BITMAPINFO *pbmi, UINT usage, VOID **ppvBits,
                                           HANDLE hSection, DWORD offset);
VK_W32_API HGDIOBJ WINAPI SelectObject(HDC hdc, HGDIOBJ h);
VK_W32_API BOOL WINAPI DeleteObject(HGDIOBJ ho);
VK_W32_API int WINAPI GetObjectA(HANDLE h, int c, LPVOID pv);
VK_W32_API DWORD WINAPI GetObjectType(HGDIOBJ h);
VK_W32_API HGDIOBJ WINAPI GetCurrentObject(HDC hdc, UINT type);
VK_W32_API HBRUSH WINAPI CreateSolidBrush(COLORREF color);
VK_W32_API int WINAPI FillRect(HDC hDC, const RECT *lprc, HBRUSH hbr);
VK_W32_API BOOL WINAPI BitBlt(HDC hdc, int x, int y, int cx, int cy, HDC hdcSrc, int x1, int y1, DWORD rop);
VK_W32_API int WINAPI SetDIBitsToDevice(HDC hdc, int xDest, int yDest, DWORD w, DWORD h, int xSrc, int ySrc,
                                        UINT StartScan, UINT cLines, const VOID *lpvBits,
                                        const BITMAPINFO *lpbmi, UINT ColorUse);
VK_W32_API COLORREF WINAPI GetPixel(HDC hdc, int x, int y);
VK_W32_API BOOL WINAPI GdiFlush(void);
VK_W32_API HPALETTE WINAPI CreatePalette(const LOGPALETTE *plpal);
VK_W32_API HPALETTE WINAPI SelectPalette(HDC hdc, HPALETTE hPal, BOOL bForceBkgd);
VK_W32_API UINT WINAPI RealizePalette(HDC hdc);
VK_W32_API UINT WINAPI GetPaletteEntries(HPALETTE hpal, UINT iStart, UINT cEntries, LPPALETTEENTRY pPalEntries);
VK_W32_API BOOL WINAPI GetWindowExtEx(HDC hdc, LPSIZE lpsize);
VK_W32_API BOOL WINAPI GetViewportExtEx(HDC hdc, LPSIZE lpsize);

/* ---- Registry ------------------------------------------------------------------- */
VK_W32_API LSTATUS WINAPI RegOpenKeyExA(HKEY hKey, LPCSTR lpSubKey, DWORD ulOptions, REGSAM samDesired,
                                        PHKEY phkResult);
VK_W32_API LSTATUS WINAPI RegQueryValueExA(HKEY hKey, LPCSTR lpValueName, LPDWORD lpReserved, LPDWORD lpType,
                                           LPBYTE lpData, LPDWORD lpcbData);
VK_W32_API LSTATUS WINAPI RegCloseKey(HKEY hKey);

/* ---- Modules and version information -------------------------------------------- */
VK_W32_API HMODULE WINAPI LoadLibraryA(LPCSTR lpLibFileName);
VK_W32_API BOOL WINAPI FreeLibrary(HMODULE hLibModule);
VK_W32_API FARPROC WINAPI GetProcAddress(HMODULE hModule, LPCSTR lpProcName);
VK_W32_API HMODULE WINAPI GetModuleHandleA(LPCSTR lpModuleName);
VK_W32_API DWORD WINAPI GetModuleFileNameA(HMODULE hModule, LPSTR lpFilename, DWORD nSize);
VK_W32_API DWORD WINAPI GetFileVersionInfoSizeA(LPCSTR lptstrFilename, LPDWORD lpdwHandle);
VK_W32_API BOOL WINAPI GetFileVersionInfoA(LPCSTR lptstrFilename, DWORD dwHandle, DWORD dwLen, LPVOID lpData);
VK_W32_API BOOL WINAPI VerQueryValueA(LPCVOID pBlock, LPCSTR lpSubBlock, LPVOID *lplpBuffer, PUINT puLen);

/* ---- ANSI names, as <windows.h> maps them without UNICODE ------------------------- */
#define GetWindowLongPtr GetWindowLongPtrA
#define SetWindowLongPtr SetWindowLongPtrA
#define GetClassLong GetClassLongA
#define SetClassLong SetClassLongA
#define CallWindowProc CallWindowProcA
#define DefWindowProc DefWindowProcA
#define SendMessage SendMessageA
#define LoadCursor LoadCursorA
#define CharUpper CharUpperA
#define CharLower CharLowerA
#define CharNext CharNextA
#define CharPrev CharPrevA
#define GetObject GetObjectA
#define RegOpenKeyEx RegOpenKeyExA
#define RegQueryValueEx RegQueryValueExA
#define LoadLibrary LoadLibraryA
#define GetModuleHandle GetModuleHandleA
#define GetModuleFileName GetModuleFileNameA
#define GetFileVersionInfoSize GetFileVersionInfoSizeA
#define GetFileVersionInfo GetFileVersionInfoA
#define VerQueryValue VerQueryValueA

#endif
