#include "page_layout.h"

#include <algorithm>
#include <cctype>
#include <string>

namespace vkhost {

int EmbedExtent(const std::string* value, int viewportExtent, int fallback) {
    if (!value) return fallback;
    size_t i = 0;
    while (i < value->size() && std::isspace(static_cast<unsigned char>((*value)[i]))) ++i;
    long number = 0;
    size_t digits = 0;
    while (i < value->size() && std::isdigit(static_cast<unsigned char>((*value)[i])) && number < 100000) {
        number = number * 10 + ((*value)[i] - '0');
        ++i;
        ++digits;
    }
    if (digits == 0) return fallback;
    while (i < value->size() && std::isdigit(static_cast<unsigned char>((*value)[i]))) ++i;  // absurdly long
    if (i < value->size() && (*value)[i] == '%') number = number * viewportExtent / 100;
    return static_cast<int>(std::min<long>(number, 8192));
}

std::vector<RECT> LayoutEmbeds(const HtmlPage& page, int viewportWidth, int viewportHeight) {
    std::vector<RECT> places;
    int x = kPageMargin, y = kPageMargin, lineHeight = 0;
    for (const EmbedTag& tag : page.embeds) {
        int width = EmbedExtent(tag.Find("width"), viewportWidth, kDefaultEmbedWidth);
        int height = EmbedExtent(tag.Find("height"), viewportHeight, kDefaultEmbedHeight);
        bool lineHasEmbeds = x > kPageMargin;
        if (lineHasEmbeds && (tag.startsLine || x + width > viewportWidth - kPageMargin)) {
            x = kPageMargin;
            y += lineHeight + kEmbedGap;
            lineHeight = 0;
        }
        places.push_back(RECT{x, y, x + width, y + height});
        x += width + kEmbedGap;
        lineHeight = std::max(lineHeight, height);
    }
    return places;
}

}  // namespace vkhost
