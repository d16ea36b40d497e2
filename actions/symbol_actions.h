// Handlers that change symbols and layers of the loaded drawing.
#ifndef ACTIONS_SYMBOL_ACTIONS_H
#define ACTIONS_SYMBOL_ACTIONS_H

#include <string>

#include "engine_api.h"

struct InstanceData;

void SymbolColorAction(InstanceData* data, CVLSYMBOL symbol, const std::string& argument);
void SymbolTextAction(InstanceData* data, CVLSYMBOL symbol, const std::string& argument);
void ScaleSymbolAction(InstanceData* data, CVLSYMBOL symbol, const std::string& argument);
void MoveOverAction(InstanceData* data, CVLSYMBOL symbol, const std::string& argument);
void HideSymbolAction(InstanceData* data, CVLSYMBOL symbol, const std::string& argument);
void ShowSymbolAction(InstanceData* data, CVLSYMBOL symbol, const std::string& argument);
void HideLayerAction(InstanceData* data, CVLSYMBOL symbol, const std::string& argument);
void ShowLayerAction(InstanceData* data, CVLSYMBOL symbol, const std::string& argument);
void OnlyShowLayerAction(InstanceData* data, CVLSYMBOL symbol, const std::string& argument);
void SoftReloadAction(InstanceData* data, CVLSYMBOL symbol, const std::string& argument);
void BringObjectToFrontAction(InstanceData* data, CVLSYMBOL symbol, const std::string& argument);
void BringObjectForwardAction(InstanceData* data, CVLSYMBOL symbol, const std::string& argument);
void SendObjectToBackAction(InstanceData* data, CVLSYMBOL symbol, const std::string& argument);
void SendObjectBackwardAction(InstanceData* data, CVLSYMBOL symbol, const std::string& argument);
void ResetDrawingAction(InstanceData* data, CVLSYMBOL symbol, const std::string& argument);
void RotateObjectAction(InstanceData* data, CVLSYMBOL symbol, const std::string& argument);

#endif
