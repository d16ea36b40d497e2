// The drawing engine CVLPAGE.DLL as the plug-in calls it.
//
// Every function of the engine that the plug-in uses is declared here, with the
// argument order and types the plug-in passes. Handles are 32-bit values that the
// engine hands out and validates; 0 always means "none". Engine coordinates are
// the device pixels of the page rectangle of the latest DrawPage on the drawing.
#ifndef VK_ENGINE_ENGINE_API_H
#define VK_ENGINE_ENGINE_API_H

#include <windows.h>

#ifdef __cplusplus
extern "C" {
#endif

typedef DWORD CVLDRAWING;  // a loaded drawing, 0 for none
typedef DWORD CVLSYMBOL;   // a symbol of a drawing (groups are symbols), 0 for none

// Called once per visited symbol; a non-zero result stops the enumeration.
typedef int(WINAPI* CVLSYMBOLENUMPROC)(CVLSYMBOL symbol, void* context);

// DrawPage modes.
#define CVL_MODE_RENDER 3  // fit the drawing to the page and paint the update rectangle
#define CVL_MODE_LAYOUT 4  // fit the drawing to the page only; nothing is painted

// DrawPage flags.
#define CVL_DRAW_FIT 0x0001           // fit the whole drawing into the page (uniform scale, centred)
#define CVL_DRAW_PAPER 0x0008         // paint the drawing's own paper colour, when it has one
#define CVL_DRAW_INCREMENTAL 0x0020   // repeat the options of the drawing's last full pass
#define CVL_DRAW_PRINTING 0x0080      // the target is a printer: not readable, own page mapping
#define CVL_DRAW_HIDDEN_BOUNDS 0x0100 // outline the bounds of hidden symbols

// The fifth DrawPage argument: which layer to paint.
#define CVL_ALL_LAYERS 0
// The last DrawPage argument: zoom in percent of the fitted size.
#define CVL_ZOOM_FIT 100

// EnumSymbols / EnumGroupedSymbol options.
#define CVL_ENUM_NESTED 0x0002     // descend into groups, each group before its members
#define CVL_ENUM_BOTTOM_UP 0x0010  // stacking order from the bottom (else from the top)
#define CVL_ENUM_ALL 0x0020        // hidden symbols and symbols of hidden layers too
#define CVL_ENUM_EVERY_SYMBOL (CVL_ENUM_NESTED | CVL_ENUM_BOTTOM_UP | CVL_ENUM_ALL)  // 50
#define CVL_ENUM_MEMBERS CVL_ENUM_ALL                                                // 32

// SymbolFromPoint: the int the tolerance argument points at is the extra reach, in
// device pixels, around strokes and outlines; the last argument chooses the answer
// for a point over a group member.
#define CVL_HIT_TOLERANCE 2
#define CVL_HIT_OUTERMOST 0  // the top-level symbol (the group answers for its members)
#define CVL_HIT_INNERMOST 1  // the innermost member under the point

// GetSymbolFillType results.
#define CVL_FILL_NONE 0
#define CVL_FILL_HATCH 1
#define CVL_FILL_SOLID 2

// SetSolidSymbolFill: the last argument says whether the change also reaches a group's members.
#define CVL_FILL_SYMBOL_ONLY 0
#define CVL_FILL_WITH_MEMBERS 1

CVLDRAWING WINAPI LoadDrawing(LPCSTR path);
int WINAPI FreeDrawing(CVLDRAWING drawing);
int WINAPI DrawPage(CVLDRAWING drawing, HDC dc, const RECT* page, const RECT* update, int layer, int mode,
                    DWORD flags, int zoomPercent);
HPALETTE WINAPI GetDrawingPalette(void);

int WINAPI EnumSymbols(CVLDRAWING drawing, CVLSYMBOLENUMPROC proc, void* context, int options);
int WINAPI EnumGroupedSymbol(CVLDRAWING drawing, CVLSYMBOL group, CVLSYMBOLENUMPROC proc, void* context,
                             int options);
CVLSYMBOL WINAPI SymbolFromName(CVLDRAWING drawing, LPCSTR name);
CVLSYMBOL WINAPI SymbolFromPoint(CVLDRAWING drawing, const POINT* point, int* tolerance, int options);
int WINAPI GetSymbolRect(CVLDRAWING drawing, CVLSYMBOL symbol, RECT* bounds);

// Lengths count bytes without the terminating zero. The getters copy at most
// size - 1 bytes and always terminate; they return the number of bytes copied.
int WINAPI GetSymbolNameLength(CVLDRAWING drawing, CVLSYMBOL symbol);  // < 1: unnamed
int WINAPI GetSymbolName(CVLDRAWING drawing, CVLSYMBOL symbol, LPSTR buffer, int size);
int WINAPI GetPropertyLength(CVLDRAWING drawing, CVLSYMBOL symbol, LPCSTR name);  // < 0: absent
int WINAPI GetProperty(CVLDRAWING drawing, CVLSYMBOL symbol, LPCSTR name, LPSTR buffer, int size);
int WINAPI SetProperty(CVLDRAWING drawing, CVLSYMBOL symbol, LPCSTR name, LPCSTR value);

int WINAPI GetSymbolVisibleFlag(CVLDRAWING drawing, CVLSYMBOL symbol);
int WINAPI SetSymbolVisibleFlag(CVLDRAWING drawing, CVLSYMBOL symbol, int visible);
int WINAPI GetLayerVisibleFlag(CVLDRAWING drawing, int layer);
int WINAPI SetLayerVisibleFlag(CVLDRAWING drawing, int layer, int visible);
int WINAPI GetNumberOfLayers(CVLDRAWING drawing);
int WINAPI SetCurrentLayer(CVLDRAWING drawing, int layer);

int WINAPI GetSymbolFillType(CVLDRAWING drawing, CVLSYMBOL symbol, int* fillType);
int WINAPI GetSolidSymbolFill(CVLDRAWING drawing, CVLSYMBOL symbol, COLORREF* colour);
int WINAPI SetSolidSymbolFill(CVLDRAWING drawing, CVLSYMBOL symbol, COLORREF colour, int scope);
int WINAPI SetSymbolText(CVLDRAWING drawing, CVLSYMBOL symbol, LPCSTR text);

// offset and centre in engine coordinates; angle in tenths of a degree, positive
// turning counter-clockwise on screen.
int WINAPI MoveSymbol(CVLDRAWING drawing, CVLSYMBOL symbol, const POINT* offset);
int WINAPI RotateSymbol(CVLDRAWING drawing, CVLSYMBOL symbol, short angle, const POINT* centre);

int WINAPI MoveSymbolToTop(CVLDRAWING drawing, CVLSYMBOL symbol);
int WINAPI StepSymbolUp(CVLDRAWING drawing, CVLSYMBOL symbol);
int WINAPI MoveSymbolToBottom(CVLDRAWING drawing, CVLSYMBOL symbol);
int WINAPI StepSymbolDown(CVLDRAWING drawing, CVLSYMBOL symbol);

#ifdef __cplusplus
}
#endif

#endif
