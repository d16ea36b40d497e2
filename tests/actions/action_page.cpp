#include "action_page.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <random>

#include <gtest/gtest.h>

#include "cvlpage/diagnostics.h"
#include "plugin_instance.h"
#include "render_cache.h"
#include "view_window.h"
#include "win32_control.h"

namespace {

std::string Bracketed(const char* text) { return "[" + std::string(text != nullptr ? text : "(null)") + "]"; }

// Files written by the tests, removed when the program ends.
struct TempFiles {
    std::vector<std::filesystem::path> paths;
    ~TempFiles() {
        std::error_code ignored;
        for (const auto& path : paths) std::filesystem::remove(path, ignored);
    }
};

std::string WriteTempDrawing(const std::string& text) {
    static TempFiles files;
    static const unsigned run = std::random_device()();
    static int counter = 0;
    std::filesystem::path path = std::filesystem::temp_directory_path() /
                                 ("vk-actions-" + std::to_string(run) + "-" + std::to_string(++counter) + ".vkf");
    std::ofstream(path, std::ios::binary) << text;
    files.paths.push_back(path);
    return path.string();
}

const char kPageClass[] = "ActionTestPage";

}  // namespace

void RecordingLink::GotoURL(const char* url, const char* target) {
    calls.push_back("GotoURL " + Bracketed(url) + " " + (target != nullptr ? Bracketed(target) : std::string("null")));
}

void RecordingLink::LoadInPlace(const char* url) { calls.push_back("LoadInPlace " + Bracketed(url)); }

void RecordingLink::ShowStatus(const char* text) { calls.push_back("ShowStatus " + Bracketed(text)); }

void RecordingLink::RequestURL(const char* url, UrlConsumer* consumer) {
    calls.push_back("RequestURL " + Bracketed(url));
    delete consumer;
}

std::string DrawingText(const std::string& symbols, const std::string& layers) {
    return "vkdrawing 1\npage 200 100\n" + layers + symbols;
}

std::string Box(const std::string& name, int left, int top, int right, int bottom, const std::string& extraLines) {
    return "symbol rectangle\n  name \"" + name + "\"\n  box " + std::to_string(left) + " " + std::to_string(top) +
           " " + std::to_string(right) + " " + std::to_string(bottom) + "\n  stroke none\n  fill #808080\n" +
           extraLines + "end\n";
}

ActionPage::ActionPage(int x, int y, const std::map<std::string, std::string>& attributes) {
    // Registering twice fails harmlessly: every page shares the class.
    w32_register_class(kPageClass, 0, DefWindowProcA, LoadCursorA(nullptr, IDC_ARROW), TRUE, RGB(255, 255, 255));
    window = w32_create_window(kPageClass, nullptr, x, y, 200, 100);
    data = new InstanceData();
    data->attributes.insert(attributes.begin(), attributes.end());
    auto recording = std::make_unique<RecordingLink>();
    link = recording.get();
    data->link = std::move(recording);
    data->view = std::make_unique<DrawingView>(data, window);
}

ActionPage::~ActionPage() {
    ReleaseInstance(data);
    delete data;
    w32_destroy_window(window);
}

void ActionPage::Load(const std::string& drawingText) {
    const std::string path = WriteTempDrawing(drawingText);
    FreeInstanceDrawing(data);
    data->drawing = LoadDrawing(path.c_str());
    if (data->drawing == 0) {
        ADD_FAILURE() << cvldiag::LoadError();
        return;
    }
    data->drawingFile = path;
    // The page rectangle the engine measures in until the first render, as the
    // drawing stream gives it.
    RECT page;
    GetClientRect(window, &page);
    if (AntialiasActive(data)) {
        page.right *= 2;
        page.bottom *= 2;
    }
    HDC dc = GetDC(window);
    DrawPage(data->drawing, dc, &page, nullptr, CVL_ALL_LAYERS, CVL_MODE_LAYOUT, CVL_DRAW_FIT | CVL_DRAW_PAPER,
             CVL_ZOOM_FIT);
    ReleaseDC(window, dc);
    RebuildRenderCache(data);
    Settle();
}

void ActionPage::Settle() { w32_pump(); }

CVLDRAWING ActionPage::Drawing() const { return data->drawing; }

CVLSYMBOL ActionPage::Symbol(const char* name) const { return SymbolFromName(data->drawing, name); }

RECT ActionPage::EngineRect(const char* name) const {
    RECT rect = {0, 0, 0, 0};
    GetSymbolRect(data->drawing, Symbol(name), &rect);
    return rect;
}

bool ActionPage::Visible(const char* name) const { return GetSymbolVisibleFlag(data->drawing, Symbol(name)) != 0; }

RECT PendingArea(HWND window) {
    RECT rect = {0, 0, 0, 0};
    if (!GetUpdateRect(window, &rect, FALSE)) SetRectEmpty(&rect);
    return rect;
}

std::vector<std::string> JournalOf(const std::vector<std::string>& functions) {
    std::vector<std::string> out;
    for (const std::string& entry : cvldiag::Journal()) {
        bool wanted = functions.empty();
        for (const std::string& function : functions) {
            if (entry.compare(0, function.size() + 1, function + "(") == 0) wanted = true;
        }
        if (wanted) out.push_back(entry);
    }
    return out;
}

std::string RectText(const RECT& rect) {
    return "(" + std::to_string(rect.left) + "," + std::to_string(rect.top) + "," + std::to_string(rect.right) + "," +
           std::to_string(rect.bottom) + ")";
}
