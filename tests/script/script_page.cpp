#include "script_page.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>

#include <gtest/gtest.h>

#include "event_scripts.h"
#include "cvlpage/diagnostics.h"
#include "plugin_instance.h"
#include "win32_control.h"

namespace {

NPError WINAPI RecordGetURL(NPP, const char* url, const char* target)
{
    BrowserCalls().push_back(std::string("GetURL ") + (url ? url : "(null)") + " " + (target ? target : "(null)"));
    return NPERR_NO_ERROR;
}

void WINAPI RecordStatus(NPP, const char* text)
{
    BrowserCalls().push_back(std::string("Status ") + (text ? text : "(null)"));
}

NPNetscapeFuncs& RecordingBrowser()
{
    static NPNetscapeFuncs funcs = [] {
        NPNetscapeFuncs f = {};
        f.size = sizeof(NPNetscapeFuncs);
        f.version = (NP_VERSION_MAJOR << 8) | NP_VERSION_MINOR;
        f.geturl = RecordGetURL;
        f.status = RecordStatus;
        return f;
    }();
    return funcs;
}

struct TempFiles {
    std::vector<std::string> paths;
    ~TempFiles()
    {
        for (const std::string& p : paths) {
            std::remove(p.c_str());
        }
    }
};

std::string Quoted(const std::string& text)
{
    std::string out = "\"";
    for (unsigned char c : text) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c < 0x20 || c >= 0x7F) {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02x", c);
            out += hex;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out + "\"";
}

std::string PropertyLines(const NamedTexts& properties)
{
    std::string out;
    for (const auto& [name, value] : properties) {
        out += "  property " + Quoted(name) + " " + Quoted(value) + "\n";
    }
    return out;
}

const char kBrowserClass[] = "ScriptTestBrowser";

}  // namespace

std::vector<std::string>& BrowserCalls()
{
    static std::vector<std::string> calls;
    return calls;
}

std::string WriteTempFile(const std::string& text, const char* extension)
{
    static TempFiles files;
    static const unsigned run = std::random_device()();
    static int counter = 0;
    std::filesystem::path path = std::filesystem::temp_directory_path() /
                                 ("vk-script-" + std::to_string(run) + "-" + std::to_string(++counter) + extension);
    std::ofstream(path, std::ios::binary) << text;
    files.paths.push_back(path.string());
    return path.string();
}

std::string DrawingText(const std::string& symbols)
{
    return "vkdrawing 1\npage 200 100\n" + symbols;
}

std::string Rectangle(const std::string& name, int left, int top, int right, int bottom,
                      const NamedTexts& properties)
{
    std::string out = "symbol rectangle\n";
    if (!name.empty()) {
        out += "  name " + Quoted(name) + "\n";
    }
    out += "  box " + std::to_string(left) + " " + std::to_string(top) + " " + std::to_string(right) + " " +
           std::to_string(bottom) + "\n";
    out += "  fill #808080\n";
    return out + PropertyLines(properties) + "end\n";
}

std::string Group(const std::string& name, const std::string& members,
                  const NamedTexts& properties)
{
    std::string out = "symbol group\n";
    if (!name.empty()) {
        out += "  name " + Quoted(name) + "\n";
    }
    return out + PropertyLines(properties) + members + "end\n";
}

ScriptPage::ScriptPage(const NamedTexts& attributes, uint16 mode,
                       UINT codePage)
{
    w32_reset();
    EXPECT_TRUE(w32_set_code_page(codePage));
    CvlDiagResetStaleHandleCount();
    BrowserCalls().clear();
    w32_register_class(kBrowserClass, 0, DefWindowProcA, LoadCursorA(nullptr, IDC_ARROW), TRUE, RGB(255, 255, 255));
    browser = w32_create_window(kBrowserClass, nullptr, 0, 0, 400, 300);
    window = w32_create_window(kBrowserClass, browser, 0, 0, 200, 100);
    w32_mouse_move(300, 250);  // over the page, away from the plug-in's window

    EXPECT_EQ(NPERR_NO_ERROR, NP_Initialize(&RecordingBrowser()));
    std::vector<char*> names, values;
    for (const auto& [name, value] : attributes) {
        names.push_back(const_cast<char*>(name.c_str()));
        values.push_back(const_cast<char*>(value.c_str()));
    }
    char mime[] = "image/x-cvl-vkf";
    EXPECT_EQ(NPERR_NO_ERROR, NPP_New(mime, &npp, mode, static_cast<int16>(names.size()), names.data(),
                                      values.data(), nullptr));
    NPWindow npWindow = {};
    npWindow.window = window;
    npWindow.width = 200;
    npWindow.height = 100;
    EXPECT_EQ(NPERR_NO_ERROR, NPP_SetWindow(&npp, &npWindow));
}

ScriptPage::~ScriptPage()
{
    NPP_Destroy(&npp, nullptr);
    NP_Shutdown();
    // The plug-in never handed the engine a handle of a drawing it had freed.
    EXPECT_EQ(0u, CvlDiagStaleHandleCount()) << cvldiag::LastStaleCall();
}

void ScriptPage::LoadDrawingText(const std::string& drawingText, const char* url)
{
    std::string path = WriteTempFile(drawingText);
    NPStream stream = {};
    stream.url = url;
    uint16 type = 0;
    char mime[] = "image/x-cvl-vkf";
    ASSERT_EQ(NPERR_NO_ERROR, NPP_NewStream(&npp, mime, &stream, 0, &type));
    ASSERT_EQ(NP_ASFILE, type);
    NPP_StreamAsFile(&npp, &stream, path.c_str());
    NPP_DestroyStream(&npp, &stream, NPRES_DONE);
    ASSERT_NE(0u, Drawing()) << cvldiag::LoadError();
}

void ScriptPage::Serve(const std::string& url, const std::string& text, std::size_t chunk, NPReason reason)
{
    NPStream stream = {};
    stream.url = url.c_str();
    uint16 type = 0;
    char mime[] = "text/plain";
    ASSERT_EQ(NPERR_NO_ERROR, NPP_NewStream(&npp, mime, &stream, 0, &type));
    ASSERT_EQ(NP_NORMAL, type);
    std::string bytes = text;
    for (std::size_t offset = 0; offset < bytes.size(); offset += chunk) {
        int32 length = static_cast<int32>(std::min(chunk, bytes.size() - offset));
        ASSERT_LE(length, NPP_WriteReady(&npp, &stream));
        ASSERT_EQ(length, NPP_Write(&npp, &stream, static_cast<int32>(offset), length, &bytes[offset]));
    }
    NPP_DestroyStream(&npp, &stream, reason);
}

InstanceData* ScriptPage::Data() const
{
    return InstanceFromNPP(const_cast<NPP>(&npp));
}

CVLDRAWING ScriptPage::Drawing() const
{
    return Data() != nullptr ? Data()->drawing : 0;
}

CVLSYMBOL ScriptPage::Symbol(const char* name) const
{
    return SymbolFromName(Drawing(), name);
}

std::string ScriptPage::Property(const char* symbolName, const char* property) const
{
    std::string text;
    if (!GetSymbolPropertyText(Drawing(), Symbol(symbolName), property, text)) {
        return "(absent)";
    }
    return text;
}

POINT ScriptPage::ToScreen(int x, int y) const
{
    POINT point = {x, y};
    ClientToScreen(window, &point);
    return point;
}

void ScriptPage::MoveTo(int x, int y)
{
    POINT p = ToScreen(x, y);
    w32_mouse_move(p.x, p.y);
}

void ScriptPage::Press(int x, int y)
{
    POINT p = ToScreen(x, y);
    w32_mouse_button(W32_BUTTON_LEFT, TRUE, p.x, p.y);
}

void ScriptPage::Release(int x, int y)
{
    POINT p = ToScreen(x, y);
    w32_mouse_button(W32_BUTTON_LEFT, FALSE, p.x, p.y);
}
