// Arguments of the form "!label NAME URL": the action runs later, with the value
// that the line "NAME: value" of the URL's text gives.
#include <windows.h>

#include "browser_link.h"
#include "interpreter.h"
#include "plugin_instance.h"
#include "script_text.h"

namespace {

// A value consumer that remembers which drawing its symbol came from.
class LabelConsumer : public KeyValueConsumer {
public:
    LabelConsumer(ActionHandler handler, CVLSYMBOL symbol, const std::string& name, unsigned drawingGeneration)
        : KeyValueConsumer(handler, symbol, name), generation(drawingGeneration)
    {
    }

    bool OnData(InstanceData* data, LONG length, const char* bytes) override
    {
        // Its value could go nowhere; declining leaves the rest to the other consumers.
        if (IsStale(data)) {
            return false;
        }
        return LineConsumer::OnData(data, length, bytes);
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

    // A request of an earlier drawing is another request: its symbol is gone.
    bool SameRequestAs(const UrlConsumer& other) const override
    {
        return KeyValueConsumer::SameRequestAs(other) &&
               static_cast<const LabelConsumer&>(other).generation == generation;
    }

private:
    bool IsStale(const InstanceData* data) const
    {
        return data == nullptr || data->drawingGeneration != generation;
    }

    unsigned generation;
};

}  // namespace

void StartLabelFetch(BrowserLink* link, const std::string& text, ActionHandler handler, CVLSYMBOL symbol,
                     unsigned drawingGeneration)
{
    if (link == nullptr || handler == nullptr) {
        return;
    }
    std::size_t blank = FindAnsiChar(text, ' ');
    if (blank == std::string::npos || !EqualsIgnoringCase(text.substr(0, blank), "label")) {
        return;
    }
    std::string nameAndUrl = WithoutLeadingSpaces(text, blank + 1);
    std::size_t nameEnd = FindAnsiChar(nameAndUrl, ' ');
    if (nameEnd == std::string::npos) {
        return;
    }
    std::string url = nameAndUrl.substr(nameEnd + 1);
    link->RequestURL(url.c_str(),
                     new LabelConsumer(handler, symbol, nameAndUrl.substr(0, nameEnd), drawingGeneration));
}
