#include "plugin_instance.h"

#include <cmath>
#include <new>

#include "ansi_text.h"
#include "browser_link.h"
#include "effect_registry.h"
#include "view_window.h"

InstanceData::InstanceData() = default;

// A record freed without NPP_Destroy still gives back what it owns, in the same
// order: the drawing before the bitmaps, the view and the link.
InstanceData::~InstanceData() { ReleaseInstance(this); }

bool InstanceData::HasAttribute(const char* lowerCaseName) const {
    return lowerCaseName != nullptr && attributes.count(std::string_view(lowerCaseName)) != 0;
}

InstanceData* InstanceFromNPP(NPP instance) {
    return instance != nullptr ? static_cast<InstanceData*>(instance->pdata) : nullptr;
}

void FreeInstanceDrawing(InstanceData* data) {
    if (data == nullptr) return;
    if (data->drawing != 0) {
        // Effects restore their symbols, which needs the drawing still alive.
        StopInstanceEffects(data);
        FreeDrawing(data->drawing);
        data->drawing = 0;
    }
    ++data->drawingGeneration;
}

void FreeRenderedImages(InstanceData* data) {
    data->cacheBitmap.reset();
    data->cacheBits = nullptr;
    data->superBitmap.reset();
    data->superBits = nullptr;
    data->superDC.reset();
    data->backgroundBrush.reset();
}

void ReleaseInstance(InstanceData* data) {
    if (data == nullptr) return;
    // Its effects, beep included, end with the instance while its drawing and
    // view still exist; those of other instances run on.
    EndInstanceEffects(data);
    FreeInstanceDrawing(data);
    FreeRenderedImages(data);
    // The view's destructor gives the browser's window its own procedure back.
    data->view.reset();
    // Requests still pending are dropped; their consumers are not told.
    data->link.reset();
}

NPError NPP_New(NPMIMEType pluginType, NPP instance, uint16 mode, int16 argc, char* argn[], char* argv[],
                NPSavedData* saved) {
    (void)pluginType;
    (void)saved;
    if (instance == nullptr) return NPERR_INVALID_INSTANCE_ERROR;

    InstanceData* data = new (std::nothrow) InstanceData();
    if (data == nullptr) return NPERR_OUT_OF_MEMORY_ERROR;
    try {
        data->link.reset(new NpBrowserLink(instance));
        if (mode == NP_EMBED && argn != nullptr && argv != nullptr) {
            for (int i = 0; i < argc; ++i) {
                if (argn[i] == nullptr) continue;
                // A later attribute whose name differs only in case replaces the earlier one.
                data->attributes[LowerCasedAnsi(argn[i])] = argv[i] != nullptr ? argv[i] : "";
            }
        }
    } catch (const std::bad_alloc&) {
        delete data;
        return NPERR_OUT_OF_MEMORY_ERROR;
    }
    instance->pdata = data;
    return NPERR_NO_ERROR;
}

NPError NPP_SetWindow(NPP instance, NPWindow* window) {
    if (window == nullptr) return NPERR_GENERIC_ERROR;
    if (instance == nullptr) return NPERR_INVALID_INSTANCE_ERROR;
    InstanceData* data = InstanceFromNPP(instance);
    if (data == nullptr) return NPERR_GENERIC_ERROR;

    // The first window is kept for the instance's life: later sizes reach the view
    // as window messages, and another window handle is ignored. A handle whose window
    // is already gone is no window at all: the instance waits for a real one.
    HWND hwnd = static_cast<HWND>(window->window);
    if (data->view == nullptr && hwnd != nullptr && IsWindow(hwnd)) {
        // The view subclasses the window and adds CS_DBLCLKS to its class, so that
        // double clicks arrive as such.
        data->view.reset(new DrawingView(data, hwnd));
    }
    return NPERR_NO_ERROR;
}

namespace {

// value x ratio, rounded half up and truncated toward zero, kept inside LONG.
LONG ScaleForPrinter(double value, double ratio) {
    double scaled = value * ratio + 0.5;
    if (!(scaled > -2147483648.0)) return LONG(-2147483647 - 1);  // also NaN
    if (scaled >= 2147483647.0) return LONG(2147483647);
    return static_cast<LONG>(scaled);
}

}  // namespace

void NPP_Print(NPP instance, NPPrint* printInfo) {
    if (printInfo == nullptr || instance == nullptr) return;
    if (printInfo->mode == NP_FULL) {
        // The browser prints a full-page drawing by itself.
        printInfo->print.fullPrint.pluginPrinted = false;
        return;
    }
    const NPEmbedPrint& embed = printInfo->print.embedPrint;
    HDC printer = static_cast<HDC>(embed.platformPrint);
    InstanceData* data = InstanceFromNPP(instance);
    if (data == nullptr || data->drawing == 0 || printer == nullptr) return;

    SIZE windowExtent = {0, 0};
    SIZE viewportExtent = {0, 0};
    GetWindowExtEx(printer, &windowExtent);
    GetViewportExtEx(printer, &viewportExtent);
    // A printer context without a window extent maps nothing: print unscaled.
    double ratio = windowExtent.cx != 0 ? double(viewportExtent.cx) / double(windowExtent.cx) : 1.0;

    const double left = embed.window.x;
    const double top = embed.window.y;
    RECT page;
    page.left = ScaleForPrinter(left, ratio);
    page.top = ScaleForPrinter(top, ratio);
    page.right = ScaleForPrinter(left + double(embed.window.width), ratio);
    page.bottom = ScaleForPrinter(top + double(embed.window.height), ratio);

    DWORD flags = CVL_DRAW_FIT | CVL_DRAW_PAPER | CVL_DRAW_PRINTING;
    if (data->HasAttribute("hiddenbounds")) flags |= CVL_DRAW_HIDDEN_BOUNDS;
    DrawPage(data->drawing, printer, &page, nullptr, CVL_ALL_LAYERS, CVL_MODE_RENDER, flags, CVL_ZOOM_FIT);
}

NPError NPP_Destroy(NPP instance, NPSavedData** save) {
    (void)save;
    if (instance == nullptr) return NPERR_INVALID_INSTANCE_ERROR;
    InstanceData* data = InstanceFromNPP(instance);
    if (data == nullptr) return NPERR_NO_ERROR;
    ReleaseInstance(data);
    instance->pdata = nullptr;
    delete data;
    return NPERR_NO_ERROR;
}
