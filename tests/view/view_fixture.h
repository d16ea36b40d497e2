// A browser page with one embedded drawing, driven the way the browser drives it:
// the plug-in's function table, a child window of the window system, a drawing
// streamed as a file, and the pointer moved over the screen.
#ifndef TESTS_VIEW_VIEW_FIXTURE_H
#define TESTS_VIEW_VIEW_FIXTURE_H

#include <gtest/gtest.h>

#include <windows.h>

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "npapi.h"
#include "plugin_instance.h"

struct PageSetup {
    int displayDepth = 32;
    LONG width = 200, height = 100;
    std::vector<std::pair<std::string, std::string>> attributes;  // embed attributes, in tag order
    std::string drawing;                                          // drawing file text; empty: none streamed
};

class ViewTest : public ::testing::Test {
public:
    // Messages that reached the browser's own window procedure of the plug-in window.
    static std::vector<UINT> browserMessages;

protected:
    void SetUp() override;
    void TearDown() override;

    // Creates the instance and its window and streams the drawing, if any.
    void Open(const PageSetup& setup);
    void StreamDrawing(const std::string& text);
    // Ends the instance, as the browser does when it leaves the page.
    void Close();

    InstanceData* Data() const { return InstanceFromNPP(const_cast<NPP_t*>(&npp)); }
    HWND Window() const { return pluginWindow; }
    // The symbol of the current drawing with this name.
    CVLSYMBOL Symbol(const char* name) const;

    int Pump();
    // Pointer and left button at client points of the plug-in window.
    POINT ScreenPoint(LONG x, LONG y) const;
    void MoveTo(LONG x, LONG y);
    void LeftButton(BOOL down, LONG x, LONG y);
    void Click(LONG x, LONG y);

    // Engine calls since the journal was last cleared, handles of the current
    // drawing and its named symbols replaced by "D" and the symbols' names.
    std::vector<std::string> EngineCalls(const std::string& function) const;
    // Mouse events fired on symbols, as "OnMouseEnter A".
    std::vector<std::string> FiredEvents() const;
    void ClearJournal() const;

    NPPluginFuncs plugin = {};
    NPP_t npp = {};
    bool open = false;
    HWND frameWindow = nullptr;
    HWND pluginWindow = nullptr;
    std::vector<std::string> files;
    std::map<std::string, std::string> symbolNames;  // handle text -> name
};

// The bytes of a DIB-section cache pixel at a client point, blue first.
std::vector<BYTE> CachePixel(const InstanceData* data, int depth, LONG x, LONG y);

#endif
