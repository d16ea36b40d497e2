// The browser half for a real page: vkhost's browser, with the page's document as its
// world. The page script finds the embeds and lays them out; this side runs the
// plug-in on them. Files come through the page's fetch, status, cursor, beeps and
// navigation go back to the page script, which the calls below are made from.
#include <emscripten/emscripten.h>

#include "browser.h"
#include "win32_control.h"

#include <algorithm>
#include <bit>
#include <cstdio>
#include <map>
#include <memory>
#include <optional>

namespace {

// Calls into the page script (web/src/brightfen.js).
EM_JS(void, PageFetch, (const char* url), { Module.vkPage.fetch(UTF8ToString(url)); });
EM_JS(void, PageOpen, (int embed, const char* url, const char* target), {
    Module.vkPage.open(embed, UTF8ToString(url), UTF8ToString(target));
});
EM_JS(void, PageStatus, (int embed, const char* text), { Module.vkPage.status(embed, UTF8ToString(text)); });
EM_JS(void, PageCursor, (const char* name), { Module.vkPage.cursor(UTF8ToString(name)); });
EM_JS(void, PageBeep, (), { Module.vkPage.beep(); });

class PageBrowser : public vkhost::Browser {
public:
    explicit PageBrowser(vkhost::HostLog& log) : Browser(log) {}

    // The page script brought a URL's content (written to `localFile`), or could not:
    // the server had nothing for it, or the transfer `brokeOff`.
    void Arrived(const std::string& url, const char* localFile, bool brokeOff) {
        fetches[url] = Arrival{localFile ? std::string(localFile) : std::string(), brokeOff};
    }

protected:
    Fetched Fetch(const std::string& url, std::string& bytes, std::string& localFile) override {
        auto found = fetches.find(url);
        if (found == fetches.end()) {
            // The page answers at once (vk_record_arrival) when it has the content
            // already: a drawing's file it fetched as soon as it saw the element.
            fetches[url] = std::nullopt;
            PageFetch(url.c_str());
            found = fetches.find(url);
        }
        if (!found->second) return Fetched::Pending;
        const Arrival arrival = *found->second;
        fetches.erase(found);  // the next request for it fetches again, as a browser without a cache
        if (arrival.brokeOff) return Fetched::Failed;
        localFile = arrival.localFile;
        if (localFile.empty() || !vkhost::ReadLocalFile(localFile, bytes)) return Fetched::Missing;
        return Fetched::Ready;
    }
    void OpenTarget(const vkhost::Embed& embed, const std::string& url, const char* target) override {
        PageOpen(IndexOf(embed), url.c_str(), target);
    }
    void StatusShown(const vkhost::Embed& embed, const std::string& text) override {
        PageStatus(IndexOf(embed), text.c_str());
    }
    void CursorShown(const std::string& name) override { PageCursor(name.c_str()); }
    void Beeped() override { PageBeep(); }

private:
    int IndexOf(const vkhost::Embed& embed) const {
        for (size_t i = 1; i <= EmbedCount(); ++i)
            if (&EmbedAt(int(i)) == &embed) return int(i);
        return 0;
    }

    struct Arrival {
        std::string localFile;  // empty when nothing came
        bool brokeOff = false;
    };
    std::map<std::string, std::optional<Arrival>> fetches;  // nullopt while on the way
};

vkhost::HostLog pageLog;
std::unique_ptr<PageBrowser> browser;
// The pixels vk_pixels last handed out, turned into RGBA in place: a COLORREF is
// 0x00BBGGRR, which WebAssembly (always little-endian) stores as the bytes R, G, B, 0,
// so setting the top byte makes it an opaque RGBA pixel.
static_assert(std::endian::native == std::endian::little);
std::unique_ptr<COLORREF[]> shown;
size_t shownCapacity = 0;
int shownArea[4] = {0, 0, 0, 0};
RECT changes{0, 0, 0, 0};  // screen area changed since the page last copied

// A browser call must never throw into the page: report and carry on.
// The pointer off every drawing, on the bare page: the page's far corner, which the
// page script keeps free of drawings.
int pageWidth = 0, pageHeight = 0;
void PointerOff() {
    w32_mouse_move(pageWidth - 1, pageHeight - 1);
}

template <typename Call>
int Guarded(const char* what, Call call) {
    try {
        return call();
    } catch (const std::exception& e) {
        std::fprintf(stderr, "brightfen: %s: %s\n", what, e.what());
    } catch (...) {
        std::fprintf(stderr, "brightfen: %s failed\n", what);
    }
    return 0;
}

}  // namespace

extern "C" {

// Starts the browser on a page of the given size with the plug-in linked into this
// program; `background` is the page's colour as the browser setting reads it, or null.
EMSCRIPTEN_KEEPALIVE int vk_start(const char* pageUrl, int width, int height, const char* background) {
    return Guarded("start", [&] {
        browser = std::make_unique<PageBrowser>(pageLog);
        pageWidth = width;
        pageHeight = height;
        browser->SetDisplayDepth(32);
        if (background) browser->SetBackground(std::string(background));
        std::string error;
        if (!browser->LoadPlugin("npvknt", error)) {
            std::fprintf(stderr, "brightfen: %s\n", error.c_str());
            browser.reset();
            return 0;
        }
        browser->OpenScriptedPage(pageUrl, width, height);
        PointerOff();
        return 1;
    });
}

// Makes the plug-in's screen at least `width` x `height`, for embeds placed further
// out. Returns 0 when the screen cannot be that large.
EMSCRIPTEN_KEEPALIVE int vk_grow(int width, int height) {
    return Guarded("grow", [&] {
        if (!browser || !browser->GrowScriptedPage(width, height)) return 0;
        pageWidth = std::max(pageWidth, width);
        pageHeight = std::max(pageHeight, height);
        return 1;
    });
}

// An embed at (x, y) with the tag's attributes, as NUL-separated names and values, in a
// document (the page or a frame) whose base URL is `baseUrl`. Returns its number (0
// when it cannot be made); it has an instance when vk_live says so.
EMSCRIPTEN_KEEPALIVE int vk_embed(int x, int y, int width, int height, const char* attributes, int count,
                                  const char* baseUrl) {
    return Guarded("embed", [&] {
        if (!browser) return 0;
        std::vector<std::pair<std::string, std::string>> list;
        const char* at = attributes;
        for (int i = 0; i < count; ++i) {
            std::string name = at;
            at += name.size() + 1;
            std::string value = at;
            at += value.size() + 1;
            list.emplace_back(name, value);
        }
        int embed = browser->AddEmbed(list, RECT{x, y, x + width, y + height}, baseUrl ? baseUrl : "");
        browser->Settle();
        return embed;
    });
}

EMSCRIPTEN_KEEPALIVE int vk_live(int embed) {
    return Guarded("live", [&] { return browser && browser->EmbedAt(embed).live ? 1 : 0; });
}

EMSCRIPTEN_KEEPALIVE void vk_destroy(int embed) {
    Guarded("destroy", [&] {
        if (browser && browser->EmbedAt(embed).window) browser->Destroy(embed);
        return 0;
    });
}

// The content of a URL the page script fetched, in the in-memory file `localFile`;
// null when the server had nothing for it or, with `brokeOff`, when the transfer failed.
// Delivered to the plug-in before this returns.
EMSCRIPTEN_KEEPALIVE void vk_arrived(const char* url, const char* localFile, int brokeOff) {
    Guarded("stream", [&] {
        if (!browser) return 0;
        browser->Arrived(url, localFile, brokeOff != 0);
        browser->Settle();
        return 0;
    });
}

// The same, given while the page answers the browser's request for the URL: recorded
// only, for that request to deliver.
EMSCRIPTEN_KEEPALIVE void vk_record_arrival(const char* url, const char* localFile, int brokeOff) {
    Guarded("stream", [&] {
        if (browser) browser->Arrived(url, localFile, brokeOff != 0);
        return 0;
    });
}

EMSCRIPTEN_KEEPALIVE void vk_pointer(int embed, int x, int y) {
    Guarded("pointer", [&] {
        if (browser) browser->MovePointer(embed, x, y);
        return 0;
    });
}

// The pointer left the drawings for the rest of the page.
EMSCRIPTEN_KEEPALIVE void vk_pointer_off() {
    Guarded("pointer", [&] {
        if (!browser) return 0;
        PointerOff();
        browser->Settle();
        return 0;
    });
}

EMSCRIPTEN_KEEPALIVE void vk_button(int right, int down) {
    Guarded("button", [&] {
        if (browser) browser->Button(right ? W32_BUTTON_RIGHT : W32_BUTTON_LEFT, down != 0);
        return 0;
    });
}

EMSCRIPTEN_KEEPALIVE void vk_wait(int milliseconds) {
    Guarded("timers", [&] {
        if (browser) browser->Wait(DWORD(milliseconds));
        return 0;
    });
}

// What the screen changed since the last call; vk_pixels copies only that much.
EMSCRIPTEN_KEEPALIVE void vk_take_changes() {
    w32_take_screen_changes(&changes);
}

// The part of the embed's window that changed (all of it when `whole`), as RGBA bytes
// valid until the next call, or null when none changed. vk_area tells which part.
EMSCRIPTEN_KEEPALIVE const uint8_t* vk_pixels(int embed, int whole) {
    const uint8_t* result = nullptr;
    Guarded("pixels", [&] {
        if (!browser) return 0;
        const vkhost::Embed& found = browser->EmbedAt(embed);
        if (!found.window) return 0;
        RECT client{0, 0, found.place.right - found.place.left, found.place.bottom - found.place.top};
        RECT area = client;
        if (!whole) {
            POINT origin{0, 0};
            ClientToScreen(found.window, &origin);
            RECT changed = changes;
            OffsetRect(&changed, -origin.x, -origin.y);
            if (!IntersectRect(&area, &client, &changed)) return 0;
        }
        int width = area.right - area.left, height = area.bottom - area.top;
        const size_t count = size_t(width) * size_t(height);
        if (count > shownCapacity) {
            shown.reset(new COLORREF[count]);
            shownCapacity = count;
        }
        COLORREF* pixels = shown.get();
        if (!w32_read_window_pixels(found.window, &area, pixels)) return 0;
        for (size_t i = 0; i < count; ++i) pixels[i] |= 0xFF000000u;
        shownArea[0] = area.left;
        shownArea[1] = area.top;
        shownArea[2] = width;
        shownArea[3] = height;
        result = reinterpret_cast<const uint8_t*>(pixels);
        return 0;
    });
    return result;
}

// Where the pixels vk_pixels last handed out belong: x, y, width, height in the window.
EMSCRIPTEN_KEEPALIVE const int* vk_area() {
    return shownArea;
}

}  // extern "C"
