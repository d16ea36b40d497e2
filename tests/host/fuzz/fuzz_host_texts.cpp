// libFuzzer target for the browser's own readers: the first byte picks the
// reader, the rest is its text. Pages and scenarios come from users' files, URLs
// from pages and from the plug-in; none may crash, hang or escape the site.
#include <cstddef>
#include <cstdint>
#include <string>

#include "html_page.h"
#include "page_layout.h"
#include "scenario.h"
#include "url_space.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    std::string text(reinterpret_cast<const char*>(data) + 1, size - 1);
    switch (data[0] % 3) {
        case 0: {
            vkhost::HtmlPage page = vkhost::ParseHtmlPage(text);
            std::vector<RECT> places = vkhost::LayoutEmbeds(page, 800, 600);
            if (places.size() != page.embeds.size()) __builtin_trap();
            for (const RECT& place : places)
                if (place.right < place.left || place.bottom < place.top) __builtin_trap();
            break;
        }
        case 1:
            try {
                vkhost::ParseScenario(text, "fuzz.scn");
            } catch (const vkhost::ScenarioError&) {
            }
            break;
        default: {
            size_t split = text.find('\n');
            std::string base = text.substr(0, split);
            std::string reference = split == std::string::npos ? std::string() : text.substr(split + 1);
            // Against a normalised base (what pages have), every result is normalised too.
            std::string resolved = vkhost::ResolveUrl(vkhost::NormalizeUrl(base), reference);
            if (vkhost::IsAbsoluteUrl(base) && vkhost::NormalizeUrl(resolved) != resolved) __builtin_trap();
            // Nothing outside the served folder is ever served.
            vkhost::SiteFolder site("/nonexistent-vkhost-site", "http://pages.test/");
            if (site.LocalPath(resolved)) __builtin_trap();
            break;
        }
    }
    return 0;
}
