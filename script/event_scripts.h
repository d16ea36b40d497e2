// Event scripts stored in symbol properties, and the OnLoad pass.
#ifndef SCRIPT_EVENT_SCRIPTS_H
#define SCRIPT_EVENT_SCRIPTS_H

#include <string>

#include "engine_api.h"

struct InstanceData;

bool GetSymbolPropertyText(CVLDRAWING drawing, CVLSYMBOL symbol, const char* name, std::string& text);
void FireSymbolEvent(InstanceData* data, CVLSYMBOL symbol, const char* eventName);
void RunLoadScripts(InstanceData* data);

// One outer event (a window message, a timer tick, a browser's stream call) and all
// that it makes fire, for as long as the outermost of these scopes lives. The
// firings of one outer event share one budget, so that scripts that keep handing
// the pointer to each other cost a bounded amount of work per event. A firing or a
// load pass outside any scope counts as an outer event of its own.
class OuterEvent {
public:
    OuterEvent();
    virtual ~OuterEvent();
    OuterEvent(const OuterEvent&) = delete;
    OuterEvent& operator=(const OuterEvent&) = delete;
};

// True once the current outer event has used up its firings.
bool FiringBudgetSpent();

#endif
