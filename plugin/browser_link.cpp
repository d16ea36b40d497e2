#include "browser_link.h"

#include <typeinfo>

#include "ansi_text.h"
#include "plugin_entry.h"
#include "url_resolution.h"

NpBrowserLink::NpBrowserLink(NPP instance) : instance(instance) {}

NpBrowserLink::~NpBrowserLink() {
    baseURL.clear();
    // Consumers still waiting are dropped without being told the stream ended.
    requests.Clear();
}

void NpBrowserLink::GotoURL(const char* url, const char* target) {
    if (url == nullptr) return;
    std::string absolute = ResolveURL(url, baseURL);
    NPN_GetURL(instance, absolute.c_str(), target != nullptr ? target : "_current");
}

void NpBrowserLink::LoadInPlace(const char* url) {
    if (url == nullptr) return;
    std::string absolute = ResolveURL(url, baseURL);
    // A null target sends the URL back to this instance as a new stream; with no
    // consumer waiting for it, it arrives as the new drawing.
    NPN_GetURL(instance, absolute.c_str(), nullptr);
}

void NpBrowserLink::ShowStatus(const char* text) {
    if (text == nullptr) return;
    NPN_Status(instance, text);
}

void NpBrowserLink::RequestURL(const char* url, UrlConsumer* consumer) {
    if (url == nullptr || consumer == nullptr) {
        delete consumer;
        return;
    }
    std::string absolute = ResolveURL(url, baseURL);
    if (requests.IsStarted(absolute)) {
        // Data already arriving takes no new consumers: this one would see only
        // the rest of the stream.
        delete consumer;
        return;
    }
    // A URL that never opens would otherwise gather one more waiting consumer at
    // each firing of the same script: an identical request waits only once.
    for (int i = 0; i < requests.Count(absolute); ++i) {
        UrlConsumer* waiting = requests.At(absolute, i);
        if (waiting != nullptr && waiting->SameRequestAs(*consumer)) {
            delete consumer;
            return;
        }
    }
    requests.Add(absolute, consumer);
    if (requests.Count(absolute) == 1) NPN_GetURL(instance, absolute.c_str(), nullptr);
}

bool LineConsumer::OnData(InstanceData* data, LONG length, const char* bytes) {
    if (length <= 0 || bytes == nullptr) return true;
    LONG i = 0;
    // The second byte of a two-byte line break may open the next chunk.
    if (breakEndedChunk) {
        breakEndedChunk = false;
        if (bytes[0] == '\r' || bytes[0] == '\n') i = 1;
    }
    while (i < length) {
        LONG start = i;
        while (i < length && bytes[i] != '\0' && bytes[i] != '\n' && bytes[i] != '\r') ++i;
        // A line without a break may be any length; keep only its head.
        if (pending.size() < MaxLineLength) {
            std::size_t room = MaxLineLength - pending.size();
            std::size_t count = static_cast<std::size_t>(i - start);
            pending.append(bytes + start, count < room ? count : room);
        }
        if (i == length) return true;

        std::string line;
        line.swap(pending);
        bool more = OnLine(data, line);
        if (bytes[i] == '\0' || !more) return false;

        ++i;
        if (i == length) {
            breakEndedChunk = true;
            return true;
        }
        // A second break byte right after the first makes a two-byte line break.
        if (bytes[i] == '\r' || bytes[i] == '\n') ++i;
    }
    return true;
}

void LineConsumer::OnEnd(InstanceData* data, bool completed) {
    std::string line;
    line.swap(pending);
    if (!completed || line.empty()) return;
    OnLine(data, line);
}

namespace {

// The name of a "name: value" line against the key: ASCII letters without regard
// to case, double-byte characters as whole characters folded by the code page.
bool SameKeyName(const std::string& name, const std::string& key) {
    std::size_t i = 0;
    std::size_t j = 0;
    while (i < name.size() && j < key.size()) {
        std::size_t a = AnsiCharLength(name, i);
        std::size_t b = AnsiCharLength(key, j);
        if (a != b) return false;
        if (a == 1) {
            char x = name[i];
            char y = key[j];
            if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
            if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
            if (x != y) return false;
        } else if (LowerCasedAnsi(name.substr(i, 2)) != LowerCasedAnsi(key.substr(j, 2))) {
            return false;
        }
        i += a;
        j += b;
    }
    return i == name.size() && j == key.size();
}

}  // namespace

KeyValueConsumer::KeyValueConsumer(ValueCallback callback, DWORD userValue, const std::string& key)
    : callback(callback), userValue(userValue), key(StripAnsiSpaces(key)) {}

bool KeyValueConsumer::OnLine(InstanceData* data, const std::string& line) {
    std::size_t colon = FindAnsiChar(line, ':');
    if (colon == std::string::npos) return true;
    if (!SameKeyName(StripAnsiSpaces(line.substr(0, colon)), key)) return true;
    std::string value = StripAnsiSpaces(line.substr(colon + 1));
    if (callback != nullptr) callback(data, userValue, value);
    // The first matching line wins; the rest of the text is not wanted.
    return false;
}

bool KeyValueConsumer::SameRequestAs(const UrlConsumer& other) const {
    // Only a consumer of the very same kind can stand in for this one.
    if (typeid(other) != typeid(*this)) return false;
    const KeyValueConsumer& same = static_cast<const KeyValueConsumer&>(other);
    return same.callback == callback && same.userValue == userValue && SameKeyName(same.key, key);
}
