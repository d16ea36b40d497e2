// Handlers that follow links, write the status line and choose the cursor.
#ifndef ACTIONS_NAVIGATION_ACTIONS_H
#define ACTIONS_NAVIGATION_ACTIONS_H

#include <string>

#include "engine_api.h"

struct InstanceData;

void JumpAction(InstanceData* data, CVLSYMBOL symbol, const std::string& argument);
void TargetJumpAction(InstanceData* data, CVLSYMBOL symbol, const std::string& argument);
void InplaceJumpAction(InstanceData* data, CVLSYMBOL symbol, const std::string& argument);
void StatusLineAction(InstanceData* data, CVLSYMBOL symbol, const std::string& argument);
void CursorShapeAction(InstanceData* data, CVLSYMBOL symbol, const std::string& argument);

#endif
