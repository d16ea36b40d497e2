#include "event_scripts.h"

#include <climits>
#include <vector>

#include "interpreter.h"
#include "legacy_links.h"
#include "plugin_instance.h"
#include "view_window.h"

namespace {

const char kOnLoad[] = "OnLoad";
const int kEverySymbolEnumOptions = CVL_ENUM_EVERY_SYMBOL;

// Deepest nesting of firings on one instance. Firings nest when a script's change
// makes the view fire leave and enter, whose scripts change the drawing again; two
// symbols that keep moving under the pointer would otherwise nest until the stack
// runs out. Real pages nest a handful of levels (a leave inside an enter inside an
// OnLoad pass); each level costs a few kilobytes of stack, so 32 levels stay far
// below the browser thread's stack while leaving ample room for honest scripts.
const int kDeepestEventNesting = 32;

// Most firings one outer event may cause. The nesting bound limits depth, not
// count: symbols that keep handing the pointer to each other, and load passes whose
// scripts each start that again, can fire thousands of times for one pointer move.
// Honest pages fire a handful per event (a leave, an enter, the few their scripts
// cause), so 256 leaves them ample room, while the worst page stays at a few
// hundred microseconds per event. The firings of an OnLoad pass count too, but a
// pass that has started always finishes: a drawing's load scripts are never cut short.
const int kMostFiringsPerOuterEvent = 256;

struct FiringBudget {
    int openScopes = 0;  // OuterEvent scopes alive, nested
    int firings = 0;     // firings since the outermost scope opened
};

// Process-wide, because an outer event is: everything runs on the browser's
// user-interface thread, one event at a time.
FiringBudget& Budget() {
    static FiringBudget budget;
    return budget;
}

// Counts one level of firing for as long as it lives.
class EventNesting {
public:
    explicit EventNesting(InstanceData* data) : data(data) { ++data->eventDepth; }
    ~EventNesting() { --data->eventDepth; }
    EventNesting(const EventNesting&) = delete;
    EventNesting& operator=(const EventNesting&) = delete;

private:
    InstanceData* data;
};

// Marks the OnLoad pass as running for as long as it lives.
class LoadPass {
public:
    explicit LoadPass(InstanceData* data) : data(data) { data->loadPassRunning = true; }
    ~LoadPass() { data->loadPassRunning = false; }
    LoadPass(const LoadPass&) = delete;
    LoadPass& operator=(const LoadPass&) = delete;

private:
    InstanceData* data;
};

struct LoadPassContext {
    InstanceData* data;
    CVLDRAWING drawing;
    unsigned generation;
};

void FireEvent(InstanceData* data, CVLSYMBOL symbol, const char* eventName, bool partOfLoadPass);

int WINAPI RunSymbolLoadScript(CVLSYMBOL symbol, void* context)
{
    LoadPassContext* pass = static_cast<LoadPassContext*>(context);
    if (GetPropertyLength(pass->drawing, symbol, kOnLoad) >= 0) {
        FireEvent(pass->data, symbol, kOnLoad, true);
    }
    // A script of the pass replaced the drawing: the symbols still to come belong
    // to the freed one, so the engine is told to stop here and now.
    return pass->data->drawingGeneration != pass->generation ? 1 : 0;
}

void FireEvent(InstanceData* data, CVLSYMBOL symbol, const char* eventName, bool partOfLoadPass)
{
    if (data == nullptr || data->drawing == 0 || symbol == 0 || eventName == nullptr) {
        return;
    }
    if (data->eventDepth >= kDeepestEventNesting) {
        return;
    }
    OuterEvent event;
    if (!partOfLoadPass && Budget().firings >= kMostFiringsPerOuterEvent) {
        return;
    }
    ++Budget().firings;
    EventNesting nesting(data);
    ConvertLegacyProperties(data->drawing, symbol);
    std::string script;
    if (!GetSymbolPropertyText(data->drawing, symbol, eventName, script)) {
        return;
    }
    RunEventScript(data, symbol, script);
    // Let the view see at once what the script changed under the pointer.
    if (data->view) {
        data->view->UpdateHover();
    }
}

}  // namespace

bool GetSymbolPropertyText(CVLDRAWING drawing, CVLSYMBOL symbol, const char* name, std::string& text)
{
    text.clear();
    if (drawing == 0 || symbol == 0 || name == nullptr) {
        return false;
    }
    int length = GetPropertyLength(drawing, symbol, name);
    // The size handed to the engine is length + 1, which must stay an int.
    if (length > 0 && length < INT_MAX) {
        std::vector<char> buffer(static_cast<std::size_t>(length) + 1, '\0');
        GetProperty(drawing, symbol, name, buffer.data(), length + 1);
        text = buffer.data();
    }
    return length >= 0;
}

void FireSymbolEvent(InstanceData* data, CVLSYMBOL symbol, const char* eventName)
{
    FireEvent(data, symbol, eventName, false);
}

void RunLoadScripts(InstanceData* data)
{
    if (data == nullptr || data->drawing == 0) {
        return;
    }
    // An OnLoad script that reloads would start the pass again from inside itself,
    // and again from there, without end: a pass asked for while one runs is ignored.
    if (data->loadPassRunning) {
        return;
    }
    OuterEvent event;
    LoadPass running(data);
    LoadPassContext context = {data, data->drawing, data->drawingGeneration};
    EnumSymbols(data->drawing, RunSymbolLoadScript, &context, kEverySymbolEnumOptions);
}

OuterEvent::OuterEvent()
{
    if (Budget().openScopes++ == 0) {
        Budget().firings = 0;
    }
}

OuterEvent::~OuterEvent()
{
    --Budget().openScopes;
}

bool FiringBudgetSpent()
{
    return Budget().firings >= kMostFiringsPerOuterEvent;
}
