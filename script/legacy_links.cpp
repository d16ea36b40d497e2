#include "legacy_links.h"

#include "event_scripts.h"
#include "interpreter.h"
#include "script_text.h"

namespace {

const char kMarker[] = "__ae";
const char kInPlacePrefix[] = "inplace ";
const std::size_t kInPlacePrefixLength = sizeof(kInPlacePrefix) - 1;
const char kUrlLink[] = "urllink";
const char kStatusLine[] = "statusline";

// The link property's text and whether it asks to load in place ("inplace " removed).
bool ReadUrlLink(CVLDRAWING drawing, CVLSYMBOL symbol, std::string& url, bool& inPlace)
{
    if (!GetSymbolPropertyText(drawing, symbol, kUrlLink, url)) {
        return false;
    }
    inPlace = url.compare(0, kInPlacePrefixLength, kInPlacePrefix) == 0;
    if (inPlace) {
        url.erase(0, kInPlacePrefixLength);
    }
    return true;
}

// Whether the interpreter hands the text to the action exactly as written when it
// is a statement's argument: a ';' would end the statement (also one taken as the
// second byte of a double-byte character that the text leaves open at its end),
// and a leading '!' or '%' would ask for a fetched value or a page attribute.
bool ReadBackAsWritten(const std::string& text)
{
    if (!text.empty() && (text[0] == '!' || text[0] == '%')) {
        return false;
    }
    return FindAnsiChar(text + ";", ';') == text.size();
}

// The argument that brings the property's text to the action unchanged: the text
// itself where it reads back as written, else a reference to the property.
std::string LinkArgument(const std::string& text, const char* property)
{
    return ReadBackAsWritten(text) ? text : std::string("!") + property;
}

// Takes the statement at start .. end (its separator, or the script's end) out of the
// script. The statements left are joined again by single separators, as a script is
// written, so a separator that ended the script goes too.
void RemoveStatement(std::string& script, std::size_t start, std::size_t end)
{
    std::size_t lastEnd = end;
    for (std::size_t next = end + 1; next < script.size(); next = lastEnd + 1) {
        lastEnd = StatementEnd(script, next);
    }
    if (lastEnd == end) {
        // The last statement: it goes with the separator before it.
        script.erase(start == 0 ? 0 : start - 1);
        return;
    }
    script.erase(lastEnd);
    script.erase(start, end + 1 - start);
}

}  // namespace

bool ReadLinkPropertyArgument(CVLDRAWING drawing, CVLSYMBOL symbol, const std::string& word, std::string& text)
{
    if (EqualsIgnoringCase(word, kUrlLink)) {
        bool inPlace = false;
        return ReadUrlLink(drawing, symbol, text, inPlace);
    }
    if (EqualsIgnoringCase(word, kStatusLine)) {
        return GetSymbolPropertyText(drawing, symbol, kStatusLine, text);
    }
    return false;
}

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
    bool inPlace = false;
    if (!ReadUrlLink(drawing, symbol, url, inPlace)) {
        return;
    }
    const std::string argument = LinkArgument(url, kUrlLink);
    AddStatementToProperty(drawing, symbol, "OnMouseUp", (inPlace ? "InplaceJump " : "Jump ") + argument);
    AddStatementToProperty(drawing, symbol, "OnMouseEnter", "CursorShape hand");
    AddStatementToProperty(drawing, symbol, "OnMouseEnter", "StatusLine " + argument);
    AddStatementToProperty(drawing, symbol, "OnMouseLeave", "CursorShape;StatusLine");
}

void ConvertStatusLine(CVLDRAWING drawing, CVLSYMBOL symbol)
{
    std::string text;
    if (!GetSymbolPropertyText(drawing, symbol, kStatusLine, text)) {
        return;
    }
    AddStatementToProperty(drawing, symbol, "OnMouseEnter", "StatusLine " + LinkArgument(text, kStatusLine));
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
    // Walked by position: only the statements compared are copied, and the script is
    // cut where the one that gives way stands.
    for (std::size_t start = 0; start < script.size();) {
        const std::size_t end = StatementEnd(script, start);
        if (EqualsIgnoringCase(ParseStatement(script.substr(start, end - start)).verb, verb)) {
            RemoveStatement(script, start, end);
            break;
        }
        start = end + 1;
    }
    if (!script.empty()) {
        script += ';';
    }
    script += statement;
}
