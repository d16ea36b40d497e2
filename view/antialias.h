// Smoothed rendering: the stale area is drawn at twice the resolution into a
// 24-bit bitmap and every 2 x 2 block is averaged into one pixel of the cache.
#ifndef VIEW_ANTIALIAS_H
#define VIEW_ANTIALIAS_H

#include <windows.h>

struct InstanceData;

// Renders the region of the given size at the corner of dirtyRect into the cache.
void RenderAntialiased(InstanceData* data, LONG width, LONG height);

// Averages the 24-bit supersampled image (2 * width by 2 * height, bottom-up rows)
// into the cache image (width by height, bottom-up, 24 or 32 bits per pixel) over
// region, each byte the truncated mean of its four source bytes. At 32 bits the
// unused fourth byte is written as 0. Bytes outside the region stay untouched.
// Returns false, changing nothing, for missing pixels, a non-positive size or
// region, or another depth.
bool Downsample2x(const BYTE* source, BYTE* destination, int destinationDepth, LONG width, LONG height,
                  const RECT& region);
// The same, one byte at a time, exactly as described above: the plain form that the
// fast one is checked and measured against.
bool Downsample2xReference(const BYTE* source, BYTE* destination, int destinationDepth, LONG width, LONG height,
                           const RECT& region);

#endif
