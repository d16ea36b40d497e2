#include "view_fixture.h"

#include <cstdio>
#include <fstream>

#include "cvlpage/diagnostics.h"
#include "render_cache.h"
#include "scratch_files.h"
#include "win32_control.h"

std::vector<UINT> ViewTest::browserMessages;

// The module's entry, run here as the window system runs it when it maps the module,
// so that the view finds cursor 129 among the program's resources.
extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved);

namespace {

const char kFrameClass[] = "BrowserFrame";
const char kPluginClass[] = "BrowserPluginWindow";
const char* const kMouseEvents[] = {"OnMouseEnter", "OnMouseLeave", "OnMouseDown", "OnMouseUp", "OnDoubleClick"};

LRESULT CALLBACK BrowserPluginProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    ViewTest::browserMessages.push_back(message);
    return DefWindowProcA(window, message, wParam, lParam);
}

int WINAPI RecordName(CVLSYMBOL symbol, void* context) {
    auto* names = static_cast<std::pair<CVLDRAWING, std::map<std::string, std::string>*>*>(context);
    char name[256] = "";
    if (GetSymbolName(names->first, symbol, name, sizeof name) > 0) (*names->second)[std::to_string(symbol)] = name;
    return 0;
}

// Splits "Function(a, b, c)" into its arguments.
std::vector<std::string> Arguments(const std::string& call) {
    std::vector<std::string> out;
    size_t open = call.find('('), close = call.rfind(')');
    std::string inner = call.substr(open + 1, close - open - 1);
    int depth = 0;
    std::string current;
    for (char c : inner) {
        if (c == '(') ++depth;
        if (c == ')') --depth;
        if (c == ',' && depth == 0) {
            out.push_back(current);
            current.clear();
            continue;
        }
        if (c == ' ' && current.empty()) continue;
        current += c;
    }
    out.push_back(current);
    return out;
}

}  // namespace

void ViewTest::SetUp() {
    static const BOOL attached = DllMain(GetModuleHandleA(nullptr), DLL_PROCESS_ATTACH, nullptr);
    ASSERT_TRUE(attached);
    w32_reset();
    browserMessages.clear();
    CvlDiagResetStaleHandleCount();
    CvlDiagSetJournal(1);
    plugin.size = sizeof plugin;
    ASSERT_EQ(NP_GetEntryPoints(&plugin), NPERR_NO_ERROR);
    ASSERT_TRUE(w32_register_class(kFrameClass, 0, DefWindowProcA, nullptr, TRUE, RGB(0, 0, 0)));
    ASSERT_TRUE(w32_register_class(kPluginClass, 0, BrowserPluginProc, LoadCursorA(nullptr, IDC_ARROW), FALSE, 0));
    frameWindow = w32_create_window(kFrameClass, nullptr, 100, 50, 800, 600);
    ASSERT_NE(frameWindow, nullptr);
}

void ViewTest::TearDown() {
    Close();
    ReleaseDrawingPalette();
    EXPECT_EQ(CvlDiagStaleHandleCount(), 0u) << "last refused call: " << cvldiag::LastStaleCall();
    // Bitmaps, brushes, the palette and every DC went with the instance and the module's palette.
    EXPECT_EQ(w32_live_gdi_objects(), 0);
    EXPECT_EQ(w32_live_dcs(), 0);
    CvlDiagSetJournal(0);
    for (const std::string& file : files) std::remove(file.c_str());
}

void ViewTest::Open(const PageSetup& setup) {
    ClearJournal();
    ASSERT_TRUE(w32_set_display_depth(setup.displayDepth));
    std::vector<char*> names, values;
    for (const auto& attribute : setup.attributes) {
        names.push_back(const_cast<char*>(attribute.first.c_str()));
        values.push_back(const_cast<char*>(attribute.second.c_str()));
    }
    char mimeType[] = "image/x-cvl-vkf";
    ASSERT_EQ(plugin.newp(mimeType, &npp, NP_EMBED, int16(names.size()), names.data(), values.data(), nullptr),
              NPERR_NO_ERROR);
    open = true;
    pluginWindow = w32_create_window(kPluginClass, frameWindow, 10, 20, setup.width, setup.height);
    ASSERT_NE(pluginWindow, nullptr);
    NPWindow window = {};
    window.window = pluginWindow;
    window.width = uint32(setup.width);
    window.height = uint32(setup.height);
    ASSERT_EQ(plugin.setwindow(&npp, &window), NPERR_NO_ERROR);
    if (!setup.drawing.empty()) StreamDrawing(setup.drawing);
}

void ViewTest::StreamDrawing(const std::string& text) {
    const std::string path = vktest::ScratchPath("drawing.vkf");
    std::ofstream(path, std::ios::binary) << text;
    files.push_back(path);
    std::string url = "http://pages.example/drawing" + std::to_string(files.size()) + ".vkf";
    NPStream stream = {};
    stream.url = url.c_str();
    uint16 type = 0;
    char mimeType[] = "image/x-cvl-vkf";
    ASSERT_EQ(plugin.newstream(&npp, mimeType, &stream, 0, &type), NPERR_NO_ERROR);
    ASSERT_EQ(type, NP_ASFILE);
    plugin.asfile(&npp, &stream, path.c_str());
    plugin.destroystream(&npp, &stream, NPRES_DONE);
    ASSERT_NE(Data()->drawing, 0u) << cvldiag::LoadError();
    symbolNames.clear();
    std::pair<CVLDRAWING, std::map<std::string, std::string>*> context(Data()->drawing, &symbolNames);
    EnumSymbols(Data()->drawing, RecordName, &context, CVL_ENUM_EVERY_SYMBOL);
}

void ViewTest::Close() {
    if (!open) return;
    open = false;
    plugin.destroy(&npp, nullptr);
}

CVLSYMBOL ViewTest::Symbol(const char* name) const {
    for (const auto& entry : symbolNames)
        if (entry.second == name) return CVLSYMBOL(std::stoul(entry.first));
    ADD_FAILURE() << "no symbol " << name;
    return 0;
}

int ViewTest::Pump() { return w32_pump(); }

POINT ViewTest::ScreenPoint(LONG x, LONG y) const {
    POINT point = {x, y};
    ClientToScreen(pluginWindow, &point);
    return point;
}

void ViewTest::MoveTo(LONG x, LONG y) {
    POINT point = ScreenPoint(x, y);
    w32_mouse_move(point.x, point.y);
}

void ViewTest::LeftButton(BOOL down, LONG x, LONG y) {
    POINT point = ScreenPoint(x, y);
    w32_mouse_button(W32_BUTTON_LEFT, down, point.x, point.y);
}

void ViewTest::Click(LONG x, LONG y) {
    LeftButton(TRUE, x, y);
    LeftButton(FALSE, x, y);
}

std::vector<std::string> ViewTest::EngineCalls(const std::string& function) const {
    std::vector<std::string> out;
    const std::string drawing = open && Data() ? std::to_string(Data()->drawing) : "";
    for (const std::string& call : cvldiag::JournalOf(function)) {
        std::vector<std::string> args = Arguments(call);
        std::string text = function + "(";
        for (size_t i = 0; i < args.size(); ++i) {
            std::string arg = args[i];
            if (i == 0 && arg == drawing) arg = "D";
            auto named = symbolNames.find(arg);
            if (i == 1 && named != symbolNames.end()) arg = named->second;
            text += (i ? ", " : "") + arg;
        }
        out.push_back(text + ")");
    }
    return out;
}

std::vector<std::string> ViewTest::FiredEvents() const {
    std::vector<std::string> out;
    for (const std::string& call : EngineCalls("GetPropertyLength")) {
        std::vector<std::string> args = Arguments(call);
        for (const char* event : kMouseEvents)
            if (args.size() == 3 && args[2] == std::string("\"") + event + "\"") out.push_back(event + (" " + args[1]));
    }
    return out;
}

void ViewTest::ClearJournal() const { CvlDiagClearJournal(); }

std::vector<BYTE> CachePixel(const InstanceData* data, int depth, LONG x, LONG y) {
    const LONG rowSize = ((data->cacheWidth * depth + 31) / 32) * 4;
    const BYTE* pixel = static_cast<const BYTE*>(data->cacheBits) + (data->cacheHeight - 1 - y) * rowSize + x * depth / 8;
    return std::vector<BYTE>(pixel, pixel + depth / 8);
}
