// The per-instance record that every part of the plug-in reaches through the
// browser's NPP handle (its pdata field), and the instance operations.
#ifndef PLUGIN_PLUGIN_INSTANCE_H
#define PLUGIN_PLUGIN_INSTANCE_H

#include <windows.h>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>

#include "engine_api.h"
#include "npapi.h"
#include "owned_handle.h"

class DrawingView;
class BrowserLink;

struct InstanceData {
    InstanceData();
    virtual ~InstanceData();
    InstanceData(const InstanceData&) = delete;
    InstanceData& operator=(const InstanceData&) = delete;

    std::unique_ptr<DrawingView> view;  // takes over the browser's window at NPP_SetWindow
    CVLDRAWING drawing = 0;            // the loaded drawing; 0 = none
    OwnedBitmap cacheBitmap;            // off-screen image of the view
    LONG cacheWidth = 0;
    LONG cacheHeight = 0;
    void* cacheBits = nullptr;          // pixels of cacheBitmap when it is a DIB section
    OwnedBitmap superBitmap;            // double-size 24-bit image for antialiasing
    void* superBits = nullptr;
    OwnedDC superDC;                    // memory DC kept for antialiased rendering
    OwnedBrush backgroundBrush;         // page background colour
    RECT dirtyRect = {0, 0, 0, 0};      // view area still to be rendered into the cache
    BOOL cacheDrawn = 0;                // 1 once the engine has rendered into the current cache
    // Embed attributes, keys lower-cased; looked up by any string without a copy of it.
    std::map<std::string, std::string, std::less<>> attributes;
    std::unique_ptr<BrowserLink> link;  // this instance's way back to the browser
    std::string drawingFile;            // local file of the current drawing, for reloads

    // Bookkeeping that keeps scripts safe across drawing replacement and nesting.
    unsigned drawingGeneration = 0;     // grows each time the drawing is freed or replaced
    bool loadPassRunning = false;       // an OnLoad pass is running on this instance
    bool resetRunning = false;          // a reset is putting its reloaded drawing in place
    int eventDepth = 0;                 // nesting depth of event firings on this instance

    bool HasAttribute(const char* lowerCaseName) const;
};

// The record of an NPP, or null when there is none.
InstanceData* InstanceFromNPP(NPP instance);

// Frees everything the instance owns except the record itself.
void ReleaseInstance(InstanceData* data);

// Deletes the images rendered from the drawing (cache, antialiasing bitmap and
// its DC, background brush) and forgets the pointers into their pixels.
void FreeRenderedImages(InstanceData* data);

// Frees the current drawing, if any, after stopping this instance's timed effects
// while the drawing still exists, and marks every symbol handle taken from it as
// stale (drawingGeneration). Used wherever a drawing is replaced or released.
void FreeInstanceDrawing(InstanceData* data);

#endif
