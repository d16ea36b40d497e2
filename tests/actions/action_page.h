// A plug-in instance record set up by hand for calling action handlers directly:
// a window of the window-system stand-in with the instance's view on it, a drawing
// written by the test and loaded through the engine stand-in, and a browser link
// that records what it is asked.
#ifndef TESTS_ACTIONS_ACTION_PAGE_H
#define TESTS_ACTIONS_ACTION_PAGE_H

#include <windows.h>

#include <map>
#include <string>
#include <vector>

#include "browser_link.h"
#include "engine_api.h"

struct InstanceData;

// Remembers every call as one text: "GotoURL [url] [target]" (target "null" when
// there is none), "LoadInPlace [url]", "ShowStatus [text]".
class RecordingLink : public BrowserLink {
public:
    void GotoURL(const char* url, const char* target) override;
    void LoadInPlace(const char* url) override;
    void ShowStatus(const char* text) override;
    void RequestURL(const char* url, UrlConsumer* consumer) override;

    std::vector<std::string> calls;
};

// "vkdrawing 1", a page of 200 x 100, the layers ("layer N shown|hidden" lines), then symbols.
std::string DrawingText(const std::string& symbols, const std::string& layers = "");

// A rectangle without stroke, so that its bounds are exactly its box.
std::string Box(const std::string& name, int left, int top, int right, int bottom,
                const std::string& extraLines = "");

class ActionPage {
public:
    // A 200 x 100 plug-in window at (x, y) of the screen. Attributes as in the embed tag.
    ActionPage(int x, int y, const std::map<std::string, std::string>& attributes);
    virtual ~ActionPage();
    ActionPage(const ActionPage&) = delete;
    ActionPage& operator=(const ActionPage&) = delete;

    // Loads the drawing as the drawing stream does: layout pass, cache rebuilt and painted.
    void Load(const std::string& drawingText);
    // Paints what is pending, so that dirtyRect and the update region are empty.
    void Settle();

    InstanceData* Data() const { return data; }
    RecordingLink& Link() const { return *link; }
    HWND Window() const { return window; }
    CVLDRAWING Drawing() const;
    CVLSYMBOL Symbol(const char* name) const;
    RECT EngineRect(const char* name) const;
    bool Visible(const char* name) const;

private:
    InstanceData* data = nullptr;
    RecordingLink* link = nullptr;  // owned by data
    HWND window = nullptr;
};

// The window's update region as a bounding rectangle, empty when nothing is pending.
RECT PendingArea(HWND window);

// The journal, only the calls of the named engine functions (all when the list is empty).
std::vector<std::string> JournalOf(const std::vector<std::string>& functions = {});

// "(l,t,r,b)" of a rectangle, as the engine's journal writes them.
std::string RectText(const RECT& rect);

#endif
