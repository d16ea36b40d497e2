// The script interpreter: statements, targets, verbs and the action table.
#ifndef SCRIPT_INTERPRETER_H
#define SCRIPT_INTERPRETER_H

#include <windows.h>

#include <string>
#include <vector>

#include "engine_api.h"

struct InstanceData;
class BrowserLink;

// Every action handler: the instance, the symbol to act on (never 0 from scripts), the argument.
typedef void (*ActionHandler)(InstanceData* data, CVLSYMBOL symbol, const std::string& argument);

struct ParsedStatement {
    std::string verb;
    std::string argument;
    std::vector<std::string> targets;
};

void RunEventScript(InstanceData* data, CVLSYMBOL symbol, const std::string& script);
// Where the statement that starts at `start` ends: at its separator, or at the script's end.
std::size_t StatementEnd(const std::string& script, std::size_t start);
std::vector<std::string> SplitStatements(const std::string& script);
ParsedStatement ParseStatement(const std::string& statement);
void RunStatement(InstanceData* data, CVLSYMBOL symbol, const std::string& statement);
void RunAction(InstanceData* data, CVLSYMBOL symbol, const std::string& verb, const std::string& argument);
ActionHandler FindActionHandler(const std::string& verb);
// Starts fetching the value of a "label NAME URL" argument (text after the "!").
// The value reaches the handler only while the drawing of `drawingGeneration` is
// still the instance's drawing; otherwise the symbol is gone and the value dropped.
void StartLabelFetch(BrowserLink* link, const std::string& text, ActionHandler handler, CVLSYMBOL symbol,
                     unsigned drawingGeneration);
// Frees the process-wide action map (module unload).
void FreeActionMap();

#endif
