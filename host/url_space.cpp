#include "url_space.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <system_error>

namespace vkhost {
namespace {

struct UrlParts {
    std::optional<std::string> scheme, authority, query, fragment;
    std::string path;
};

UrlParts Split(const std::string& url) {
    UrlParts parts;
    std::string rest = url;
    size_t hash = rest.find('#');
    if (hash != std::string::npos) {
        parts.fragment = rest.substr(hash + 1);
        rest.erase(hash);
    }
    size_t question = rest.find('?');
    if (question != std::string::npos) {
        parts.query = rest.substr(question + 1);
        rest.erase(question);
    }
    // A scheme is letters, digits, '+', '-', '.' starting with a letter, before the first ':'.
    size_t colon = rest.find(':');
    if (colon != std::string::npos && colon > 0 && std::isalpha(static_cast<unsigned char>(rest[0]))) {
        bool valid = true;
        for (size_t i = 0; i < colon; ++i) {
            unsigned char c = static_cast<unsigned char>(rest[i]);
            if (!std::isalnum(c) && c != '+' && c != '-' && c != '.') valid = false;
        }
        if (valid) {
            std::string scheme = rest.substr(0, colon);
            for (char& c : scheme) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
            parts.scheme = scheme;
            rest.erase(0, colon + 1);
        }
    }
    if (rest.compare(0, 2, "//") == 0) {
        size_t slash = rest.find('/', 2);
        parts.authority = rest.substr(2, slash == std::string::npos ? std::string::npos : slash - 2);
        rest = slash == std::string::npos ? std::string() : rest.substr(slash);
    }
    parts.path = rest;
    return parts;
}

std::string RemoveDotSegments(std::string input) {
    std::string output;
    while (!input.empty()) {
        if (input.compare(0, 3, "../") == 0) {
            input.erase(0, 3);
        } else if (input.compare(0, 2, "./") == 0) {
            input.erase(0, 2);
        } else if (input.compare(0, 3, "/./") == 0) {
            input.erase(0, 2);
        } else if (input == "/.") {
            input = "/";
        } else if (input.compare(0, 4, "/../") == 0 || input == "/..") {
            input = input.size() == 3 ? "/" : input.substr(3);
            size_t last = output.rfind('/');
            output.erase(last == std::string::npos ? 0 : last);
        } else if (input == "." || input == "..") {
            input.clear();
        } else {
            size_t next = input.find('/', input[0] == '/' ? 1 : 0);
            output += input.substr(0, next);
            input = next == std::string::npos ? std::string() : input.substr(next);
        }
    }
    return output;
}

std::string Join(const UrlParts& parts) {
    std::string url;
    if (parts.scheme) url += *parts.scheme + ":";
    if (parts.authority) url += "//" + *parts.authority;
    url += parts.path;
    if (parts.query) url += "?" + *parts.query;
    if (parts.fragment) url += "#" + *parts.fragment;
    return url;
}

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

}  // namespace

std::string ResolveUrl(const std::string& base, const std::string& reference) {
    UrlParts ref = Split(reference);
    UrlParts b = Split(base);
    UrlParts target;
    if (ref.scheme) {
        target = ref;
        target.path = RemoveDotSegments(ref.path);
        return Join(target);
    }
    target.scheme = b.scheme;
    if (ref.authority) {
        target.authority = ref.authority;
        target.path = RemoveDotSegments(ref.path);
        target.query = ref.query;
    } else {
        target.authority = b.authority;
        if (ref.path.empty()) {
            target.path = b.path;
            target.query = ref.query ? ref.query : b.query;
        } else {
            if (ref.path[0] == '/') {
                target.path = RemoveDotSegments(ref.path);
            } else {
                std::string merged;
                if (b.authority && b.path.empty()) {
                    merged = "/" + ref.path;
                } else {
                    size_t last = b.path.rfind('/');
                    merged = (last == std::string::npos ? std::string() : b.path.substr(0, last + 1)) + ref.path;
                }
                target.path = RemoveDotSegments(merged);
            }
            target.query = ref.query;
        }
    }
    target.fragment = ref.fragment;
    return Join(target);
}

std::string NormalizeUrl(const std::string& url) {
    return ResolveUrl(std::string(), url);
}

bool IsAbsoluteUrl(const std::string& url) {
    return Split(url).scheme.has_value();
}

std::string WithoutFragment(const std::string& url) {
    return url.substr(0, url.find('#'));
}

std::string UrlExtension(const std::string& url) {
    std::string path = Split(url).path;
    size_t slash = path.rfind('/');
    std::string segment = slash == std::string::npos ? path : path.substr(slash + 1);
    size_t dot = segment.rfind('.');
    if (dot == std::string::npos) return std::string();
    std::string extension = segment.substr(dot + 1);
    for (char& c : extension) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return extension;
}

bool ReadLocalFile(const std::string& path, std::string& bytes) {
    bytes.clear();
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) return false;
    char chunk[64 * 1024];
    size_t got;
    while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0) bytes.append(chunk, got);
    const bool ok = !std::ferror(file);
    std::fclose(file);
    if (!ok) bytes.clear();
    return ok;
}

SiteFolder::SiteFolder(std::string folderPath, std::string base) : baseUrl(std::move(base)) {
    std::error_code error;
    std::filesystem::path absolute = std::filesystem::absolute(folderPath, error);
    folder = (error ? std::filesystem::path(folderPath) : absolute).lexically_normal().string();
    while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
    if (baseUrl.empty() || baseUrl.back() != '/') baseUrl += '/';
}

std::optional<std::string> SiteFolder::LocalPath(const std::string& url) const {
    std::string bare = url.substr(0, url.find_first_of("?#"));
    if (bare.compare(0, baseUrl.size(), baseUrl) != 0) return std::nullopt;
    std::string escaped = bare.substr(baseUrl.size());
    std::string relative;
    for (size_t i = 0; i < escaped.size(); ++i) {
        if (escaped[i] == '%' && i + 2 < escaped.size() && HexValue(escaped[i + 1]) >= 0 &&
            HexValue(escaped[i + 2]) >= 0) {
            char c = static_cast<char>(HexValue(escaped[i + 1]) * 16 + HexValue(escaped[i + 2]));
            // An escaped separator or NUL would name another file than the URL shows.
            if (c == '/' || c == '\\' || c == '\0') return std::nullopt;
            relative += c;
            i += 2;
        } else {
            relative += escaped[i];
        }
    }
    if (relative.empty() || relative.back() == '/') return std::nullopt;
    std::filesystem::path relativePath(relative);
    for (const auto& segment : relativePath)
        if (segment == ".." || segment == ".") return std::nullopt;
    std::error_code error;
    std::filesystem::path root = std::filesystem::canonical(folder, error);
    if (error) return std::nullopt;
    std::filesystem::path file = std::filesystem::canonical(root / relativePath, error);
    if (error || !std::filesystem::is_regular_file(file, error)) return std::nullopt;
    // A link inside the folder may point outside it.
    auto mismatch = std::mismatch(root.begin(), root.end(), file.begin(), file.end());
    if (mismatch.first != root.end()) return std::nullopt;
    return file.string();
}

std::string SiteFolder::UrlOf(const std::string& relativePath) const {
    return ResolveUrl(baseUrl, relativePath);
}

}  // namespace vkhost
