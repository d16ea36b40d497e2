#include "legacy_links.h"

#include <vector>

#include "event_scripts.h"
#include "interpreter.h"
#include "script_text.h"

namespace {

const char kMarker[] = "__ae";
const char kInPlacePrefix[] = "inplace ";
const std::size_t kInPlacePrefixLength = sizeof(kInPlacePrefix) - 1;

}  // namespace

void ConvertLegacyProperties(CVLDRAWING drawing, CVLSYMBOL symbol)
{
    if (GetPropertyLength(drawing, symbol, kMarker) >= 0) {
        return;
    }
    // Marked first, whatever follows, so that the conversion never runs twice.
    SetProperty(drawing, symbol, kMarker, kMarker);
    ConvertUrlLink(drawing, symbol);
    ConvertStatusLine(drawing, symbol);
}

void ConvertUrlLink(CVLDRAWING drawing, CVLSYMBOL symbol)
{
    std::string url;
    if (!GetSymbolPropertyText(drawing, symbol, "urllink", url)) {
        return;
    }
    bool inPlace = url.compare(0, kInPlacePrefixLength, kInPlacePrefix) == 0;
    if (inPlace) {
        url.erase(0, kInPlacePrefixLength);
    }
    AddStatementToProperty(drawing, symbol, "OnMouseUp", (inPlace ? "InplaceJump " : "Jump ") + url);
    AddStatementToProperty(drawing, symbol, "OnMouseEnter", "CursorShape hand");
    AddStatementToProperty(drawing, symbol, "OnMouseEnter", "StatusLine " + url);
    AddStatementToProperty(drawing, symbol, "OnMouseLeave", "CursorShape;StatusLine");
}

void ConvertStatusLine(CVLDRAWING drawing, CVLSYMBOL symbol)
{
    std::string text;
    if (!GetSymbolPropertyText(drawing, symbol, "statusline", text)) {
        return;
    }
    AddStatementToProperty(drawing, symbol, "OnMouseEnter", "StatusLine " + text);
    AddStatementToProperty(drawing, symbol, "OnMouseLeave", "StatusLine");
}

void AddStatementToProperty(CVLDRAWING drawing, CVLSYMBOL symbol, const char* eventName,
                            const std::string& statement)
{
    std::string script;
    GetSymbolPropertyText(drawing, symbol, eventName, script);
    MergeStatement(script, statement);
    SetProperty(drawing, symbol, eventName, script.c_str());
}

void MergeStatement(std::string& script, const std::string& statement)
{
    const std::string verb = ParseStatement(statement).verb;
    std::vector<std::string> statements = SplitStatements(script);
    for (std::size_t i = 0; i < statements.size(); ++i) {
        if (EqualsIgnoringCase(ParseStatement(statements[i]).verb, verb)) {
            statements.erase(statements.begin() + static_cast<std::ptrdiff_t>(i));
            script.clear();
            for (std::size_t j = 0; j < statements.size(); ++j) {
                script += (j == 0 ? "" : ";") + statements[j];
            }
            break;
        }
    }
    if (!script.empty()) {
        script += ';';
    }
    script += statement;
}
