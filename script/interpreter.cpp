#include "interpreter.h"

#include <algorithm>
#include <memory>
#include <unordered_map>

#include "legacy_links.h"
#include "navigation_actions.h"
#include "plugin_instance.h"
#include "script_text.h"
#include "symbol_actions.h"
#include "timed_actions.h"
#include "symbol_paths.h"

namespace {

struct ActionRow {
    const char* verb;
    ActionHandler handler;
};

// The verbs scripts can name, in their historic order. A verb with "Object" where
// its twin has "Symbol" shares the twin's handler.
const std::vector<ActionRow> kActionTable = {
    {"Jump", JumpAction},
    {"TargetJump", TargetJumpAction},
    {"InplaceJump", InplaceJumpAction},
    {"StatusLine", StatusLineAction},
    {"CursorShape", CursorShapeAction},
    {"SymbolColor", SymbolColorAction},
    {"ObjectColor", SymbolColorAction},
    {"SymbolText", SymbolTextAction},
    {"ObjectText", SymbolTextAction},
    {"ScaleSymbol", ScaleSymbolAction},
    {"ScaleObject", ScaleSymbolAction},
    {"MoveOver", MoveOverAction},
    {"HideSymbol", HideSymbolAction},
    {"HideObject", HideSymbolAction},
    {"ShowSymbol", ShowSymbolAction},
    {"ShowObject", ShowSymbolAction},
    {"HideLayer", HideLayerAction},
    {"ShowLayer", ShowLayerAction},
    {"OnlyShowLayer", OnlyShowLayerAction},
    {"SoftReload", SoftReloadAction},
    {"BringObjectToFront", BringObjectToFrontAction},
    {"BringObjectForward", BringObjectForwardAction},
    {"SendObjectToBack", SendObjectToBackAction},
    {"SendObjectBackward", SendObjectBackwardAction},
    {"ResetDrawing", ResetDrawingAction},
    {"FlashObject", FlashObjectAction},
    {"EndFlashObject", EndFlashObjectAction},
    {"SpinObjectCW", SpinObjectCWAction},
    {"SpinObjectCCW", SpinObjectCCWAction},
    {"EndSpinObject", EndSpinObjectAction},
    {"RotateObject", RotateObjectAction},
    {"Beep", BeepAction},
    {"EndBeep", EndBeepAction},
};

typedef std::unordered_map<std::string, ActionHandler> ActionMap;

// Shared by every instance of the process; built at the first statement run and
// kept until the module unloads.
std::unique_ptr<ActionMap>& ProcessActionMap()
{
    static std::unique_ptr<ActionMap> map;
    return map;
}

void BuildActionMapOnce()
{
    std::unique_ptr<ActionMap>& map = ProcessActionMap();
    if (map) {
        return;
    }
    map.reset(new ActionMap);
    map->reserve(kActionTable.size());  // one allocation for the whole table
    for (const ActionRow& row : kActionTable) {
        (*map)[UpperCasedAnsi(row.verb)] = row.handler;
    }
}

// True when the statement's text from `at` starts with "as " in any letter case
// (blank required).
bool StartsWithTargetList(const std::string& statement, std::size_t at)
{
    return statement.size() >= at + 3 && (statement[at] == 'a' || statement[at] == 'A') &&
           (statement[at + 1] == 's' || statement[at + 1] == 'S') && statement[at + 2] == ' ';
}

}  // namespace

void RunEventScript(InstanceData* data, CVLSYMBOL symbol, const std::string& script)
{
    if (data == nullptr) {
        return;
    }
    // A statement that replaces the drawing leaves the event's symbol handle
    // pointing into a drawing that is gone: the rest of the script ends with it.
    const unsigned generation = data->drawingGeneration;
    for (const std::string& statement : SplitStatements(script)) {
        if (data->drawingGeneration != generation) {
            return;
        }
        RunStatement(data, symbol, statement);
    }
}

std::size_t StatementEnd(const std::string& script, std::size_t start)
{
    std::size_t end = FindAnsiChar(script, ';', start);
    return end == std::string::npos ? script.size() : end;
}

std::vector<std::string> SplitStatements(const std::string& script)
{
    std::vector<std::string> statements;
    for (std::size_t start = 0; start < script.size();) {
        const std::size_t end = StatementEnd(script, start);
        statements.push_back(script.substr(start, end - start));
        start = end + 1;
    }
    return statements;
}

ParsedStatement ParseStatement(const std::string& statement)
{
    ParsedStatement parsed;
    // Walked by position: only the parts are copied. A part starts after white space,
    // which is single-byte, so every search starts at a character.
    std::size_t start = SkipAnsiSpaces(statement);
    if (StartsWithTargetList(statement, start)) {
        // A target is the text up to its end, without its leading white space.
        auto target = [&statement](std::size_t from, std::size_t end) {
            std::size_t first = std::min(SkipAnsiSpaces(statement, from), end);
            return statement.substr(first, end - first);
        };
        start += 3;
        // Every comma separates targets, even one that was meant for the argument.
        for (std::size_t comma = FindAnsiChar(statement, ',', start); comma != std::string::npos;
             comma = FindAnsiChar(statement, ',', start)) {
            parsed.targets.push_back(target(start, comma));
            start = SkipAnsiSpaces(statement, comma + 1);
        }
        // The last target ends at the first blank.
        std::size_t blank = FindAnsiChar(statement, ' ', start);
        if (blank == std::string::npos) {
            parsed.targets.push_back(target(start, statement.size()));
            start = statement.size();
        } else {
            parsed.targets.push_back(target(start, blank));
            start = SkipAnsiSpaces(statement, blank + 1);
        }
    }
    std::size_t blank = FindAnsiChar(statement, ' ', start);
    if (blank == std::string::npos) {
        parsed.verb = statement.substr(start);
    } else {
        parsed.verb = statement.substr(start, blank - start);
        parsed.argument = statement.substr(blank + 1);
    }
    return parsed;
}

void RunStatement(InstanceData* data, CVLSYMBOL symbol, const std::string& statement)
{
    if (data == nullptr) {
        return;
    }
    ParsedStatement parsed = ParseStatement(statement);
    if (parsed.targets.empty()) {
        RunAction(data, symbol, parsed.verb, parsed.argument);
        return;
    }
    const unsigned generation = data->drawingGeneration;
    CVLSYMBOL base = symbol;
    for (const std::string& target : parsed.targets) {
        // An action on an earlier target may have replaced the drawing; the base
        // then belongs to a drawing that is gone.
        if (data->drawingGeneration != generation || data->drawing == 0) {
            return;
        }
        base = ResolveSymbolPath(data->drawing, base, target);
        if (base != 0) {
            RunAction(data, base, parsed.verb, parsed.argument);
        }
    }
}

void RunAction(InstanceData* data, CVLSYMBOL symbol, const std::string& verb, const std::string& argument)
{
    BuildActionMapOnce();
    if (data == nullptr) {
        return;
    }
    ActionHandler handler = FindActionHandler(verb);
    if (handler == nullptr) {
        return;
    }
    if (argument.empty()) {
        handler(data, symbol, argument);
        return;
    }
    if (argument[0] == '!') {
        // "!urllink" and "!statusline" bring a link property's text as it stands.
        std::string linkText;
        if (ReadLinkPropertyArgument(data->drawing, symbol, argument.substr(1), linkText)) {
            handler(data, symbol, linkText);
            return;
        }
        StartLabelFetch(data->link.get(), argument.substr(1), handler, symbol, data->drawingGeneration);
        return;
    }
    if (argument[0] == '%') {
        // The value is used as it stands: a value that starts with "%" or "!" is not read again.
        auto attribute = data->attributes.find(LowerCasedAnsi(argument.substr(1)));
        if (attribute != data->attributes.end()) {
            handler(data, symbol, attribute->second);
        }
        return;
    }
    handler(data, symbol, argument);
}

ActionHandler FindActionHandler(const std::string& verb)
{
    const std::unique_ptr<ActionMap>& map = ProcessActionMap();
    if (verb.empty() || !map) {
        return nullptr;
    }
    auto found = map->find(UpperCasedAnsi(verb));
    return found == map->end() ? nullptr : found->second;
}

void FreeActionMap()
{
    ProcessActionMap().reset();
}
