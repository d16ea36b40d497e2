// URLs as the browser sees them: resolving a reference against a page, and the
// folder of files served under a base URL.
#ifndef HOST_URL_SPACE_H
#define HOST_URL_SPACE_H

#include <optional>
#include <string>

namespace vkhost {

// Resolves a reference against an absolute base URL as browsers do (RFC 3986,
// section 5.2, dot segments removed). An absolute reference comes back with
// its dot segments removed.
std::string ResolveUrl(const std::string& base, const std::string& reference);

// An absolute URL with its dot segments removed ("a/./b/../c" -> "a/c").
std::string NormalizeUrl(const std::string& url);

// Whether the text starts with a scheme ("http:", "mailto:").
bool IsAbsoluteUrl(const std::string& url);

// The URL without its "#fragment".
std::string WithoutFragment(const std::string& url);

// The lower-cased extension of the URL's last path segment ("vkf"), or "".
std::string UrlExtension(const std::string& url);

// Reads a whole local file into `bytes`; false (and `bytes` empty) when it cannot
// be read. Plain stdio rather than streams: the browser build stays small without
// the stream library's locales.
bool ReadLocalFile(const std::string& path, std::string& bytes);

// A folder whose files are served under a base URL ending in '/'.
class SiteFolder {
public:
    SiteFolder(std::string folder, std::string baseUrl);
    virtual ~SiteFolder() = default;

    const std::string& BaseUrl() const { return baseUrl; }
    const std::string& Folder() const { return folder; }

    // The local file an absolute URL names, when it lies inside the folder and is
    // a regular file; query and fragment are ignored, %XX escapes decoded. A URL
    // that would leave the folder (through "..", an escaped slash or a link) has none.
    std::optional<std::string> LocalPath(const std::string& url) const;

    // The URL of a file given by its path relative to the folder.
    std::string UrlOf(const std::string& relativePath) const;

private:
    std::string folder;   // absolute, without a trailing '/'
    std::string baseUrl;  // ends with '/'
};

}  // namespace vkhost

#endif
