#include "symbol_paths.h"

#include <climits>
#include <vector>

#include "script_text.h"

namespace {

const char kPathSeparator[] = "->";
const int kMemberEnumOptions = CVL_ENUM_MEMBERS;

struct MemberSearch {
    CVLDRAWING drawing;
    const std::string* wanted;
    CVLSYMBOL found;
};

int WINAPI MatchMemberName(CVLSYMBOL member, void* context)
{
    MemberSearch* search = static_cast<MemberSearch*>(context);
    int length = GetSymbolNameLength(search->drawing, member);
    if (length < 1 || length == INT_MAX) {
        return 0;  // unnamed members never match; no name is that long
    }
    std::vector<char> buffer(static_cast<std::size_t>(length) + 1, '\0');
    GetSymbolName(search->drawing, member, buffer.data(), length + 1);
    if (std::string(buffer.data()) != *search->wanted) {
        return 0;
    }
    search->found = member;
    return 1;
}

}  // namespace

CVLSYMBOL ResolveSymbolPath(CVLDRAWING drawing, CVLSYMBOL base, const std::string& path)
{
    if (path.compare(0, 2, kPathSeparator) == 0) {
        return ResolveGroupPath(drawing, base, path.substr(2));
    }
    return ResolveGroupPath(drawing, 0, path);
}

CVLSYMBOL ResolveGroupPath(CVLDRAWING drawing, CVLSYMBOL group, const std::string& path)
{
    // One level per name, walked in a loop: a page may hand us a path of any length,
    // and its depth must not become the depth of our stack.
    std::size_t start = 0;
    for (;;) {
        std::size_t separator = FindAnsiRun(path, kPathSeparator, start);
        if (separator == std::string::npos) {
            return FindSymbolByName(drawing, group, path.substr(start));
        }
        // A name that is not found leaves group 0, so the next name is looked up
        // from the top of the drawing.
        group = FindSymbolByName(drawing, group, path.substr(start, separator - start));
        start = separator + 2;
    }
}

CVLSYMBOL FindSymbolByName(CVLDRAWING drawing, CVLSYMBOL group, const std::string& name)
{
    if (drawing == 0) {
        return 0;
    }
    if (group == 0) {
        return SymbolFromName(drawing, name.c_str());
    }
    if (name.empty()) {
        return 0;  // every member that has a name has a longer one
    }
    MemberSearch search = {drawing, &name, 0};
    EnumGroupedSymbol(drawing, group, MatchMemberName, &search, kMemberEnumOptions);
    return search.found;
}
