// libFuzzer target for the plug-in as a whole. It loads the module as the browser
// does (by path, registered from its version strings, through its three exports)
// and plays a misbehaving browser: the input decodes into a sequence of NPAPI calls
// in any order and with odd arguments, with pointer input, timer ticks and paints in
// between, on up to three instances at once. Drawings and label texts come from a
// small corpus below or from the input itself.
//
// What must hold:
//  - every call returns what NPAPI defines for it; an invalid call (null instance,
//    null window, no record) returns its error and changes nothing;
//  - between calls no device context is held (but an instance's own memory DC)
//    and no engine call saw a stale handle;
//  - the plug-in calls the browser only for instances that exist;
//  - after the sequence (every instance destroyed, the module shut down and
//    unloaded) nothing is left: the same accounting as `vkhost --check`, plus every
//    window given back its own procedure.
#include <dlfcn.h>
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "cvlpage/diagnostics.h"
#include "leftovers.h"
#include "npapi.h"
#include "plugin_module.h"
#include "win32_control.h"

namespace {

const char kSite[] = "http://pages.test/";
const char kPageClass[] = "FuzzPage";
const char kEmbedClass[] = "FuzzEmbed";
const int kSlots = 3;
const int kStreams = 4;
const int kMaxOps = 48;

// Drawings that exercise every family of actions: effects started at load, label
// fetches, attributes, in-place loads, jumps, resets, legacy link properties.
const char* const kDrawings[] = {
    "vkdrawing 1\n"
    "page 120 90\n"
    "layer 1 shown\n"
    "layer 2 shown\n"
    "symbol rectangle\n"
    "  name \"Lamp\"\n"
    "  fill #FF8000\n"
    "  box 5 5 60 40\n"
    "  property \"OnLoad\" \"FlashObject 50 3\"\n"
    "  property \"OnMouseEnter\" \"CursorShape hand;StatusLine !label price labels.txt\"\n"
    "  property \"OnMouseLeave\" \"CursorShape;StatusLine\"\n"
    "  property \"OnMouseDown\" \"SymbolText !label caption labels.txt;as Fan EndSpinObject\"\n"
    "  property \"OnMouseUp\" \"InplaceJump d1.vkf\"\n"
    "  property \"OnDoubleClick\" \"ResetDrawing\"\n"
    "end\n"
    "symbol ellipse\n"
    "  name \"Fan\"\n"
    "  fill #0000FF\n"
    "  box 65 5 115 45\n"
    "  property \"OnLoad\" \"SpinObjectCW 20 30 1\"\n"
    "  property \"OnMouseEnter\" \"Beep 30 3;as Lamp FlashObject 40 2\"\n"
    "  property \"OnMouseUp\" \"SoftReload\"\n"
    "end\n"
    "symbol group\n"
    "  name \"Links\"\n"
    "  layer 2\n"
    "  symbol rectangle\n"
    "    name \"Old\"\n"
    "    box 5 50 60 85\n"
    "    property \"urllink\" \"d2.vkf\"\n"
    "    property \"statusline\" \"Go on; now\"\n"
    "  end\n"
    "  symbol text\n"
    "    name \"Caption\"\n"
    "    at 65 55\n"
    "    text \"...\"\n"
    "    property \"OnLoad\" \"SymbolText %caption;SymbolColor %colour\"\n"
    "    property \"OnMouseUp\" \"TargetJump _blank;Jump d0.vkf\"\n"
    "  end\n"
    "end\n",

    "vkdrawing 1\n"
    "page 60 40\n"
    "symbol rectangle\n"
    "  name \"A\"\n"
    "  fill #00FF00\n"
    "  box 0 0 60 40\n"
    "  property \"OnMouseEnter\" \"HideLayer 1;ShowLayer 1;MoveOver B;RotateObject 45\"\n"
    "  property \"OnMouseUp\" \"as B FlashObject 30 0;Beep 10 0\"\n"
    "  property \"OnDoubleClick\" \"InplaceJump d0.vkf\"\n"
    "end\n"
    "symbol ellipse\n"
    "  name \"B\"\n"
    "  hidden\n"
    "  box 10 10 30 30\n"
    "  property \"OnMouseLeave\" \"as A SpinObjectCCW 10 0 2;BringObjectToFront\"\n"
    "end\n",

    "vkdrawing 1\n"
    "page 80 80\n"
    "layer 1 shown\n"
    "layer 2 hidden\n"
    "symbol polygon\n"
    "  name \"Tri\"\n"
    "  points 0 0 80 0 40 80\n"
    "  property \"OnLoad\" \"OnlyShowLayer 2;ShowLayer 1;ScaleSymbol 150\"\n"
    "  property \"OnMouseUp\" \"EndFlashObject;EndSpinObject;EndBeep;SendObjectToBack;ResetDrawing\"\n"
    "  property \"OnMouseEnter\" \"SymbolText !label missing nothere.txt;StatusLine %title\"\n"
    "end\n",
};

// Label texts: ordinary lines, breaks split across chunks, a line longer than the
// consumers keep, a zero byte, no break at the end.
const std::string kLabelTexts[] = {
    "price: 12 dollars\r\ncaption: Hello\ncolour: #336699\n",
    "caption:" + std::string(70000, 'x') + "\nprice: 3\n",
    std::string("price\0: 1\nprice: 2", 18),
    "  Price :  7 \r",
    "",
};

struct Slot {
    NPP_t npp{};
    bool live = false;
    std::vector<HWND> windows;   // the first is the instance's window
    std::vector<HWND> borrowed;  // other instances' windows the browser gave this one
    NPWindow npWindow{};

    bool Holds(HWND window) const {
        return std::find(windows.begin(), windows.end(), window) != windows.end() ||
               std::find(borrowed.begin(), borrowed.end(), window) != borrowed.end();
    }
};

struct Stream {
    NPStream stream{};
    std::string url;
    std::string data;
    int slot = 0;
    bool open = false;
};

struct Request {
    int slot;
    std::string url;
};

// The browser's half: the service table and what the plug-in asked of it.
struct FuzzBrowser {
    NPNetscapeFuncs funcs{};
    Slot slots[kSlots];
    Stream streams[kStreams];
    std::deque<Request> requests;
    int browserCalls = 0;

    int SlotOf(NPP instance) const {
        for (int i = 0; i < kSlots; ++i)
            if (&slots[i].npp == instance && slots[i].live) return i;
        return -1;
    }
};

FuzzBrowser* browser = nullptr;
std::string modulePath;
std::string folder;
std::string fuzzDrawingPath;

void Check(bool condition, const char* what) {
    if (condition) return;
    std::fprintf(stderr, "fuzz_npapi_calls: %s\n", what);
    __builtin_trap();
}

NPError BrowserGetUrl(NPP instance, const char* url, const char* target) {
    Check(browser != nullptr && browser->SlotOf(instance) >= 0, "geturl for an instance that does not exist");
    Check(url != nullptr, "geturl without a URL");
    ++browser->browserCalls;
    if (target == nullptr && browser->requests.size() < 64)
        browser->requests.push_back(Request{browser->SlotOf(instance), url});
    return NPERR_NO_ERROR;
}

void BrowserStatus(NPP instance, const char* message) {
    Check(browser != nullptr && browser->SlotOf(instance) >= 0, "status for an instance that does not exist");
    Check(message != nullptr, "status without a text");
    ++browser->browserCalls;
}

std::string WriteFile(const std::string& name, const std::string& text) {
    std::string path = folder + "/" + name;
    std::ofstream(path, std::ios::binary) << text;
    return path;
}

// The local file a URL of the site is served from.
std::string FileOf(const std::string& url) {
    std::string name = url.substr(url.find_last_of('/') + 1);
    if (name == "d0.vkf" || name == "d1.vkf" || name == "d2.vkf" || name == "labels.txt") return folder + "/" + name;
    return fuzzDrawingPath;
}

// What the window system and engine hold now; an invalid call must not change it.
struct Holdings {
    int objects, dcs, timers, drawings, browserCalls;
    bool operator==(const Holdings&) const = default;
};

Holdings Now() {
    return Holdings{w32_live_gdi_objects(), w32_live_dcs(), w32_live_timers(), CvlDiagLiveDrawings(),
                    browser->browserCalls};
}

const char* const kOpNames[] = {"NPP_New", "NPP_SetWindow", "NPP_NewStream", "NPP_WriteReady", "NPP_Write",
                                "NPP_StreamAsFile", "NPP_DestroyStream", "NPP_Print", "NPP_Destroy",
                                "destroy window", "pointer", "clock", "paint", "resize", "open", "open",
                                "serve", "serve"};

class Sequence {
public:
    Sequence(FuzzedDataProvider& input, const NPPluginFuncs& funcs) : in(input), f(funcs) {}

    void Run() {
        for (int op = 0; op < kMaxOps && in.remaining_bytes() > 0; ++op) {
            const int code = in.ConsumeIntegralInRange<int>(0, 17);
            // FUZZ_NPAPI_TRACE=1 shows the sequence a crashing input decodes into.
            static const bool trace = std::getenv("FUZZ_NPAPI_TRACE") != nullptr;
            if (trace) std::fprintf(stderr, "op %d: %s\n", op, kOpNames[code]);
            Step(code);
            // Device contexts are obtained and released within one call or message,
            // but for the memory DC an instance keeps for antialiased rendering.
            int instances = 0;
            for (const Slot& slot : browser->slots) instances += slot.live ? 1 : 0;
            Check(w32_live_dcs() <= instances, "a device context is held between calls");
            Check(CvlDiagStaleHandleCount() == 0, "the engine was given a stale handle");
            Check(w32_bad_handle_uses() == 0, "the window system was given an invalid handle");
        }
    }

    void TearDown() {
        for (int i = 0; i < kSlots; ++i) Destroy(i);
        for (Slot& slot : browser->slots)
            for (HWND window : slot.windows)
                if (IsWindow(window)) w32_destroy_window(window);
    }

private:
    Slot& PickSlot() { return browser->slots[in.ConsumeIntegralInRange<int>(0, kSlots - 1)]; }
    Stream& PickStream() { return browser->streams[in.ConsumeIntegralInRange<int>(0, kStreams - 1)]; }
    int PickSlotIndex() { return in.ConsumeIntegralInRange<int>(0, kSlots - 1); }

    HWND WindowOf(const Slot& slot) {
        return !slot.windows.empty() && IsWindow(slot.windows.front()) ? slot.windows.front() : nullptr;
    }

    // A size as a page may ask for: nothing, a sliver, ordinary, or far too big.
    void PickSize(int& width, int& height) {
        switch (in.ConsumeIntegralInRange<int>(0, 5)) {
            case 0: width = 0, height = 0; break;
            case 1: width = 1, height = 1; break;
            case 2: width = 40000, height = 30000; break;
            default:
                width = in.ConsumeIntegralInRange<int>(2, 64);
                height = in.ConsumeIntegralInRange<int>(2, 48);
        }
    }

    std::string PickUrl() {
        switch (in.ConsumeIntegralInRange<int>(0, 7)) {
            case 0:
            case 1:
                if (!browser->requests.empty()) return browser->requests.front().url;
                [[fallthrough]];
            case 2: return std::string(kSite) + "d0.vkf";
            case 3: return std::string(kSite) + "d" + std::to_string(in.ConsumeIntegralInRange<int>(1, 2)) + ".vkf";
            case 4: return std::string(kSite) + "labels.txt";
            case 5: return std::string(kSite) + "fuzz.vkf";
            case 6: return "";
            default: return in.ConsumeRandomLengthString(80);
        }
    }

    std::string PickLabelText() {
        if (in.ConsumeBool()) return kLabelTexts[in.ConsumeIntegralInRange<size_t>(0, std::size(kLabelTexts) - 1)];
        return in.ConsumeRandomLengthString(300);
    }

    const char* PickFileName() {
        switch (in.ConsumeIntegralInRange<int>(0, 7)) {
            case 0: return nullptr;
            case 1: return "";
            case 2: return "/nonexistent/drawing.vkf";
            case 3: return fileNames[3].c_str();  // the label text: not a drawing
            case 4: return fuzzDrawingPath.c_str();
            default: return fileNames[in.ConsumeIntegralInRange<int>(0, 2)].c_str();
        }
    }

    void Step(int op) {
        switch (op) {
            case 0: New(); break;
            case 1: SetWindow(); break;
            case 2: NewStream(); break;
            case 3: {
                Stream& s = PickStream();
                Slot& slot = browser->slots[s.slot];
                if (f.writeready) Check(f.writeready(&slot.npp, &s.stream) > 0, "NPP_WriteReady takes nothing");
                break;
            }
            case 4: Write(); break;
            case 5: {
                Stream& s = PickStream();
                Slot& slot = in.ConsumeBool() ? browser->slots[s.slot] : PickSlot();
                f.asfile(&slot.npp, in.ConsumeBool() ? &s.stream : nullptr, PickFileName());
                break;
            }
            case 6: {
                Stream& s = PickStream();
                Slot& slot = in.ConsumeBool() ? browser->slots[s.slot] : PickSlot();
                NPReason reason = static_cast<NPReason>(in.ConsumeIntegralInRange<int>(0, 3));
                Check(f.destroystream(&slot.npp, &s.stream, reason) == NPERR_NO_ERROR,
                      "NPP_DestroyStream reports an error");
                s.open = false;
                break;
            }
            case 7: Print(); break;
            case 8: Destroy(PickSlotIndex()); break;
            case 9: {
                // The browser removes a window before it destroys the instance.
                HWND window = WindowOf(PickSlot());
                if (window) w32_destroy_window(window);
                break;
            }
            case 10: Pointer(); break;
            case 11: {
                static const DWORD kWaits[] = {1, 10, 20, 50, 120, 600, 3000};
                w32_advance_clock(kWaits[in.ConsumeIntegralInRange<size_t>(0, std::size(kWaits) - 1)]);
                break;
            }
            case 12: {
                HWND window = WindowOf(PickSlot());
                if (window && in.ConsumeBool()) InvalidateRect(window, nullptr, TRUE);
                Check(w32_pump() >= 0, "a window keeps asking to be painted");
                break;
            }
            case 13: {
                Slot& slot = PickSlot();
                HWND window = WindowOf(slot);
                if (!window) break;
                int width = 0, height = 0;
                PickSize(width, height);
                w32_resize_window(window, width, height);
                if (slot.live) {
                    slot.npWindow.width = static_cast<uint32>(width);
                    slot.npWindow.height = static_cast<uint32>(height);
                    Check(f.setwindow(&slot.npp, &slot.npWindow) == NPERR_NO_ERROR, "NPP_SetWindow after a resize");
                }
                break;
            }
            case 14:
            case 15: Open(); break;
            default: Serve(); break;
        }
    }

    // What a browser does for an embed: the instance, its window, its drawing.
    void Open() {
        const int index = PickSlotIndex();
        Slot& slot = browser->slots[index];
        if (slot.live) return;
        int width = in.ConsumeIntegralInRange<int>(8, 64), height = in.ConsumeIntegralInRange<int>(8, 48);
        slot.windows.insert(slot.windows.begin(), w32_create_window(kEmbedClass, FindPage(), 4, 4, width, height));
        slot.npp = NPP_t{};
        slot.live = true;
        char mimeType[] = "image/x-cvl-vkf";
        char caption[] = "caption", captionText[] = "From the page", antialias[] = "noantialias", empty[] = "";
        char* argn[] = {caption, antialias};
        char* argv[] = {captionText, empty};
        int16 argc = static_cast<int16>(in.ConsumeIntegralInRange<int>(0, 2));
        Check(f.newp(mimeType, &slot.npp, NP_EMBED, argc, argn, argv, nullptr) == NPERR_NO_ERROR,
              "NPP_New refused an instance");
        slot.npWindow = NPWindow{};
        slot.npWindow.window = slot.windows.front();
        slot.npWindow.width = static_cast<uint32>(width);
        slot.npWindow.height = static_cast<uint32>(height);
        Check(f.setwindow(&slot.npp, &slot.npWindow) == NPERR_NO_ERROR, "NPP_SetWindow refused a window");
        const int drawing = in.ConsumeIntegralInRange<int>(0, 3);
        std::string url = std::string(kSite) + (drawing == 3 ? "fuzz.vkf" : "d" + std::to_string(drawing) + ".vkf");
        browser->requests.push_front(Request{index, url});
        Serve();
    }

    void New() {
        const int index = PickSlotIndex();
        Slot& slot = browser->slots[index];
        if (in.ConsumeIntegralInRange<int>(0, 7) == 0) {
            Holdings before = Now();
            char* none[] = {nullptr};
            Check(f.newp(nullptr, nullptr, NP_EMBED, 0, none, none, nullptr) == NPERR_INVALID_INSTANCE_ERROR,
                  "NPP_New without an instance");
            Check(Now() == before, "NPP_New without an instance changed something");
            return;
        }
        if (slot.live) return;  // a browser never reuses a live instance handle
        static const uint16 kModes[] = {NP_EMBED, NP_EMBED, NP_FULL, 0, 77};
        uint16 mode = kModes[in.ConsumeIntegralInRange<size_t>(0, std::size(kModes) - 1)];

        std::vector<std::string> names, values;
        std::vector<bool> nullName, nullValue;
        size_t count = in.ConsumeIntegralInRange<size_t>(0, 6);
        if (in.ConsumeIntegralInRange<int>(0, 15) == 0) count = 400;
        static const char* const kNames[] = {"src", "width", "HiddenBounds", "noantialias", "caption", "colour",
                                             "title", "CAPTION"};
        for (size_t i = 0; i < count; ++i) {
            switch (in.ConsumeIntegralInRange<int>(0, 4)) {
                case 0: names.push_back(""); break;
                case 1: names.push_back(std::string(5000, 'N')); break;
                case 2: names.push_back(in.ConsumeRandomLengthString(20)); break;
                default: names.push_back(kNames[in.ConsumeIntegralInRange<size_t>(0, std::size(kNames) - 1)]);
            }
            values.push_back(in.ConsumeBool() ? std::string(in.ConsumeIntegralInRange<size_t>(0, 1) * 20000, 'v')
                                              : in.ConsumeRandomLengthString(30));
            nullName.push_back(in.ConsumeIntegralInRange<int>(0, 9) == 0);
            nullValue.push_back(in.ConsumeIntegralInRange<int>(0, 9) == 0);
        }
        std::vector<char*> argn, argv;
        for (size_t i = 0; i < count; ++i) {
            argn.push_back(nullName[i] ? nullptr : names[i].data());
            argv.push_back(nullValue[i] ? nullptr : values[i].data());
        }
        int16 argc = static_cast<int16>(count);
        char** argnPointer = argn.empty() ? nullptr : argn.data();
        char** argvPointer = argv.empty() ? nullptr : argv.data();
        switch (in.ConsumeIntegralInRange<int>(0, 7)) {
            case 0: argnPointer = nullptr; break;
            case 1: argvPointer = nullptr; break;
            case 2: argc = static_cast<int16>(-static_cast<int>(count) - 1); break;
            default: break;
        }

        // The browser makes the window before the instance.
        int width = 0, height = 0;
        PickSize(width, height);
        if (width == 40000) width = 64, height = 48;
        HWND page = FindPage();
        slot.windows.insert(slot.windows.begin(), w32_create_window(kEmbedClass, page, 4, 4, width, height));
        slot.npp = NPP_t{};
        slot.live = true;  // the plug-in may call the browser from inside NPP_New
        char mimeType[] = "image/x-cvl-vkf";
        NPError result = f.newp(mimeType, &slot.npp, mode, argc, argnPointer, argvPointer, nullptr);
        Check(result == NPERR_NO_ERROR, "NPP_New refused an instance");
        Check(slot.npp.pdata != nullptr, "NPP_New left no record");
    }

    HWND FindPage() {
        if (!pageWindow || !IsWindow(pageWindow)) pageWindow = w32_create_window(kPageClass, nullptr, 0, 0, 200, 150);
        return pageWindow;
    }

    void SetWindow() {
        Slot& slot = PickSlot();
        switch (in.ConsumeIntegralInRange<int>(0, 7)) {
            case 0: {
                Holdings before = Now();
                Check(f.setwindow(&slot.npp, nullptr) == NPERR_GENERIC_ERROR, "NPP_SetWindow without a window");
                Check(Now() == before, "NPP_SetWindow without a window changed something");
                return;
            }
            case 1: {
                Holdings before = Now();
                NPWindow window{};
                window.window = WindowOf(slot);
                Check(f.setwindow(nullptr, &window) == NPERR_INVALID_INSTANCE_ERROR,
                      "NPP_SetWindow without an instance");
                Check(Now() == before, "NPP_SetWindow without an instance changed something");
                return;
            }
            default: break;
        }
        NPWindow window{};
        switch (in.ConsumeIntegralInRange<int>(0, 5)) {
            case 0: window.window = nullptr; break;
            case 5:
                // Another instance's window: the view that took it first keeps it.
                window.window = WindowOf(PickSlot());
                if (slot.live && window.window) slot.borrowed.push_back(static_cast<HWND>(window.window));
                break;
            case 1: {
                // A different window later: kept by the browser, ignored by the view.
                if (slot.live && slot.windows.size() < 4)
                    slot.windows.push_back(w32_create_window(kEmbedClass, FindPage(), 8, 8, 30, 20));
                window.window = slot.windows.empty() ? nullptr : slot.windows.back();
                break;
            }
            default: window.window = WindowOf(slot);
        }
        static const uint32 kSizes[] = {0, 1, 40, 0x7FFFFFFF, 0x80000000u, 0xFFFFFFFFu};
        window.x = static_cast<int32>(kSizes[in.ConsumeIntegralInRange<size_t>(0, std::size(kSizes) - 1)]);
        window.y = static_cast<int32>(0u - static_cast<uint32>(window.x));
        window.width = kSizes[in.ConsumeIntegralInRange<size_t>(0, std::size(kSizes) - 1)];
        window.height = kSizes[in.ConsumeIntegralInRange<size_t>(0, std::size(kSizes) - 1)];
        Holdings before = Now();
        NPError result = f.setwindow(&slot.npp, &window);
        if (!slot.live) {
            Check(result == NPERR_GENERIC_ERROR, "NPP_SetWindow for an instance without a record");
            Check(Now() == before, "NPP_SetWindow without a record changed something");
        } else {
            Check(result == NPERR_NO_ERROR, "NPP_SetWindow refused a window");
            if (window.window == WindowOf(slot)) slot.npWindow = window;
        }
    }

    void NewStream() {
        Stream& s = PickStream();
        const int index = PickSlotIndex();
        Slot& slot = browser->slots[index];
        s.url = PickUrl();
        s.data = PickLabelText();
        s.slot = index;
        s.stream = NPStream{};
        s.stream.url = in.ConsumeIntegralInRange<int>(0, 15) == 0 ? nullptr : s.url.c_str();
        s.stream.end = static_cast<uint32>(s.data.size());
        uint16 type = NP_NORMAL;
        if (in.ConsumeIntegralInRange<int>(0, 9) == 0) {
            Holdings before = Now();
            Check(f.newstream(nullptr, nullptr, &s.stream, false, &type) == NPERR_INVALID_INSTANCE_ERROR,
                  "NPP_NewStream without an instance");
            Check(Now() == before, "NPP_NewStream without an instance changed something");
            return;
        }
        char mimeType[] = "text/plain";
        NPError result = f.newstream(&slot.npp, mimeType, &s.stream, in.ConsumeBool(), &type);
        Check(result == NPERR_NO_ERROR, "NPP_NewStream refused a stream");
        Check(type == NP_NORMAL || type == NP_ASFILE, "NPP_NewStream chose an unknown stream type");
        s.open = true;
    }

    void Write() {
        Stream& s = PickStream();
        Slot& slot = in.ConsumeBool() ? browser->slots[s.slot] : PickSlot();
        static const int32 kLengths[] = {0, -1, 1, 7, 1024, 1025, 5000};
        int32 length = kLengths[in.ConsumeIntegralInRange<size_t>(0, std::size(kLengths) - 1)];
        if (in.ConsumeBool()) length = static_cast<int32>(s.data.size());
        std::string bytes = s.data;
        if (bytes.empty()) bytes = "\n";
        while (length > 0 && bytes.size() < static_cast<size_t>(length)) bytes += bytes;
        int32 offset = in.ConsumeIntegral<int32>();
        void* buffer = in.ConsumeIntegralInRange<int>(0, 15) == 0 ? nullptr : bytes.data();
        Check(f.write(&slot.npp, &s.stream, offset, length, buffer) == length, "NPP_Write did not take its bytes");
    }

    void Print() {
        Slot& slot = PickSlot();
        NPP instance = in.ConsumeIntegralInRange<int>(0, 9) == 0 ? nullptr : &slot.npp;
        if (in.ConsumeIntegralInRange<int>(0, 9) == 0) {
            f.print(instance, nullptr);
            return;
        }
        static const LONG kExtents[] = {0, 1, 2, -3, 100000};
        SIZE windowExtent{kExtents[in.ConsumeIntegralInRange<size_t>(0, std::size(kExtents) - 1)], 1};
        SIZE viewportExtent{kExtents[in.ConsumeIntegralInRange<size_t>(0, std::size(kExtents) - 1)], 1};
        HDC printer = w32_create_printer_dc(96, 64, windowExtent, viewportExtent);
        NPPrint print{};
        static const uint16 kModes[] = {NP_EMBED, NP_FULL, 0, 9};
        print.mode = kModes[in.ConsumeIntegralInRange<size_t>(0, std::size(kModes) - 1)];
        if (print.mode == NP_FULL) {
            print.print.fullPrint.pluginPrinted = true;
            print.print.fullPrint.platformPrint = printer;
            f.print(instance, &print);
            Check(instance == nullptr || !print.print.fullPrint.pluginPrinted,
                  "a full page is left to the browser to print");
        } else {
            NPWindow& window = print.print.embedPrint.window;
            static const int32 kPlaces[] = {0, 5, -40, 2000000000, -2000000000};
            window.x = kPlaces[in.ConsumeIntegralInRange<size_t>(0, std::size(kPlaces) - 1)];
            window.y = kPlaces[in.ConsumeIntegralInRange<size_t>(0, std::size(kPlaces) - 1)];
            window.width = in.ConsumeBool() ? 48u : in.ConsumeIntegral<uint32>();
            window.height = in.ConsumeBool() ? 32u : in.ConsumeIntegral<uint32>();
            print.print.embedPrint.platformPrint = in.ConsumeIntegralInRange<int>(0, 7) == 0 ? nullptr : printer;
            f.print(instance, &print);
        }
        DeleteDC(printer);
    }

    void Destroy(int index) {
        Slot& slot = browser->slots[index];
        NPSavedData* saved = nullptr;
        Holdings before = Now();
        NPError result = f.destroy(&slot.npp, &saved);
        Check(result == NPERR_NO_ERROR, "NPP_Destroy reports an error");
        Check(saved == nullptr, "NPP_Destroy saved data it does not have");
        if (!slot.live) {
            Check(Now() == before, "NPP_Destroy of no instance changed something");
            return;
        }
        slot.live = false;
        Check(slot.npp.pdata == nullptr, "NPP_Destroy left its record in the instance");
        // The view hands every window back with the browser's own procedure, but for
        // windows that another live instance was given too: its view may hold them.
        std::vector<HWND> given = slot.windows;
        given.insert(given.end(), slot.borrowed.begin(), slot.borrowed.end());
        slot.borrowed.clear();
        for (HWND window : given) {
            bool heldElsewhere = false;
            for (const Slot& other : browser->slots) heldElsewhere |= other.live && other.Holds(window);
            if (IsWindow(window) && !heldElsewhere)
                Check(reinterpret_cast<WNDPROC>(GetWindowLongPtrA(window, GWLP_WNDPROC)) == DefWindowProcA,
                      "a window is left subclassed after NPP_Destroy");
        }
        // Requests of an instance that has gone are dropped, as a browser drops them.
        std::deque<Request> kept;
        for (const Request& request : browser->requests)
            if (request.slot != index) kept.push_back(request);
        browser->requests.swap(kept);
    }

    void Pointer() {
        Slot& slot = PickSlot();
        HWND window = WindowOf(slot);
        if (!window) return;
        POINT point{in.ConsumeIntegralInRange<int>(-10, 70), in.ConsumeIntegralInRange<int>(-10, 54)};
        ClientToScreen(window, &point);
        switch (in.ConsumeIntegralInRange<int>(0, 5)) {
            case 0: w32_mouse_button(W32_BUTTON_LEFT, TRUE, point.x, point.y); break;
            case 1: w32_mouse_button(W32_BUTTON_LEFT, FALSE, point.x, point.y); break;
            case 2: w32_mouse_button(W32_BUTTON_RIGHT, in.ConsumeBool(), point.x, point.y); break;
            default: w32_mouse_move(point.x, point.y);
        }
    }

    // The browser at work: the oldest URL the plug-in asked to have sent back
    // arrives as it should (data in chunks the plug-in said it takes, or a file).
    void Serve() {
        if (browser->requests.empty()) return;
        Request request = browser->requests.front();
        browser->requests.pop_front();
        Slot& slot = browser->slots[request.slot];
        if (!slot.live) return;
        NPStream stream{};
        stream.url = request.url.c_str();
        uint16 type = NP_NORMAL;
        char mimeType[] = "application/octet-stream";
        if (f.newstream(&slot.npp, mimeType, &stream, false, &type) != NPERR_NO_ERROR) return;
        NPReason reason = in.ConsumeIntegralInRange<int>(0, 5) == 0 ? NPRES_NETWORK_ERR : NPRES_DONE;
        if (type == NP_ASFILE) {
            if (reason == NPRES_DONE) f.asfile(&slot.npp, &stream, FileOf(request.url).c_str());
        } else {
            std::string text = PickLabelText();
            size_t offset = 0;
            while (offset < text.size() && slot.live) {
                int32 ready = f.writeready(&slot.npp, &stream);
                Check(ready > 0, "NPP_WriteReady takes nothing");
                int32 chunk = static_cast<int32>(std::min<size_t>(static_cast<size_t>(ready), text.size() - offset));
                Check(f.write(&slot.npp, &stream, static_cast<int32>(offset), chunk, text.data() + offset) == chunk,
                      "NPP_Write did not take its bytes");
                offset += static_cast<size_t>(chunk);
                if (reason == NPRES_NETWORK_ERR) break;
            }
        }
        f.destroystream(&slot.npp, &stream, reason);
    }

    FuzzedDataProvider& in;
    const NPPluginFuncs& f;
    HWND pageWindow = nullptr;

public:
    static std::string fileNames[4];
};

std::string Sequence::fileNames[4];

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    modulePath = NPVKNT_PLUGIN;
    // Mapped for the whole run, so the fuzzer's coverage counters in it stay valid;
    // the window system still sees a first load and a last release per sequence,
    // with the module's attach and detach.
    if (!dlopen(modulePath.c_str(), RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE)) {
        std::fprintf(stderr, "fuzz_npapi_calls: cannot map %s\n", modulePath.c_str());
        std::exit(1);
    }
    std::string pattern = (std::filesystem::temp_directory_path() / "fuzz_npapi_calls.XXXXXX").string();
    if (!mkdtemp(pattern.data())) std::exit(1);
    folder = pattern;
    for (int i = 0; i < 3; ++i) Sequence::fileNames[i] = WriteFile("d" + std::to_string(i) + ".vkf", kDrawings[i]);
    Sequence::fileNames[3] = WriteFile("labels.txt", kLabelTexts[0]);
    fuzzDrawingPath = folder + "/fuzz.vkf";
    std::atexit([] { std::filesystem::remove_all(folder); });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider in(data, size);
    static const int kDepths[] = {24, 32, 16, 8};
    const int depth = kDepths[in.ConsumeIntegralInRange<size_t>(0, 3)];
    // A drawing of the input's own, for streams that name no drawing of the corpus.
    std::string drawing = in.ConsumeBool() ? std::string("vkdrawing 1\npage 50 40\n") : std::string();
    drawing += in.ConsumeRandomLengthString(600);
    std::ofstream(fuzzDrawingPath, std::ios::binary | std::ios::trunc) << drawing;

    w32_reset();
    // Small windows on a small screen: sequences stay cheap, paths stay the same.
    w32_set_screen_size(200, 150);
    w32_set_display_depth(depth);
    HCURSOR arrow = LoadCursorA(nullptr, IDC_ARROW);
    w32_register_class(kPageClass, 0, DefWindowProcA, arrow, TRUE, RGB(255, 255, 255));
    w32_register_class(kEmbedClass, 0, DefWindowProcA, arrow, TRUE, RGB(255, 255, 255));
    CvlDiagResetStaleHandleCount();

    FuzzBrowser fuzzBrowser;
    browser = &fuzzBrowser;
    fuzzBrowser.funcs.size = sizeof(NPNetscapeFuncs);
    fuzzBrowser.funcs.version = (NP_VERSION_MAJOR << 8) | NP_VERSION_MINOR;
    fuzzBrowser.funcs.geturl = BrowserGetUrl;
    fuzzBrowser.funcs.status = BrowserStatus;
    std::string error;
    {
        std::unique_ptr<vkhost::PluginModule> plugin = vkhost::PluginModule::Load(modulePath, &fuzzBrowser.funcs, error);
        Check(plugin != nullptr, "the module does not load");
        Sequence sequence(in, plugin->Funcs());
        sequence.Run();
        sequence.TearDown();
    }  // NP_Shutdown and the last release: the module detaches
    browser = nullptr;

    std::vector<std::string> left = vkhost::Leftovers();
    for (const std::string& message : left) std::fprintf(stderr, "fuzz_npapi_calls: %s\n", message.c_str());
    Check(left.empty(), "the plug-in left something behind");
    return 0;
}
