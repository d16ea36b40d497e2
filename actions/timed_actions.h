// Handlers that start and stop timed effects.
#ifndef ACTIONS_TIMED_ACTIONS_H
#define ACTIONS_TIMED_ACTIONS_H

#include <string>

#include "engine_api.h"

struct InstanceData;

void FlashObjectAction(InstanceData* data, CVLSYMBOL symbol, const std::string& argument);
void EndFlashObjectAction(InstanceData* data, CVLSYMBOL symbol, const std::string& argument);
void SpinObjectCWAction(InstanceData* data, CVLSYMBOL symbol, const std::string& argument);
void SpinObjectCCWAction(InstanceData* data, CVLSYMBOL symbol, const std::string& argument);
void EndSpinObjectAction(InstanceData* data, CVLSYMBOL symbol, const std::string& argument);
void BeepAction(InstanceData* data, CVLSYMBOL symbol, const std::string& argument);
void EndBeepAction(InstanceData* data, CVLSYMBOL symbol, const std::string& argument);

#endif
