// Where the embeds of a page sit: a simple flow, left to right in lines that
// wrap at the viewport's width, with block elements starting new lines.
#ifndef HOST_PAGE_LAYOUT_H
#define HOST_PAGE_LAYOUT_H

#include <windows.h>

#include <vector>

#include "html_page.h"

namespace vkhost {

// The page's margin and the gap between neighbouring embeds, in pixels.
constexpr int kPageMargin = 8;
constexpr int kEmbedGap = 4;
// Size of an embed whose tag gives none, as for any replaced element.
constexpr int kDefaultEmbedWidth = 300;
constexpr int kDefaultEmbedHeight = 150;

// A "width" or "height" value: pixels ("120", "120px") or a percentage of the
// viewport's extent ("50%"); `fallback` when absent or unreadable.
int EmbedExtent(const std::string* value, int viewportExtent, int fallback);

// One rectangle per embed, in page order, in page pixels.
std::vector<RECT> LayoutEmbeds(const HtmlPage& page, int viewportWidth, int viewportHeight);

}  // namespace vkhost

#endif
