// Streams the browser sends an instance: drawings (delivered as files) and the
// data of URLs the instance requested for consumers (delivered as bytes).
#ifndef PLUGIN_DRAWING_STREAM_H
#define PLUGIN_DRAWING_STREAM_H

#include <windows.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

struct InstanceData;

// Receives the data of one requested URL.
class UrlConsumer {
public:
    virtual ~UrlConsumer() = default;
    // Takes the next chunk (not terminated); returns false when it wants no more data.
    virtual bool OnData(InstanceData* data, LONG length, const char* bytes) = 0;
    // The stream has ended, whatever the reason; `completed` tells an end of the
    // data from a network error or a user stop.
    virtual void OnEnd(InstanceData* data, bool completed) {
        (void)data;
        (void)completed;
    }
    // True when `other` waits for the same thing with the same use for it, so that
    // one of the two suffices; a consumer that cannot tell says false.
    virtual bool SameRequestAs(const UrlConsumer& other) const {
        (void)other;
        return false;
    }
};

// The consumers waiting for one URL, with the state of its stream.
struct PendingRequest {
    std::vector<std::unique_ptr<UrlConsumer>> consumers;  // in the order they were added
    std::vector<bool> declined;  // per consumer: it wants no more data
    bool started = false;  // data has begun to arrive
    bool stopped = false;  // every consumer declined further data
};

// Requested URLs, keyed by absolute URL text (compared exactly, with case).
class RequestTable {
public:
    virtual ~RequestTable();
    void Add(const std::string& url, UrlConsumer* consumer);  // takes ownership
    int Count(const std::string& url) const;
    UrlConsumer* At(const std::string& url, int i) const;
    bool IsStarted(const std::string& url) const;
    void MarkStarted(const std::string& url);
    // Whether consumer i declined further data; once every consumer has, the URL is stopped.
    bool IsDeclined(const std::string& url, int i) const;
    void MarkDeclined(const std::string& url, int i);
    bool IsStopped(const std::string& url) const;
    void MarkStopped(const std::string& url);
    void Remove(const std::string& url);  // destroys the consumers, last first
    void Clear();

private:
    std::map<std::string, PendingRequest> entries_;
};

// Gives a freshly loaded drawing its page rectangle (the view's client area, doubled
// when antialiased) before its load scripts run. Needs the instance's view.
void LayOutNewDrawing(InstanceData* data);

// Puts the drawing that has just become the instance's `drawing`, loaded from
// `file`, in place, as a new stream and a reset both do: lays it out and records its
// file, then has the view look again at what is under the pointer (so the symbol
// there is entered at once, in the new drawing and with reloads of the new file),
// runs its load scripts and has the view repainted from it.
void PresentNewDrawing(InstanceData* data, const std::string& file);

// The request table of the instance's link; null when the instance has no record
// or its link keeps none, in which case every stream is a drawing.
RequestTable* InstanceRequests(InstanceData* data);

#endif
