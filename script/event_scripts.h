// Event scripts stored in symbol properties, and the OnLoad pass.
#ifndef SCRIPT_EVENT_SCRIPTS_H
#define SCRIPT_EVENT_SCRIPTS_H

#include <string>

#include "engine_api.h"

struct InstanceData;

bool GetSymbolPropertyText(CVLDRAWING drawing, CVLSYMBOL symbol, const char* name, std::string& text);
void FireSymbolEvent(InstanceData* data, CVLSYMBOL symbol, const char* eventName);
void RunLoadScripts(InstanceData* data);

#endif
