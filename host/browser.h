// The browser stand-in: it holds the plug-in module, shows one page at a time
// (an HTML page of embeds, or a drawing as a full page), serves its files,
// delivers streams, follows navigation, and plays the user at mouse and clock.
// Everything it sees from the plug-in goes into its log.
#ifndef HOST_BROWSER_H
#define HOST_BROWSER_H

#include <windows.h>

#include "npapi.h"

#include "host_log.h"
#include "html_page.h"
#include "plugin_module.h"
#include "png_file.h"
#include "url_space.h"

#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

namespace vkhost {

// A failure of a browser action the user asked for (a page that cannot be read,
// an embed that does not exist); the message says what went wrong.
class HostError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// One <embed> of the page, or the full-page drawing. It keeps its place on the
// page even when it has no instance (a type the plug-in does not serve).
struct Embed {
    class Browser* browser = nullptr;
    int serial = 0;             // unique for the browser's life; queued work names it
    NPP_t npp{};                // npp.ndata points back here
    bool live = false;          // the plug-in instance exists
    uint16 mode = NP_EMBED;
    std::string mimeType;       // the served type, empty when not served
    std::string src;            // absolute URL of the drawing, empty when none
    std::string baseUrl;        // its page's or frame's: relative URLs resolve against it
    std::vector<std::pair<std::string, std::string>> attributes;
    RECT place{};               // on the page, in page pixels
    HWND window = nullptr;
    NPWindow npWindow{};
};

struct BrowserSettings {
    int displayBits = 24;
    int viewportWidth = 800;
    int viewportHeight = 600;
};

class Browser {
public:
    explicit Browser(HostLog& log);
    virtual ~Browser();  // closes the page, then shuts the plug-in module down

    Browser(const Browser&) = delete;
    Browser& operator=(const Browser&) = delete;

    // Loads the plug-in module; false with `error` set when it cannot be used.
    bool LoadPlugin(const std::string& path, std::string& error);
    const PluginModule* Plugin() const { return plugin.get(); }

    // The folder served under the base URL (ending in '/').
    void Serve(const std::string& folder, const std::string& baseUrl);
    const SiteFolder& Site() const { return *site; }

    void SetDisplayDepth(int bits);
    // The browser's "Background Color" setting as written, or none.
    void SetBackground(const std::optional<std::string>& text);
    void SetViewport(int width, int height);

    // Opens a page or a drawing (relative to the base URL), replacing the current
    // page. Throws HostError when it is not served or not readable.
    void Open(const std::string& url);
    void MarkFailing(const std::string& url);
    void MarkMissing(const std::string& url);

    // The user's hand, on embed E (counted from 1). Throws HostError for an
    // embed that does not exist or has no window.
    void MovePointer(int embed, int x, int y);
    void Button(int button, bool down);  // W32_BUTTON_LEFT or W32_BUTTON_RIGHT, at the pointer
    void Click();
    void DoubleClick();
    void Wait(DWORD milliseconds);
    void Resize(int embed, int width, int height);
    void Destroy(int embed);

    // The page as the user sees it: viewport-sized, white, every embed's window at its place.
    Picture Screenshot();
    // Embed E printed into a printer context (twice the page's resolution).
    Picture Print(int embed);

    // Called after the plug-in was handed a file (NPP_StreamAsFile returned).
    void OnFileDelivered(std::function<void(const std::string& url)> callback) { fileDelivered = std::move(callback); }

    const std::string& StatusLine() const { return statusLine; }
    const std::string& PageUrl() const { return pageUrl; }
    size_t EmbedCount() const { return embeds.size(); }
    const Embed& EmbedAt(int embed) const;  // E counted from 1; throws HostError

    // Closes the page: every instance destroyed, every window removed.
    void Close() { ClosePage(); }
    // Windows the plug-in left subclassed: after NPP_Destroy, a window whose
    // procedure was not the browser's own again (counted before the window goes).
    int SubclassesLeft() const { return subclassesLeft; }

    // Runs what the plug-in asked for (streams, navigations) and pumps messages
    // until nothing is left to do. Every action above ends with it.
    void Settle();

    // Notes cursor changes and beeps so far; runs before every log line and
    // every window message, so the log keeps the order in which things happened.
    void Observe();

    // The browser services the plug-in calls (geturl, status; the rest inert).
    NPError GetUrl(NPP instance, const char* url, const char* target);
    void Status(NPP instance, const char* message);

    // A page that someone else lays out (a real browser's document): an empty page
    // at `url`, to which embeds are added one by one at their places. The screen is
    // `width` x `height` at first and grows as places further out need it.
    void OpenScriptedPage(const std::string& url, int width, int height);
    // Makes the screen at least `width` x `height`. The window system clears a screen
    // that changes size, so every window paints itself again, as after a change of
    // display on Windows. False, and nothing changed, when the window system refuses
    // that size.
    bool GrowScriptedPage(int width, int height);
    // Adds an embed with the tag's attributes at `place` on the page and starts its
    // instance when the plug-in serves its type. Returns its number E. `baseUrl` is
    // the base URL of the document holding the tag (a frame's), when not the page's.
    int AddEmbed(const std::vector<std::pair<std::string, std::string>>& attributes, const RECT& place,
                 const std::string& baseUrl = std::string());

protected:
    // What differs between the worlds the browser runs in. vkhost serves files from a
    // folder and keeps everything else in its log; a browser page fetches, navigates
    // and shows status and cursor in its document.
    enum class Fetched { Ready, Pending, Missing, Failed };
    // The bytes of an absolute URL and a local file that holds them. Pending means on
    // the way: whoever brings them calls Settle again. Missing: there is no such
    // resource, and no stream starts. Failed: the transfer broke off, and the plug-in
    // gets the stream with its network-error end.
    virtual Fetched Fetch(const std::string& url, std::string& bytes, std::string& localFile);
    // NPN_GetURL with a target: by default a target naming this page replaces it,
    // any other is only logged.
    virtual void OpenTarget(const Embed& embed, const std::string& url, const char* target);
    virtual void StatusShown(const Embed& embed, const std::string& text);
    virtual void CursorShown(const std::string& name);
    virtual void Beeped();

private:
    struct Request {
        int serial;           // embed to stream to; 0 for a navigation
        std::string url;      // absolute, as the stream will name it
    };

    void ClosePage();
    void OpenPage(const std::string& url);
    void BuildEmbedPage(const std::string& url, const std::string& html);
    void BuildFullPage(const std::string& url, const ServedType& type);
    void StartInstance(Embed& embed);
    void DestroyInstance(Embed& embed);
    // Streams `url` to the embed. The stream names the URL as it was asked for,
    // character for character; the file served is that of its normalised form.
    // False while the URL's content is on its way.
    bool DeliverStream(Embed& embed, const std::string& url);
    void Navigate(const std::string& url);
    Embed* EmbedBySerial(int serial);
    Embed* LiveEmbed(NPP instance);
    Embed& LiveEmbed(int embed);      // throws HostError unless it has an instance
    Embed& WindowedEmbed(int embed);  // throws HostError unless it has a window
    std::string MimeTypeOf(const std::string& url) const;
    bool IsPageUrl(const std::string& url) const;
    bool IsMissing(const std::string& url) const;
    void Pump();
    void Log(const std::string& line);
    void Log(const std::string& word, const std::string& text);
    void Log(const std::string& word, const std::string& text1, const std::string& text2);
    std::string CursorName(HCURSOR cursor) const;

    HostLog& log;
    NPNetscapeFuncs browserFuncs{};
    std::unique_ptr<PluginModule> plugin;
    std::unique_ptr<SiteFolder> site;
    BrowserSettings settings;
    HWND pageWindow = nullptr;
    std::string pageUrl;
    std::vector<std::unique_ptr<Embed>> embeds;
    int nextSerial = 1;
    std::deque<Request> requests;
    std::set<std::string> failing, missing;
    std::string statusLine;
    std::string shownCursor = "arrow";
    size_t beepsSeen = 0;
    POINT pointer{0, 0};  // screen point of the pointer
    std::function<void(const std::string&)> fileDelivered;
    int subclassesLeft = 0;
};

}  // namespace vkhost

#endif
