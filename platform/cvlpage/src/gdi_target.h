// Painting a laid-out drawing into any device context through GDI.
#pragma once

#include <windows.h>

#include "scene.h"

namespace cvl {

// Paints the clip rectangle of the device context: the pixels there are read back
// (or taken as white when `unreadable`, as on a printer), the drawing is rasterised
// over them and the result is copied back. Pixels outside `clip` are never touched.
bool PaintIntoDC(HDC dc, const PixelRect& clip, Scene& scene, const RenderOptions& options, bool unreadable);

}  // namespace cvl
