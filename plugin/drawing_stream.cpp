#include "drawing_stream.h"

#include "browser_link.h"
#include "event_scripts.h"
#include "npapi.h"
#include "plugin_instance.h"
#include "render_cache.h"
#include "view_window.h"

RequestTable::~RequestTable() { Clear(); }

void RequestTable::Add(const std::string& url, UrlConsumer* consumer) {
    std::unique_ptr<UrlConsumer> owned(consumer);
    PendingRequest& entry = entries_[url];
    entry.consumers.push_back(std::move(owned));
    entry.declined.push_back(false);
}

int RequestTable::Count(const std::string& url) const {
    auto entry = entries_.find(url);
    return entry == entries_.end() ? 0 : static_cast<int>(entry->second.consumers.size());
}

UrlConsumer* RequestTable::At(const std::string& url, int i) const {
    auto entry = entries_.find(url);
    if (entry == entries_.end() || i < 0 || i >= static_cast<int>(entry->second.consumers.size())) return nullptr;
    return entry->second.consumers[static_cast<std::size_t>(i)].get();
}

bool RequestTable::IsStarted(const std::string& url) const {
    auto entry = entries_.find(url);
    return entry != entries_.end() && entry->second.started;
}

void RequestTable::MarkStarted(const std::string& url) {
    auto entry = entries_.find(url);
    if (entry != entries_.end()) entry->second.started = true;
}

bool RequestTable::IsDeclined(const std::string& url, int i) const {
    auto entry = entries_.find(url);
    if (entry == entries_.end() || i < 0 || i >= static_cast<int>(entry->second.declined.size())) return false;
    return entry->second.declined[static_cast<std::size_t>(i)];
}

void RequestTable::MarkDeclined(const std::string& url, int i) {
    auto entry = entries_.find(url);
    if (entry == entries_.end() || i < 0 || i >= static_cast<int>(entry->second.declined.size())) return;
    std::vector<bool>& declined = entry->second.declined;
    declined[static_cast<std::size_t>(i)] = true;
    for (bool each : declined) {
        if (!each) return;
    }
    entry->second.stopped = true;
}

bool RequestTable::IsStopped(const std::string& url) const {
    auto entry = entries_.find(url);
    return entry != entries_.end() && entry->second.stopped;
}

void RequestTable::MarkStopped(const std::string& url) {
    auto entry = entries_.find(url);
    if (entry != entries_.end()) entry->second.stopped = true;
}

void RequestTable::Remove(const std::string& url) {
    auto entry = entries_.find(url);
    if (entry == entries_.end()) return;
    // The entry leaves the table before any consumer is destroyed, so nothing a
    // destructor does can reach a half-removed entry.
    PendingRequest request = std::move(entry->second);
    entries_.erase(entry);
    while (!request.consumers.empty()) request.consumers.pop_back();
}

void RequestTable::Clear() {
    while (!entries_.empty()) Remove(entries_.begin()->first);
}

RequestTable* InstanceRequests(InstanceData* data) {
    if (data == nullptr) return nullptr;
    NpBrowserLink* link = dynamic_cast<NpBrowserLink*>(data->link.get());
    return link != nullptr ? &link->requests : nullptr;
}

namespace {

// The stream's URL as the key of the request table; streams without one match nothing.
std::string StreamKey(const NPStream* stream) {
    return stream != nullptr && stream->url != nullptr ? std::string(stream->url) : std::string();
}

}  // namespace

// The engine's page rectangle for the load pass: the client area, doubled when the
// later renders are antialiased, so symbol bounds and hit tests use their scale.
void LayOutNewDrawing(InstanceData* data) {
    HWND window = data->view->Window();
    const bool hidden = data->HasAttribute("hiddenbounds");
    bool antialias = !data->HasAttribute("noantialias");

    HDC dc = GetDC(window);
    if (GetDeviceCaps(dc, BITSPIXEL) <= 8) antialias = false;
    ReleaseDC(window, dc);

    RECT rect = {0, 0, 0, 0};
    GetClientRect(window, &rect);
    if (antialias) {
        rect.right *= 2;
        rect.bottom *= 2;
    }
    DWORD flags = CVL_DRAW_FIT | CVL_DRAW_PAPER;
    if (hidden) flags |= CVL_DRAW_HIDDEN_BOUNDS;

    dc = GetDC(window);
    DrawPage(data->drawing, dc, &rect, nullptr, CVL_ALL_LAYERS, CVL_MODE_LAYOUT, flags, CVL_ZOOM_FIT);
    ReleaseDC(window, dc);
}

void PresentNewDrawing(InstanceData* data, const std::string& file) {
    const unsigned generation = data->drawingGeneration;
    if (data->view && data->view->Window() != nullptr) LayOutNewDrawing(data);
    data->drawingFile = file;
    if (data->view) data->view->ResetHover();
    // An enter script that replaced the drawing again has put that one in place.
    if (data->drawingGeneration != generation) return;
    RunLoadScripts(data);
    RebuildRenderCache(data);
}

NPError NPP_NewStream(NPP instance, NPMIMEType type, NPStream* stream, NPBool seekable, uint16* stype) {
    (void)type;
    (void)seekable;
    if (instance == nullptr) return NPERR_INVALID_INSTANCE_ERROR;
    if (stream == nullptr || stype == nullptr) return NPERR_INVALID_PARAM;
    InstanceData* data = InstanceFromNPP(instance);
    stream->pdata = data;
    // Only a URL requested for consumers, character for character, comes as data;
    // every other stream is a drawing and comes as a file.
    RequestTable* requests = InstanceRequests(data);
    *stype = requests != nullptr && requests->Count(StreamKey(stream)) >= 1 ? NP_NORMAL : NP_ASFILE;
    return NPERR_NO_ERROR;
}

int32 NPP_WriteReady(NPP instance, NPStream* stream) {
    (void)instance;
    (void)stream;
    return 1024;
}

int32 NPP_Write(NPP instance, NPStream* stream, int32 offset, int32 len, void* buffer) {
    (void)offset;
    OuterEvent event;
    InstanceData* data = InstanceFromNPP(instance);
    RequestTable* requests = InstanceRequests(data);
    if (requests == nullptr || len <= 0 || buffer == nullptr) return len;

    const std::string key = StreamKey(stream);
    // Consumers that have all finished leave the rest of the stream to be dropped,
    // so that the browser does not stall it.
    if (requests->IsStopped(key)) return len;
    requests->MarkStarted(key);
    const int count = requests->Count(key);
    for (int i = 0; i < count; ++i) {
        UrlConsumer* consumer = requests->At(key, i);
        // A consumer that found what it wanted declines for itself alone: the others
        // of the URL may still wait for lines further on.
        if (consumer == nullptr || requests->IsDeclined(key, i)) continue;
        if (!consumer->OnData(data, len, static_cast<const char*>(buffer))) requests->MarkDeclined(key, i);
    }
    return len;
}

NPError NPP_DestroyStream(NPP instance, NPStream* stream, NPReason reason) {
    OuterEvent event;
    InstanceData* data = InstanceFromNPP(instance);
    RequestTable* requests = InstanceRequests(data);
    if (requests == nullptr) return NPERR_NO_ERROR;

    const std::string key = StreamKey(stream);
    // Every end counts, completed or cut off, and reaches consumers that had
    // declined further data too; only a completed one vouches for the data's tail.
    const bool completed = reason == NPRES_DONE;
    const int count = requests->Count(key);
    for (int i = 0; i < count; ++i) {
        UrlConsumer* consumer = requests->At(key, i);
        if (consumer != nullptr) consumer->OnEnd(data, completed);
    }
    requests->Remove(key);
    return NPERR_NO_ERROR;
}

void NPP_StreamAsFile(NPP instance, NPStream* stream, const char* fname) {
    OuterEvent event;
    InstanceData* data = InstanceFromNPP(instance);
    // A drawing needs a window to be laid out on; one that comes earlier is ignored.
    if (data == nullptr || data->view == nullptr || fname == nullptr || stream == nullptr) return;

    // The new file is tried first: one the engine refuses (a broken download, an
    // error page a browser delivers in its place) leaves the shown drawing, its
    // scripts, links and effects, and the URL its links resolve against as they are.
    const CVLDRAWING loaded = LoadDrawing(fname);
    if (loaded == 0) return;

    // Stops this instance's effects while their symbols still exist, then frees the
    // old drawing and marks its symbol handles stale.
    FreeInstanceDrawing(data);
    FreeRenderedImages(data);
    data->drawing = loaded;
    data->backgroundBrush.reset(CreateSolidBrush(BrowserBackgroundColor()));
    NpBrowserLink* link = dynamic_cast<NpBrowserLink*>(data->link.get());
    if (link != nullptr) link->baseURL = StreamKey(stream);
    PresentNewDrawing(data, fname);
}
