// Plain link properties of older drawings ("urllink", "statusline"), rewritten into
// event scripts the first time a symbol receives an event.
#ifndef SCRIPT_LEGACY_LINKS_H
#define SCRIPT_LEGACY_LINKS_H

#include <string>

#include "engine_api.h"

// Converts the symbol once; the marker property "__ae" records that it was done.
void ConvertLegacyProperties(CVLDRAWING drawing, CVLSYMBOL symbol);
void ConvertUrlLink(CVLDRAWING drawing, CVLSYMBOL symbol);
void ConvertStatusLine(CVLDRAWING drawing, CVLSYMBOL symbol);

// Reads the argument "!urllink" or "!statusline" (the text after the '!', any letter
// case): the text of that link property of the symbol, the link without its
// "inplace " request. The conversion writes these for texts that a statement
// cannot carry as written. False when the word is neither or the property is absent.
bool ReadLinkPropertyArgument(CVLDRAWING drawing, CVLSYMBOL symbol, const std::string& word, std::string& text);

// Merges one statement into the event property (created when absent).
void AddStatementToProperty(CVLDRAWING drawing, CVLSYMBOL symbol, const char* eventName,
                            const std::string& statement);

// Appends the statement to the script, replacing the first older statement with the same verb.
void MergeStatement(std::string& script, const std::string& statement);

#endif
