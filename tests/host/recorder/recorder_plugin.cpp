// A plug-in for testing the browser: it reports every call it receives through
// NPN_Status, so the browser's log shows the calls interleaved with everything
// else, and behaves as its embed attributes tell it:
//   stype     file | normal | asfileonly | seek | error   (the choice in NPP_NewStream)
//   ready     N[,N...]  NPP_WriteReady answers, in turn; the last one repeats
//   take      N         most bytes one NPP_Write accepts (-1: refuses the stream)
//   on-new, on-window, on-file, on-write, on-end
//             "geturl URL TARGET" or "status TEXT", several separated by ';';
//             TARGET "null" is a null target
//   color     R,G,B     what its window paints
// Module-level events (attach, NP_* calls, detach) are appended to the file that
// the environment variable VK_RECORDER_JOURNAL names, if set.
#include <windows.h>

#include "npapi.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

namespace {

NPNetscapeFuncs* browser = nullptr;

void Journal(const std::string& line) {
    const char* path = std::getenv("VK_RECORDER_JOURNAL");
    if (!path) return;
    if (FILE* file = std::fopen(path, "a")) {
        std::fprintf(file, "%s\n", line.c_str());
        std::fclose(file);
    }
}

struct Recorder {
    NPP npp = nullptr;
    std::map<std::string, std::string> attributes;
    std::vector<long> ready;
    size_t readyCalls = 0;
    HWND window = nullptr;
    WNDPROC oldProc = nullptr;
    COLORREF color = RGB(200, 200, 255);

    std::string Attribute(const char* name, const char* fallback = "") const {
        auto found = attributes.find(name);
        return found == attributes.end() ? fallback : found->second;
    }
};

std::map<HWND, Recorder*> windows;

void Report(Recorder* recorder, const std::string& text) {
    if (browser && browser->status) browser->status(recorder->npp, text.c_str());
}

void Act(Recorder* recorder, const char* event) {
    std::string actions = recorder->Attribute(event);
    size_t start = 0;
    while (start < actions.size()) {
        size_t end = actions.find(';', start);
        std::string action = actions.substr(start, end == std::string::npos ? std::string::npos : end - start);
        start = end == std::string::npos ? actions.size() : end + 1;
        if (action.compare(0, 7, "status ") == 0) {
            browser->status(recorder->npp, action.substr(7).c_str());
        } else if (action.compare(0, 7, "geturl ") == 0) {
            std::string rest = action.substr(7);
            size_t space = rest.find(' ');
            std::string url = rest.substr(0, space);
            std::string target = space == std::string::npos ? "null" : rest.substr(space + 1);
            NPError result = browser->geturl(recorder->npp, url.c_str(), target == "null" ? nullptr : target.c_str());
            Report(recorder, "geturl-result " + std::to_string(result));
        }
    }
}

LRESULT CALLBACK RecorderWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    Recorder* recorder = windows[window];
    if (message == WM_PAINT) {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(window, &paint);
        HBRUSH brush = CreateSolidBrush(recorder->color);
        RECT client;
        GetClientRect(window, &client);
        FillRect(dc, &client, brush);
        DeleteObject(brush);
        EndPaint(window, &paint);
        return 0;
    }
    if (message == WM_ERASEBKGND) return 1;
    return CallWindowProcA(recorder->oldProc, window, message, wParam, lParam);
}

Recorder* From(NPP instance) {
    return instance ? static_cast<Recorder*>(instance->pdata) : nullptr;
}

std::string Printable(const void* bytes, int32 length) {
    std::string text(static_cast<const char*>(bytes), static_cast<size_t>(length > 16 ? 16 : length));
    return length > 16 ? text + "..." : text;
}

NPError RecNew(NPMIMEType type, NPP instance, uint16 mode, int16 argc, char* argn[], char* argv[], NPSavedData*) {
    auto* recorder = new Recorder();
    recorder->npp = instance;
    instance->pdata = recorder;
    std::string text = "NPP_New mode=" + std::to_string(mode) + " type=" + type + " argc=" + std::to_string(argc);
    for (int i = 0; i < argc; ++i) {
        text += std::string(" ") + argn[i] + "=" + argv[i];
        recorder->attributes[argn[i]] = argv[i];
    }
    std::string ready = recorder->Attribute("ready", "1024");
    for (char* p = ready.data(); *p;) {
        char* end = nullptr;
        recorder->ready.push_back(std::strtol(p, &end, 10));
        p = *end == ',' ? end + 1 : end + std::strlen(end);
    }
    int r = 200, g = 200, b = 255;
    std::sscanf(recorder->Attribute("color", "200,200,255").c_str(), "%d,%d,%d", &r, &g, &b);
    recorder->color = RGB(r, g, b);
    Report(recorder, text);
    Act(recorder, "on-new");
    return NPERR_NO_ERROR;
}

NPError RecDestroy(NPP instance, NPSavedData**) {
    Recorder* recorder = From(instance);
    Report(recorder, "NPP_Destroy");
    if (recorder->window) {
        SetWindowLongPtrA(recorder->window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(recorder->oldProc));
        windows.erase(recorder->window);
    }
    delete recorder;
    instance->pdata = nullptr;
    return NPERR_NO_ERROR;
}

NPError RecSetWindow(NPP instance, NPWindow* window) {
    Recorder* recorder = From(instance);
    Report(recorder, "NPP_SetWindow at " + std::to_string(window->x) + "," + std::to_string(window->y) + " size " +
                         std::to_string(window->width) + "x" + std::to_string(window->height));
    HWND hwnd = static_cast<HWND>(window->window);
    if (!recorder->window && hwnd) {
        recorder->window = hwnd;
        windows[hwnd] = recorder;
        recorder->oldProc = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(RecorderWindowProc)));
        InvalidateRect(hwnd, nullptr, TRUE);
    }
    Act(recorder, "on-window");
    return NPERR_NO_ERROR;
}

NPError RecNewStream(NPP instance, NPMIMEType type, NPStream* stream, NPBool seekable, uint16* stype) {
    Recorder* recorder = From(instance);
    std::string choice = recorder->Attribute("stype", "file");
    Report(recorder, std::string("NPP_NewStream ") + stream->url + " type=" + type + " end=" +
                         std::to_string(stream->end) + " seekable=" + std::to_string(seekable) + " choose=" + choice);
    if (choice == "error") return NPERR_GENERIC_ERROR;
    *stype = choice == "normal" ? NP_NORMAL : choice == "seek" ? NP_SEEK : choice == "asfileonly" ? NP_ASFILEONLY
                                                                                                      : NP_ASFILE;
    return NPERR_NO_ERROR;
}

NPError RecDestroyStream(NPP instance, NPStream* stream, NPReason reason) {
    Recorder* recorder = From(instance);
    Report(recorder, std::string("NPP_DestroyStream ") + stream->url + " reason=" + std::to_string(reason));
    Act(recorder, "on-end");
    return NPERR_NO_ERROR;
}

void RecStreamAsFile(NPP instance, NPStream* stream, const char* fname) {
    Recorder* recorder = From(instance);
    std::string text = std::string("NPP_StreamAsFile ") + stream->url;
    // The file's contents show that the path is real; the path itself is the machine's.
    if (FILE* file = fname ? std::fopen(fname, "rb") : nullptr) {
        char buffer[17] = {};
        size_t read = std::fread(buffer, 1, 16, file);
        std::fclose(file);
        text += " content=" + std::string(buffer, read);
    } else {
        text += " unreadable";
    }
    Report(recorder, text);
    Act(recorder, "on-file");
}

int32 RecWriteReady(NPP instance, NPStream*) {
    Recorder* recorder = From(instance);
    size_t turn = recorder->readyCalls < recorder->ready.size() ? recorder->readyCalls : recorder->ready.size() - 1;
    ++recorder->readyCalls;
    return static_cast<int32>(recorder->ready[turn]);
}

int32 RecWrite(NPP instance, NPStream* stream, int32 offset, int32 len, void* buffer) {
    Recorder* recorder = From(instance);
    long take = std::strtol(recorder->Attribute("take", "2147483647").c_str(), nullptr, 10);
    int32 taken = take < 0 ? -1 : static_cast<int32>(take < len ? take : len);
    Report(recorder, std::string("NPP_Write ") + stream->url + " offset=" + std::to_string(offset) +
                         " len=" + std::to_string(len) + " data=" + Printable(buffer, taken < 0 ? len : taken) +
                         " taken=" + std::to_string(taken));
    Act(recorder, "on-write");
    return taken;
}

void RecPrint(NPP instance, NPPrint* print) {
    Recorder* recorder = From(instance);
    if (print->mode == NP_FULL) {
        Report(recorder, "NPP_Print full");
        print->print.fullPrint.pluginPrinted = false;
        return;
    }
    const NPWindow& window = print->print.embedPrint.window;
    HDC printer = static_cast<HDC>(print->print.embedPrint.platformPrint);
    SIZE windowExtent{}, viewportExtent{};
    GetWindowExtEx(printer, &windowExtent);
    GetViewportExtEx(printer, &viewportExtent);
    Report(recorder, "NPP_Print embed at " + std::to_string(window.x) + "," + std::to_string(window.y) + " size " +
                         std::to_string(window.width) + "x" + std::to_string(window.height) + " extents " +
                         std::to_string(windowExtent.cx) + "x" + std::to_string(windowExtent.cy) + " to " +
                         std::to_string(viewportExtent.cx) + "x" + std::to_string(viewportExtent.cy));
    double ratio = windowExtent.cx ? double(viewportExtent.cx) / windowExtent.cx : 1.0;
    RECT page{LONG(window.x * ratio), LONG(window.y * ratio), LONG((window.x + LONG(window.width)) * ratio),
              LONG((window.y + LONG(window.height)) * ratio)};
    HBRUSH brush = CreateSolidBrush(recorder->color);
    FillRect(printer, &page, brush);
    DeleteObject(brush);
}

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) Journal("attach");
    if (reason == DLL_PROCESS_DETACH) Journal("detach");
    return TRUE;
}

extern "C" NPError WINAPI NP_GetEntryPoints(NPPluginFuncs* funcs) {
    Journal("NP_GetEntryPoints size=" + std::to_string(funcs->size));
    funcs->version = (NP_VERSION_MAJOR << 8) | NP_VERSION_MINOR;
    funcs->newp = RecNew;
    funcs->destroy = RecDestroy;
    funcs->setwindow = RecSetWindow;
    funcs->newstream = RecNewStream;
    funcs->destroystream = RecDestroyStream;
    funcs->asfile = RecStreamAsFile;
    funcs->writeready = RecWriteReady;
    funcs->write = RecWrite;
    funcs->print = RecPrint;
    funcs->event = nullptr;
    return NPERR_NO_ERROR;
}

extern "C" NPError WINAPI NP_Initialize(NPNetscapeFuncs* funcs) {
    browser = funcs;
    // Every service of the generation must be present, even those that do nothing.
    void (*const* entry)() = reinterpret_cast<void (*const*)()>(&funcs->geturl);
    int present = 0;
    for (int i = 0; i < 12; ++i) present += entry[i] != nullptr;
    char version[8];
    std::snprintf(version, sizeof version, "0x%04x", funcs->version);
    Journal("NP_Initialize size=" + std::to_string(funcs->size) + " version=" + version +
            " services=" + std::to_string(present));
    return NPERR_NO_ERROR;
}

extern "C" NPError WINAPI NP_Shutdown(void) {
    Journal("NP_Shutdown");
    browser = nullptr;
    return NPERR_NO_ERROR;
}
