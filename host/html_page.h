// Reads the parts of an HTML page the browser acts on: its <embed> tags, with
// every attribute in order, and the block boundaries that start a new line of
// the page's flow.
#ifndef HOST_HTML_PAGE_H
#define HOST_HTML_PAGE_H

#include <string>
#include <utility>
#include <vector>

namespace vkhost {

struct EmbedTag {
    // Names and values as written (names keep their case; character references
    // in values are decoded as a browser does); a valueless attribute has "".
    std::vector<std::pair<std::string, std::string>> attributes;
    // A block element (paragraph, line break, division...) lies between this
    // embed and the one before it, so it starts a new line of the page.
    bool startsLine = false;

    // The first attribute whose name matches, ignoring ASCII case; null if none.
    const std::string* Find(const std::string& name) const;
};

struct HtmlPage {
    std::vector<EmbedTag> embeds;
};

// Never fails: text that is not well-formed HTML is read as far as it makes sense.
HtmlPage ParseHtmlPage(const std::string& text);

// Decodes &amp;, &lt;, &gt;, &quot;, &apos;, &nbsp; and numeric references; leaves
// anything else as written.
std::string DecodeCharacterReferences(const std::string& text);

}  // namespace vkhost

#endif
