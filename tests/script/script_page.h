// A plug-in instance in a browser window of the window-system stand-in, showing a
// drawing written by the test, with a browser function table that records every
// NPN_GetURL and NPN_Status. Requested URLs can be served in chunks.
#ifndef TESTS_SCRIPT_SCRIPT_PAGE_H
#define TESTS_SCRIPT_SCRIPT_PAGE_H

#include <windows.h>

#include <string>
#include <utility>
#include <vector>

#include "engine_api.h"
#include "npapi.h"

struct InstanceData;

// Embed attributes or symbol properties: name and value, in order.
typedef std::vector<std::pair<std::string, std::string>> NamedTexts;

// What the browser was asked, one text per call: "GetURL <url> <target or null>"
// and "Status <text>".
std::vector<std::string>& BrowserCalls();

// Writes the text to a fresh file and returns its path; removed at exit.
std::string WriteTempFile(const std::string& text, const char* extension = ".vkf");

// A drawing file text: "vkdrawing 1", a page of 200 x 100, then the given symbols.
std::string DrawingText(const std::string& symbols);

// One rectangle symbol with a name (may be empty for none), a box and properties.
std::string Rectangle(const std::string& name, int left, int top, int right, int bottom,
                      const NamedTexts& properties = {});

// A group symbol around members.
std::string Group(const std::string& name, const std::string& members,
                  const NamedTexts& properties = {});

class ScriptPage {
public:
    // A 200 x 100 plug-in window at the screen's origin; embed attributes name=value
    // (a full page, mode NP_FULL, is given none by the browser), on a window system
    // of the given code page.
    explicit ScriptPage(const NamedTexts& attributes = {},
                        uint16 mode = NP_EMBED, UINT codePage = 1252);
    virtual ~ScriptPage();
    ScriptPage(const ScriptPage&) = delete;
    ScriptPage& operator=(const ScriptPage&) = delete;

    // Streams the drawing file to the instance as the page's drawing (runs the OnLoad pass).
    void LoadDrawingText(const std::string& drawingText, const char* url = "http://host/page/drawing.vkf");

    // Serves a requested URL: a data stream, the text in chunks, then the end.
    void Serve(const std::string& url, const std::string& text, std::size_t chunk = 1024,
               NPReason reason = NPRES_DONE);

    InstanceData* Data() const;
    CVLDRAWING Drawing() const;
    CVLSYMBOL Symbol(const char* name) const;
    std::string Property(const char* symbolName, const char* property) const;
    HWND Window() const { return window; }

    // Moves the pointer to a client point of the plug-in window, and presses or releases there.
    void MoveTo(int x, int y);
    void Press(int x, int y);
    void Release(int x, int y);

    NPP_t npp = {nullptr, nullptr};

private:
    POINT ToScreen(int x, int y) const;

    HWND browser = nullptr;
    HWND window = nullptr;
};

#endif
