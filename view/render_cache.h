// The off-screen image of a view: rebuilding, rendering the stale area, painting,
// invalidation, the page background colour and the drawing palette.
#ifndef VIEW_RENDER_CACHE_H
#define VIEW_RENDER_CACHE_H

#include <windows.h>

#include "engine_api.h"

struct InstanceData;

void RebuildRenderCache(InstanceData* data);
void PaintView(InstanceData* data, HDC paintDC, const RECT& paintRect);
void RenderDirtyRect(InstanceData* data);
void InvalidateViewRect(InstanceData* data, LONG left, LONG top, LONG right, LONG bottom);
void InvalidateView(InstanceData* data);
void InvalidateSymbol(InstanceData* data, CVLSYMBOL symbol);
COLORREF BrowserBackgroundColor();
void RealizeDrawingPalette(HDC dc);
// A DIB section of the given depth; null on failure. *bits receives its pixels.
HBITMAP CreateDib(int depth, LONG width, LONG height, HDC dc, void** bits);
bool AntialiasActive(const InstanceData* data);

// Flags of the next DrawPage into the cache: a first full pass after a rebuild
// (hidden bounds outlined when the page asks for it), else an incremental one.
DWORD CacheRenderFlags(const InstanceData* data);
// Bits per pixel of the cache when it is a DIB section, else 0.
int CacheDepth(const InstanceData* data);
// Deletes the process-wide drawing palette; called once when the module unloads.
void ReleaseDrawingPalette();

#endif
