#include "browser.h"

#include "page_layout.h"
#include "win32_control.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <cstring>

namespace vkhost {
namespace {

const char kPageClass[] = "VkHostPage";
const char kPluginClass[] = "VkHostPluginWindow";
const char kSettingsKey[] = "Software\\Netscape\\Netscape Navigator\\Settings";
const COLORREF kWhite = RGB(255, 255, 255);
// The largest screen the window system makes, each way, and so the scripted page's
// window.
const int kScriptedPageSize = 16384;
// A page whose drawings keep asking for URLs (an OnLoad that loads itself in
// place, say) would never settle; the browser gives up after this many.
const int kMaxRequestsPerAction = 10000;
// NPP_WriteReady answering 0 (or NPP_Write taking nothing) this many times in a
// row ends the stream: the plug-in will not take its data.
const int kMaxStalls = 100;

// The one browser the plug-in's calls reach (one window system per process).
Browser* activeBrowser = nullptr;

NPError HostGetUrl(NPP instance, const char* url, const char* window) {
    return activeBrowser ? activeBrowser->GetUrl(instance, url, window) : NPERR_INVALID_INSTANCE_ERROR;
}
void HostStatus(NPP instance, const char* message) {
    if (activeBrowser) activeBrowser->Status(instance, message);
}
// The other services of the generation are present but do nothing useful.
NPError HostPostUrl(NPP, const char*, const char*, uint32, const char*, NPBool) {
    return NPERR_GENERIC_ERROR;
}
NPError HostRequestRead(NPStream*, NPByteRange*) {
    return NPERR_GENERIC_ERROR;
}
NPError HostNewStream(NPP, NPMIMEType, const char*, NPStream**) {
    return NPERR_GENERIC_ERROR;
}
int32 HostWrite(NPP, NPStream*, int32, void*) {
    return -1;
}
NPError HostDestroyStream(NPP, NPStream*, NPReason) {
    return NPERR_GENERIC_ERROR;
}
const char* HostUserAgent(NPP) {
    return "Mozilla/3.0 (vkhost)";
}
void* HostMemAlloc(uint32 size) {
    return std::malloc(size);
}
void HostMemFree(void* pointer) {
    std::free(pointer);
}
uint32 HostMemFlush(uint32) {
    return 0;
}
void HostReloadPlugins(NPBool) {}

void ObserveMessage(HWND, UINT, WPARAM, LPARAM, void* context);

bool EqualsIgnoringCase(const char* a, const char* b) {
    for (; *a && *b; ++a, ++b)
        if (std::tolower(static_cast<unsigned char>(*a)) != std::tolower(static_cast<unsigned char>(*b)))
            return false;
    return *a == *b;
}

// Targets that replace the page the plug-in is on.
bool NamesThisPage(const char* target) {
    for (const char* name : {"_current", "_self", "_top", "_parent"})
        if (EqualsIgnoringCase(target, name)) return true;
    return false;
}

}  // namespace

Browser::Browser(HostLog& hostLog) : log(hostLog) {
    browserFuncs.size = sizeof(NPNetscapeFuncs);
    browserFuncs.version = (NP_VERSION_MAJOR << 8) | NP_VERSION_MINOR;
    browserFuncs.geturl = HostGetUrl;
    browserFuncs.posturl = HostPostUrl;
    browserFuncs.requestread = HostRequestRead;
    browserFuncs.newstream = HostNewStream;
    browserFuncs.write = HostWrite;
    browserFuncs.destroystream = HostDestroyStream;
    browserFuncs.status = HostStatus;
    browserFuncs.uagent = HostUserAgent;
    browserFuncs.memalloc = HostMemAlloc;
    browserFuncs.memfree = HostMemFree;
    browserFuncs.memflush = HostMemFlush;
    browserFuncs.reloadplugins = HostReloadPlugins;

    w32_reset();
    w32_set_display_depth(settings.displayBits);
    HCURSOR arrow = LoadCursorA(nullptr, IDC_ARROW);
    w32_register_class(kPageClass, 0, DefWindowProcA, arrow, TRUE, kWhite);
    w32_register_class(kPluginClass, 0, DefWindowProcA, arrow, TRUE, kWhite);
    w32_set_message_hook(ObserveMessage, this);
    activeBrowser = this;
    site = std::make_unique<SiteFolder>(".", "http://pages.test/");
}

Browser::~Browser() {
    ClosePage();
    plugin.reset();
    w32_set_message_hook(nullptr, nullptr);
    if (activeBrowser == this) activeBrowser = nullptr;
}

namespace {
void ObserveMessage(HWND, UINT, WPARAM, LPARAM, void* context) {
    // Called before every window procedure: changes made while handling the
    // previous message show up here, before anything the next one logs.
    static_cast<Browser*>(context)->Observe();
}
}  // namespace

bool Browser::LoadPlugin(const std::string& path, std::string& error) {
    plugin = PluginModule::Load(path, &browserFuncs, error);
    return plugin != nullptr;
}

void Browser::Serve(const std::string& folder, const std::string& baseUrl) {
    site = std::make_unique<SiteFolder>(folder, baseUrl);
}

void Browser::SetDisplayDepth(int bits) {
    if (!w32_set_display_depth(bits))
        throw HostError("the display cannot show " + std::to_string(bits) + " bits per pixel");
    settings.displayBits = bits;
}

void Browser::SetBackground(const std::optional<std::string>& text) {
    if (text)
        w32_reg_set_string(HKEY_CURRENT_USER, kSettingsKey, "Background Color", text->c_str());
    else
        w32_reg_delete_key(HKEY_CURRENT_USER, kSettingsKey);
}

void Browser::SetViewport(int width, int height) {
    settings.viewportWidth = width;
    settings.viewportHeight = height;
}

void Browser::MarkFailing(const std::string& url) {
    failing.insert(WithoutFragment(ResolveUrl(site->BaseUrl(), url)));
}

void Browser::MarkMissing(const std::string& url) {
    missing.insert(WithoutFragment(ResolveUrl(site->BaseUrl(), url)));
}

bool Browser::IsMissing(const std::string& url) const {
    return missing.count(WithoutFragment(url)) != 0 || !site->LocalPath(url);
}

bool Browser::IsPageUrl(const std::string& url) const {
    std::string extension = UrlExtension(url);
    return extension == "html" || extension == "htm";
}

std::string Browser::MimeTypeOf(const std::string& url) const {
    std::string extension = UrlExtension(url);
    if (plugin)
        if (const ServedType* type = plugin->TypeForExtension(extension)) return type->mimeType;
    if (extension == "html" || extension == "htm") return "text/html";
    if (extension == "txt") return "text/plain";
    return "application/octet-stream";
}

void Browser::Open(const std::string& url) {
    std::string absolute = ResolveUrl(site->BaseUrl(), url);
    if (IsMissing(absolute))
        throw HostError("cannot open " + absolute + ": no such file is served");
    if (!IsPageUrl(absolute) && !(plugin && plugin->TypeForExtension(UrlExtension(absolute))))
        throw HostError("cannot open " + absolute + ": neither a page nor a drawing the plug-in serves");
    OpenPage(absolute);
    Settle();
}

void Browser::OpenPage(const std::string& url) {
    ClosePage();
    std::string html;
    if (IsPageUrl(url)) {
        if (!ReadLocalFile(*site->LocalPath(url), html)) throw HostError("cannot read the page " + url);
    }
    pageUrl = url;
    w32_set_screen_size(settings.viewportWidth, settings.viewportHeight);
    pageWindow = w32_create_window(kPageClass, nullptr, 0, 0, settings.viewportWidth, settings.viewportHeight);
    if (IsPageUrl(url))
        BuildEmbedPage(url, html);
    else
        BuildFullPage(url, *plugin->TypeForExtension(UrlExtension(url)));
}

void Browser::BuildEmbedPage(const std::string& url, const std::string& html) {
    HtmlPage page = ParseHtmlPage(html);
    std::vector<RECT> places = LayoutEmbeds(page, settings.viewportWidth, settings.viewportHeight);
    for (size_t i = 0; i < page.embeds.size(); ++i) {
        const EmbedTag& tag = page.embeds[i];
        auto embed = std::make_unique<Embed>();
        embed->browser = this;
        embed->serial = nextSerial++;
        embed->mode = NP_EMBED;
        embed->attributes = tag.attributes;
        embed->place = places[i];
        const std::string* src = tag.Find("src");
        embed->baseUrl = url;
        if (src && !src->empty()) embed->src = ResolveUrl(url, *src);
        const ServedType* type = nullptr;
        if (plugin) {
            const std::string* typeName = tag.Find("type");
            type = typeName ? plugin->TypeForMime(*typeName) : plugin->TypeForExtension(UrlExtension(embed->src));
        }
        if (type) embed->mimeType = type->mimeType;
        embeds.push_back(std::move(embed));
    }
    for (auto& embed : embeds)
        if (!embed->mimeType.empty()) StartInstance(*embed);
}

void Browser::BuildFullPage(const std::string& url, const ServedType& type) {
    auto embed = std::make_unique<Embed>();
    embed->browser = this;
    embed->serial = nextSerial++;
    embed->mode = NP_FULL;
    embed->mimeType = type.mimeType;
    embed->src = url;
    embed->baseUrl = url;
    embed->place = RECT{0, 0, settings.viewportWidth, settings.viewportHeight};
    embeds.push_back(std::move(embed));
    StartInstance(*embeds.back());
}

void Browser::StartInstance(Embed& embed) {
    int width = embed.place.right - embed.place.left;
    int height = embed.place.bottom - embed.place.top;
    embed.window = w32_create_window(kPluginClass, pageWindow, embed.place.left, embed.place.top, width, height);
    embed.npp.ndata = &embed;

    std::vector<std::string> names, values;
    for (const auto& attribute : embed.attributes) {
        names.push_back(attribute.first);
        values.push_back(attribute.second);
    }
    std::vector<char*> argn, argv;
    for (size_t i = 0; i < names.size(); ++i) {
        argn.push_back(names[i].data());
        argv.push_back(values[i].data());
    }
    std::string mimeType = embed.mimeType;
    int16 argc = static_cast<int16>(std::min<size_t>(names.size(), 0x7FFF));
    embed.live = true;  // the plug-in may call the browser from inside NPP_New
    NPError result = plugin->Funcs().newp(mimeType.data(), &embed.npp, embed.mode, argc,
                                          argc ? argn.data() : nullptr, argc ? argv.data() : nullptr, nullptr);
    if (result != NPERR_NO_ERROR) {
        embed.live = false;
        w32_destroy_window(embed.window);
        embed.window = nullptr;
        return;
    }
    embed.npWindow.window = embed.window;
    embed.npWindow.x = embed.place.left;
    embed.npWindow.y = embed.place.top;
    embed.npWindow.width = static_cast<uint32>(width);
    embed.npWindow.height = static_cast<uint32>(height);
    embed.npWindow.clipRect = NPRect{static_cast<uint16>(embed.place.top), static_cast<uint16>(embed.place.left),
                                     static_cast<uint16>(embed.place.bottom), static_cast<uint16>(embed.place.right)};
    plugin->Funcs().setwindow(&embed.npp, &embed.npWindow);
    if (!embed.src.empty()) requests.push_back(Request{embed.serial, embed.src});
}

void Browser::DestroyInstance(Embed& embed) {
    if (embed.live) {
        NPSavedData* saved = nullptr;
        plugin->Funcs().destroy(&embed.npp, &saved);
        if (saved) {
            std::free(saved->buf);
            std::free(saved);
        }
        embed.live = false;
        if (embed.window && reinterpret_cast<WNDPROC>(GetWindowLongPtrA(embed.window, GWLP_WNDPROC)) != DefWindowProcA)
            ++subclassesLeft;
    }
    if (embed.window) {
        w32_destroy_window(embed.window);
        embed.window = nullptr;
    }
}

void Browser::ClosePage() {
    for (auto& embed : embeds) DestroyInstance(*embed);
    embeds.clear();
    requests.clear();
    if (pageWindow) {
        w32_destroy_window(pageWindow);
        pageWindow = nullptr;
    }
    pageUrl.clear();
}

Embed* Browser::EmbedBySerial(int serial) {
    for (auto& embed : embeds)
        if (embed->serial == serial) return embed.get();
    return nullptr;
}

Embed* Browser::LiveEmbed(NPP instance) {
    for (auto& embed : embeds)
        if (&embed->npp == instance && embed->live) return embed.get();
    return nullptr;
}

const Embed& Browser::EmbedAt(int embed) const {
    if (embed < 1 || static_cast<size_t>(embed) > embeds.size())
        throw HostError("no embed " + std::to_string(embed) + ": the page has " + std::to_string(embeds.size()));
    return *embeds[embed - 1];
}

Embed& Browser::LiveEmbed(int embed) {
    EmbedAt(embed);  // throws for a number the page does not have
    Embed& found = *embeds[embed - 1];
    if (!found.live) throw HostError("embed " + std::to_string(embed) + " has no plug-in instance");
    return found;
}

Embed& Browser::WindowedEmbed(int embed) {
    EmbedAt(embed);
    Embed& found = *embeds[embed - 1];
    if (!found.window) throw HostError("embed " + std::to_string(embed) + " has no plug-in window");
    return found;
}

NPError Browser::GetUrl(NPP instance, const char* url, const char* target) {
    Embed* embed = LiveEmbed(instance);
    if (!embed) return NPERR_INVALID_INSTANCE_ERROR;
    if (!url) return NPERR_INVALID_URL;
    Log("geturl", url, target ? target : "(null)");
    // Like any browser, deliver later: nothing re-enters the plug-in from here.
    // An absolute URL streams back as it was given (the plug-in finds its
    // requests by the exact text); a relative one resolves against the base URL of
    // the document holding the embed.
    std::string absolute = IsAbsoluteUrl(url) ? std::string(url) : ResolveUrl(embed->baseUrl, url);
    if (!target)
        requests.push_back(Request{embed->serial, absolute});
    else
        OpenTarget(*embed, absolute, target);
    return NPERR_NO_ERROR;
}

void Browser::OpenTarget(const Embed&, const std::string& url, const char* target) {
    if (NamesThisPage(target)) requests.push_back(Request{0, url});
}

void Browser::Status(NPP instance, const char* message) {
    Embed* embed = LiveEmbed(instance);
    if (!embed) return;
    statusLine = message ? message : "";
    Log("status", statusLine);
    StatusShown(*embed, statusLine);
}

void Browser::StatusShown(const Embed&, const std::string&) {}
void Browser::CursorShown(const std::string&) {}
void Browser::Beeped() {}

Browser::Fetched Browser::Fetch(const std::string& url, std::string& bytes, std::string& localFile) {
    if (IsMissing(url)) return Fetched::Missing;
    localFile = *site->LocalPath(url);
    return ReadLocalFile(localFile, bytes) ? Fetched::Ready : Fetched::Missing;
}

void Browser::OpenScriptedPage(const std::string& url, int width, int height) {
    ClosePage();
    pageUrl = url;
    settings.viewportWidth = width;
    settings.viewportHeight = height;
    w32_set_screen_size(width, height);
    // The page window is as large as any screen will be, so that growing the screen
    // never has to move or resize windows.
    pageWindow = w32_create_window(kPageClass, nullptr, 0, 0, kScriptedPageSize, kScriptedPageSize);
}

bool Browser::GrowScriptedPage(int width, int height) {
    width = std::max(width, settings.viewportWidth);
    height = std::max(height, settings.viewportHeight);
    if (width == settings.viewportWidth && height == settings.viewportHeight) return true;
    if (width > kScriptedPageSize || height > kScriptedPageSize || !w32_set_screen_size(width, height)) return false;
    settings.viewportWidth = width;
    settings.viewportHeight = height;
    InvalidateRect(nullptr, nullptr, TRUE);
    Settle();
    return true;
}

int Browser::AddEmbed(const std::vector<std::pair<std::string, std::string>>& attributes, const RECT& place,
                      const std::string& baseUrl) {
    EmbedTag tag;
    tag.attributes = attributes;
    auto embed = std::make_unique<Embed>();
    embed->browser = this;
    embed->serial = nextSerial++;
    embed->mode = NP_EMBED;
    embed->attributes = attributes;
    embed->place = place;
    embed->baseUrl = baseUrl.empty() ? pageUrl : baseUrl;
    const std::string* src = tag.Find("src");
    if (src && !src->empty()) embed->src = ResolveUrl(embed->baseUrl, *src);
    if (plugin) {
        const std::string* typeName = tag.Find("type");
        const ServedType* type =
            typeName ? plugin->TypeForMime(*typeName) : plugin->TypeForExtension(UrlExtension(embed->src));
        if (type) embed->mimeType = type->mimeType;
    }
    embeds.push_back(std::move(embed));
    if (!embeds.back()->mimeType.empty()) StartInstance(*embeds.back());
    return static_cast<int>(embeds.size());
}

void Browser::Navigate(const std::string& requested) {
    // Only what the browser can show replaces the page; anything else was just logged.
    std::string url = NormalizeUrl(requested);
    if (IsMissing(url)) return;
    if (!IsPageUrl(url) && !(plugin && plugin->TypeForExtension(UrlExtension(url)))) return;
    ClosePage();
    Log("navigate", url);
    OpenPage(url);
}

bool Browser::DeliverStream(Embed& embed, const std::string& url) {
    std::string fetched = NormalizeUrl(url);
    if (missing.count(WithoutFragment(fetched))) return true;
    std::string bytes, path;
    Fetched found = Fetch(fetched, bytes, path);
    if (found == Fetched::Pending) return false;
    if (found == Fetched::Missing) return true;
    if (found == Fetched::Failed) bytes.clear(), path.clear();
    std::string mimeType = MimeTypeOf(fetched);
    const NPPluginFuncs& funcs = plugin->Funcs();

    NPStream stream{};
    stream.ndata = &embed;
    stream.url = url.c_str();
    stream.end = static_cast<uint32>(bytes.size());
    uint16 type = NP_NORMAL;
    if (funcs.newstream(&embed.npp, mimeType.data(), &stream, false, &type) != NPERR_NO_ERROR) return true;

    bool failingUrl = found == Fetched::Failed || failing.count(WithoutFragment(fetched)) != 0;
    NPReason reason = NPRES_DONE;
    if (type == NP_ASFILE || type == NP_ASFILEONLY) {
        Log("stream", url, "file");
        if (failingUrl)
            reason = NPRES_NETWORK_ERR;
        else if (funcs.asfile) {
            funcs.asfile(&embed.npp, &stream, path.c_str());
            if (fileDelivered) fileDelivered(url);
        }
    } else {
        Log("stream", url, "normal");
        int32 offset = 0;
        int32 size = static_cast<int32>(std::min<size_t>(bytes.size(), 0x7FFFFFFF));
        int stalls = 0;
        while (offset < size && reason == NPRES_DONE) {
            int32 ready = funcs.writeready ? funcs.writeready(&embed.npp, &stream) : size - offset;
            int32 chunk = std::min(ready, size - offset);
            int32 taken = chunk > 0 && funcs.write
                              ? funcs.write(&embed.npp, &stream, offset, chunk, bytes.data() + offset)
                              : 0;
            if (taken < 0 || !funcs.write) {
                reason = NPRES_USER_BREAK;  // the plug-in refused the stream
            } else if (taken == 0) {
                if (++stalls >= kMaxStalls) reason = NPRES_USER_BREAK;
            } else {
                stalls = 0;
                offset += std::min(taken, chunk);
                if (failingUrl) reason = NPRES_NETWORK_ERR;  // cut off after its first chunk
            }
        }
        if (failingUrl) reason = NPRES_NETWORK_ERR;
    }
    Log("streamend", url,
        reason == NPRES_DONE ? "done" : reason == NPRES_NETWORK_ERR ? "network-error" : "user-break");
    funcs.destroystream(&embed.npp, &stream, reason);
    return true;
}

void Browser::Pump() {
    if (w32_pump() < 0) throw HostError("a plug-in window never stops asking to be painted");
    Observe();
}

void Browser::Settle() {
    Pump();
    int handled = 0;
    while (!requests.empty()) {
        if (++handled > kMaxRequestsPerAction) {
            requests.clear();
            throw HostError("the page keeps asking for URLs; gave up after " +
                            std::to_string(kMaxRequestsPerAction));
        }
        Request request = requests.front();
        requests.pop_front();
        if (request.serial == 0) {
            Navigate(request.url);
        } else if (Embed* embed = EmbedBySerial(request.serial); embed && embed->live) {
            if (!DeliverStream(*embed, request.url)) {
                requests.push_front(request);  // streams keep their order: wait for this one
                return;
            }
        }
        Pump();
    }
}

void Browser::MovePointer(int embed, int x, int y) {
    POINT point{x, y};
    ClientToScreen(WindowedEmbed(embed).window, &point);
    pointer = point;
    w32_mouse_move(point.x, point.y);
    Settle();
}

void Browser::Button(int button, bool down) {
    w32_mouse_button(button, down ? TRUE : FALSE, pointer.x, pointer.y);
    Settle();
}

void Browser::Click() {
    Button(W32_BUTTON_LEFT, true);
    Button(W32_BUTTON_LEFT, false);
}

void Browser::DoubleClick() {
    // No time passes between the clicks: well within the double-click time.
    Click();
    Click();
}

void Browser::Wait(DWORD milliseconds) {
    w32_advance_clock(milliseconds);
    Settle();
}

void Browser::Resize(int index, int width, int height) {
    Embed& embed = WindowedEmbed(index);
    embed.place.right = embed.place.left + width;
    embed.place.bottom = embed.place.top + height;
    w32_resize_window(embed.window, width, height);
    if (embed.live) {
        embed.npWindow.width = static_cast<uint32>(width);
        embed.npWindow.height = static_cast<uint32>(height);
        embed.npWindow.clipRect.bottom = static_cast<uint16>(embed.place.bottom);
        embed.npWindow.clipRect.right = static_cast<uint16>(embed.place.right);
        plugin->Funcs().setwindow(&embed.npp, &embed.npWindow);
    }
    Settle();
}

void Browser::Destroy(int index) {
    DestroyInstance(LiveEmbed(index));
    Settle();
}

Picture Browser::Screenshot() {
    Settle();
    Picture page(settings.viewportWidth, settings.viewportHeight, kWhite);
    for (const auto& embed : embeds) {
        if (!embed->window) continue;
        RECT client{};
        GetClientRect(embed->window, &client);
        if (IsRectEmpty(&client)) continue;
        Picture shown(client.right, client.bottom, kWhite);
        w32_read_window_pixels(embed->window, &client, shown.pixels.data());
        page.Paste(shown, embed->place.left, embed->place.top);
    }
    return page;
}

Picture Browser::Print(int index) {
    Embed& embed = LiveEmbed(index);
    // The printer has twice the screen's resolution: page units map to two device pixels.
    int width = settings.viewportWidth, height = settings.viewportHeight;
    HDC printer = w32_create_printer_dc(width * 2, height * 2, SIZE{width, height}, SIZE{width * 2, height * 2});
    if (!printer) throw HostError("cannot make a printer device context");
    NPPrint print{};
    bool printed = false;
    if (embed.mode == NP_FULL) {
        print.mode = NP_FULL;
        print.print.fullPrint.pluginPrinted = true;
        print.print.fullPrint.printOne = false;
        print.print.fullPrint.platformPrint = printer;
        if (plugin->Funcs().print) plugin->Funcs().print(&embed.npp, &print);
        printed = print.print.fullPrint.pluginPrinted;
    }
    if (!printed && plugin->Funcs().print) {
        // A full page the plug-in left to the browser prints as an embed filling the page.
        print = NPPrint{};
        print.mode = NP_EMBED;
        print.print.embedPrint.window = embed.npWindow;
        print.print.embedPrint.window.window = nullptr;
        print.print.embedPrint.platformPrint = printer;
        plugin->Funcs().print(&embed.npp, &print);
    }
    Picture page(width * 2, height * 2, kWhite);
    for (int y = 0; y < page.height; ++y)
        for (int x = 0; x < page.width; ++x) page.pixels[static_cast<size_t>(y) * page.width + x] = w32_dc_pixel(printer, x, y);
    DeleteDC(printer);
    Settle();
    return page;
}

void Browser::Observe() {
    std::string cursor = CursorName(w32_shown_cursor());
    if (cursor != shownCursor) {
        shownCursor = cursor;
        log.Add("cursor " + cursor);
        CursorShown(cursor);
    }
    for (size_t count = w32_beep_count(); beepsSeen < count; ++beepsSeen) {
        log.Add("beep");
        Beeped();
    }
}

std::string Browser::CursorName(HCURSOR cursor) const {
    if (!cursor) return "arrow";  // nothing set yet: the desktop's arrow
    W32CursorInfo info = w32_cursor_info(cursor);
    if (!info.valid) return "arrow";
    if (info.isSystem) return info.resourceId == 32512 ? "arrow" : "system-" + std::to_string(info.resourceId);
    return info.resourceId == 129 ? "hand" : "resource-" + std::to_string(info.resourceId);
}

void Browser::Log(const std::string& line) {
    Observe();
    log.Add(line);
}

void Browser::Log(const std::string& word, const std::string& text) {
    Observe();
    log.Add(word, text);
}

void Browser::Log(const std::string& word, const std::string& text1, const std::string& text2) {
    Observe();
    log.Add(word, text1, text2);
}

}  // namespace vkhost
