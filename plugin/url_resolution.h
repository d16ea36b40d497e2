// Resolution of the URLs that drawings' scripts name, against the URL of the
// drawing's own stream. A plain text operation: nothing is looked up, and "." and
// ".." segments are kept as written.
#ifndef PLUGIN_URL_RESOLUTION_H
#define PLUGIN_URL_RESOLUTION_H

#include <windows.h>

#include <string>

// One URL text cut into its five components, each carrying its own delimiters, so
// that joining them in order gives back the (stripped) text.
class UrlParts {
public:
    enum Component { Scheme = 0, Authority = 1, Path = 2, Query = 3, Fragment = 4 };
    static const int ComponentCount = 5;

    explicit UrlParts(const std::string& url);
    virtual ~UrlParts() = default;

    // The text of component i; empty when the component is absent.
    std::string Component(int i);
    bool Has(int i);
    // The text as it is split: stripped of surrounding white space.
    const std::string& Text();

private:
    struct Span {
        LONG start;
        LONG length;
    };

    void Split();
    // First byte c at or after from, stepping over double-byte characters whole;
    // -1 when there is none or the first one lies after last.
    LONG Find(char c, LONG from, LONG last) const;

    std::string text;
    DWORD dirty;
    Span parts[ComponentCount];
};

// The reference resolved against the base; an empty base leaves it unchanged.
std::string ResolveURL(const std::string& reference, const std::string& base);

// The directory of basePath (up to and including its last '/') followed by
// relativePath; relativePath alone when basePath has no '/'.
std::string MergePath(const std::string& relativePath, const std::string& basePath);

#endif
