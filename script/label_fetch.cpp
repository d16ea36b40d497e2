// Arguments of the form "!label NAME URL": the action runs later, with the value
// that the line "NAME: value" of the URL's text gives.
#include <windows.h>

#include "browser_link.h"
#include "interpreter.h"
#include "plugin_instance.h"
#include "script_text.h"

namespace {

// Longest line kept while looking for the name. A text without line breaks would
// otherwise be collected whole; a longer line is cut here and still matched by its
// start, which is where the name stands.
const std::size_t kLongestLabelLine = 64 * 1024;

// A value consumer that remembers which drawing its symbol came from.
class LabelConsumer : public KeyValueConsumer {
public:
    LabelConsumer(ActionHandler handler, CVLSYMBOL symbol, const std::string& name, unsigned drawingGeneration)
        : KeyValueConsumer(handler, symbol, name), generation(drawingGeneration)
    {
    }

    bool OnData(InstanceData* data, LONG length, const char* bytes) override
    {
        if (IsStale(data)) {
            // Ignored, not declined: declining would cut the data short for other
            // consumers waiting on the same URL.
            return true;
        }
        const bool continuesCutLine = cutLength != 0 && pending.size() == cutLength && !HasLineEnd(length, bytes);
        const bool more = LineConsumer::OnData(data, length, bytes);
        if (pending.size() > kLongestLabelLine) {
            // The start of a line already cut is known to end on a whole character.
            cutLength = continuesCutLine ? cutLength : CharStartAtOrBefore(pending, kLongestLabelLine);
            pending.resize(cutLength);
        }
        return more;
    }

    bool OnLine(InstanceData* data, const std::string& line) override
    {
        // The drawing was replaced while the text was on its way: the stored symbol
        // handle is dead, so the value is dropped.
        if (IsStale(data)) {
            return false;
        }
        return KeyValueConsumer::OnLine(data, line);
    }

private:
    bool IsStale(const InstanceData* data) const
    {
        return data == nullptr || data->drawingGeneration != generation;
    }

    static bool HasLineEnd(LONG length, const char* bytes)
    {
        for (LONG i = 0; i < length; ++i) {
            if (bytes[i] == '\0' || bytes[i] == '\n' || bytes[i] == '\r') {
                return true;
            }
        }
        return false;
    }

    // Cutting must not split a double-byte character.
    static std::size_t CharStartAtOrBefore(const std::string& text, std::size_t limit)
    {
        std::size_t i = 0;
        for (;;) {
            std::size_t next = NextCharIndex(text, i);
            if (next > limit || next == i) {
                return i;
            }
            i = next;
        }
    }

    unsigned generation;
    std::size_t cutLength = 0;  // length the current overlong line was cut to
};

}  // namespace

void StartLabelFetch(BrowserLink* link, const std::string& text, ActionHandler handler, CVLSYMBOL symbol,
                     unsigned drawingGeneration)
{
    if (link == nullptr || handler == nullptr) {
        return;
    }
    std::size_t blank = FindDelimiter(text, ' ');
    if (blank == std::string::npos || !EqualsIgnoringCase(text.substr(0, blank), "label")) {
        return;
    }
    std::string nameAndUrl = WithoutLeadingWhiteSpace(text, blank + 1);
    std::size_t nameEnd = FindDelimiter(nameAndUrl, ' ');
    if (nameEnd == std::string::npos) {
        return;
    }
    std::string url = nameAndUrl.substr(nameEnd + 1);
    link->RequestURL(url.c_str(),
                     new LabelConsumer(handler, symbol, nameAndUrl.substr(0, nameEnd), drawingGeneration));
}
