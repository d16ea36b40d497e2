#include "url_resolution.h"

#include "ansi_text.h"

UrlParts::UrlParts(const std::string& url) : text(url), dirty(1) {
    for (Span& part : parts) part = {0, 0};
}

std::string UrlParts::Component(int i) {
    if (dirty) Split();
    if (i < 0 || i >= ComponentCount || parts[i].length <= 0) return std::string();
    return text.substr(static_cast<std::size_t>(parts[i].start), static_cast<std::size_t>(parts[i].length));
}

bool UrlParts::Has(int i) {
    if (dirty) Split();
    return i >= 0 && i < ComponentCount && parts[i].length > 0;
}

const std::string& UrlParts::Text() {
    if (dirty) Split();
    return text;
}

namespace {

// A letter followed by letters, digits, '+', '-' and '.': text[start, end) can
// name a scheme.
bool IsSchemeName(const std::string& text, LONG start, LONG end) {
    if (end <= start) return false;
    for (LONG i = start; i < end; ++i) {
        const char c = text[static_cast<std::size_t>(i)];
        const bool letter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
        const bool other = (c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.';
        if (!letter && !(i > start && other)) return false;
    }
    return true;
}

}  // namespace

LONG UrlParts::Find(char c, LONG from, LONG last) const {
    if (from < 0) return -1;
    std::size_t i = static_cast<std::size_t>(from);
    while (i < text.size() && static_cast<LONG>(i) <= last) {
        if (text[i] == c) return static_cast<LONG>(i);
        i += AnsiCharLength(text, i);
    }
    return -1;
}

void UrlParts::Split() {
    text = StripAnsiSpaces(text);
    const LONG length = static_cast<LONG>(text.size());
    LONG start = 0;
    LONG end = length - 1;

    // The fragment goes first: a '#' ends everything else, whatever precedes it.
    LONG p = Find('#', start, end);
    if (p >= start && p <= end) {
        parts[Fragment] = {p, end - p + 1};
        end = p - 1;
    } else {
        parts[Fragment] = {end, 0};
    }

    // The first ':' before the fragment ends a scheme only when what precedes it can
    // be a scheme name; otherwise the colon belongs to a path or a query.
    p = Find(':', start, end);
    if (p >= start && p <= end && IsSchemeName(text, start, p)) {
        parts[Scheme] = {start, p - start + 1};
        start = p + 1;
    } else {
        parts[Scheme] = {start, 0};
    }

    // The authority runs from "//" to the next '/'; a '?' does not end it.
    if (start + 1 < length && start + 1 <= end && text[start] == '/' && text[start + 1] == '/') {
        p = Find('/', start + 2, end);
        if (p < 0) p = end + 1;
        parts[Authority] = {start, p - start};
        start = p;
    } else {
        parts[Authority] = {start, 0};
    }

    p = Find('?', start, end);
    if (p >= start && p <= end) {
        parts[Query] = {p, end - p + 1};
        end = p - 1;
    } else {
        parts[Query] = {end, 0};
    }

    parts[Path] = {start, end - start + 1};
    dirty = 0;
}

std::string MergePath(const std::string& relativePath, const std::string& basePath) {
    // '/' is never the second byte of a double-byte character, so a plain search
    // from the end finds the real separator.
    std::size_t slash = basePath.rfind('/');
    if (slash == std::string::npos) return relativePath;
    return basePath.substr(0, slash + 1) + relativePath;
}

std::string ResolveURL(const std::string& reference, const std::string& base) {
    if (base.empty()) return reference;
    if (reference.empty()) return base;

    UrlParts ref(reference);
    if (ref.Has(UrlParts::Scheme)) return reference;
    UrlParts baseParts(base);

    std::string authority;
    std::string path;
    std::string query;
    if (ref.Has(UrlParts::Authority)) {
        authority = ref.Component(UrlParts::Authority);
        path = ref.Component(UrlParts::Path);
        query = ref.Component(UrlParts::Query);
    } else {
        authority = baseParts.Component(UrlParts::Authority);
        std::string refPath = ref.Component(UrlParts::Path);
        if (refPath.empty()) {
            path = baseParts.Component(UrlParts::Path);
            query = ref.Has(UrlParts::Query) ? ref.Component(UrlParts::Query) : baseParts.Component(UrlParts::Query);
        } else if (refPath[0] == '/') {
            path = refPath;
            query = ref.Component(UrlParts::Query);
        } else {
            // Below a host the empty path stands for its root: the merged path starts there.
            const std::string basePath = baseParts.Component(UrlParts::Path);
            path = basePath.empty() && !authority.empty() ? "/" + refPath : MergePath(refPath, basePath);
            query = ref.Component(UrlParts::Query);
        }
    }
    // Only the reference's fragment counts: the base's names a place in the page
    // the reference leaves.
    return baseParts.Component(UrlParts::Scheme) + authority + path + query + ref.Component(UrlParts::Fragment);
}
