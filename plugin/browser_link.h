// An instance's way back to the browser: following links, loading a drawing in
// place, the status line, and fetching a URL's data for consumers.
#ifndef PLUGIN_BROWSER_LINK_H
#define PLUGIN_BROWSER_LINK_H

#include <windows.h>

#include <cstddef>
#include <string>

#include "drawing_stream.h"
#include "npapi.h"

struct InstanceData;

class BrowserLink {
public:
    virtual ~BrowserLink() = default;
    // Shows the resolved URL in the named window or frame; null target means "_current".
    virtual void GotoURL(const char* url, const char* target) = 0;
    // Has the resolved URL streamed back to this instance as its new drawing.
    virtual void LoadInPlace(const char* url) = 0;
    virtual void ShowStatus(const char* text) = 0;
    // The consumer (owned from now on) receives the resolved URL's data.
    virtual void RequestURL(const char* url, UrlConsumer* consumer) = 0;
};

class NpBrowserLink : public BrowserLink {
public:
    explicit NpBrowserLink(NPP instance);
    ~NpBrowserLink() override;
    void GotoURL(const char* url, const char* target) override;
    void LoadInPlace(const char* url) override;
    void ShowStatus(const char* text) override;
    void RequestURL(const char* url, UrlConsumer* consumer) override;

    NPP instance;
    RequestTable requests;
    std::string baseURL;  // URL of the current drawing stream; empty until one arrives
};

// Cuts a stream into lines.
class LineConsumer : public UrlConsumer {
public:
    bool OnData(InstanceData* data, LONG length, const char* bytes) override;
    // The unfinished last line counts as a line only when the data ended as sent:
    // a stream cut off mid-line would hand on the head of a line.
    void OnEnd(InstanceData* data, bool completed) override;
    // Returns true to continue with the next line, false to stop.
    virtual bool OnLine(InstanceData* data, const std::string& line) = 0;

    // A line longer than this keeps only its first bytes: a text without line
    // breaks must not make the consumer hold the whole stream.
    static const std::size_t MaxLineLength = 64 * 1024;

protected:
    std::string pending;  // start of a line whose end has not arrived yet

private:
    bool breakEndedChunk = false;  // the last chunk ended right after one line-break byte
};

typedef void (*ValueCallback)(InstanceData* data, DWORD userValue, const std::string& value);

// Finds the first "name: value" line whose name is the key, and hands its value on.
class KeyValueConsumer : public LineConsumer {
public:
    KeyValueConsumer(ValueCallback callback, DWORD userValue, const std::string& key);
    bool OnLine(InstanceData* data, const std::string& line) override;
    // The same callback on the same user value, for the same key.
    bool SameRequestAs(const UrlConsumer& other) const override;

private:
    ValueCallback callback;
    DWORD userValue;
    std::string key;
};

#endif
