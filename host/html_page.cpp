#include "html_page.h"

#include <cctype>
#include <cstdlib>
#include <set>

namespace vkhost {
namespace {

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v';
}

std::string Lower(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

bool EqualsIgnoringCase(const std::string& a, const std::string& b) {
    return a.size() == b.size() && Lower(a) == Lower(b);
}

// Elements that begin a new line of the page's flow, at their start and end.
bool IsBlockElement(const std::string& name) {
    static const std::set<std::string> blocks = {
        "address", "blockquote", "body", "br", "center", "dd", "div", "dl", "dt", "form",
        "h1", "h2", "h3", "h4", "h5", "h6", "hr", "html", "li", "ol", "p", "pre", "table",
        "td", "th", "tr", "ul"};
    return blocks.count(name) != 0;
}

// Elements whose content is not markup: nothing inside them is a tag.
bool IsRawTextElement(const std::string& name) {
    return name == "script" || name == "style" || name == "title" || name == "textarea" ||
           name == "noembed" || name == "xmp";
}

class TagReader {
public:
    explicit TagReader(const std::string& text) : text(text) {}

    HtmlPage Read() {
        HtmlPage page;
        bool lineBreakPending = false;
        while (true) {
            pos = text.find('<', pos);
            if (pos == std::string::npos) break;
            if (text.compare(pos, 4, "<!--") == 0) {
                SkipPast("-->", pos + 4);
            } else if (At(pos + 1) == '!' || At(pos + 1) == '?') {
                SkipPast(">", pos + 2);
            } else if (At(pos + 1) == '/' && std::isalpha(static_cast<unsigned char>(At(pos + 2)))) {
                pos += 2;
                if (IsBlockElement(ReadTagName())) lineBreakPending = true;
                SkipPast(">", pos);
            } else if (std::isalpha(static_cast<unsigned char>(At(pos + 1)))) {
                pos += 1;
                std::string name = ReadTagName();
                EmbedTag tag;
                tag.attributes = ReadAttributes();
                if (name == "embed") {
                    tag.startsLine = lineBreakPending;
                    lineBreakPending = false;
                    page.embeds.push_back(std::move(tag));
                } else if (IsBlockElement(name)) {
                    lineBreakPending = true;
                } else if (IsRawTextElement(name)) {
                    SkipRawText(name);
                }
            } else {
                pos += 1;  // a lone '<' in text
            }
        }
        return page;
    }

private:
    char At(size_t i) const { return i < text.size() ? text[i] : '\0'; }

    void SkipPast(const char* end, size_t from) {
        size_t found = text.find(end, from);
        pos = found == std::string::npos ? text.size() : found + std::char_traits<char>::length(end);
    }

    std::string ReadTagName() {
        size_t start = pos;
        while (pos < text.size() && !IsSpace(text[pos]) && text[pos] != '>' && text[pos] != '/') ++pos;
        return Lower(text.substr(start, pos - start));
    }

    // Reads attributes up to and past the closing '>' (quoted values may hold '>').
    std::vector<std::pair<std::string, std::string>> ReadAttributes() {
        std::vector<std::pair<std::string, std::string>> attributes;
        while (true) {
            while (pos < text.size() && (IsSpace(text[pos]) || text[pos] == '/')) ++pos;
            if (pos >= text.size()) return attributes;
            if (text[pos] == '>') {
                ++pos;
                return attributes;
            }
            size_t start = pos++;  // a leading '=' belongs to the name
            while (pos < text.size() && !IsSpace(text[pos]) && text[pos] != '/' && text[pos] != '>' &&
                   text[pos] != '=')
                ++pos;
            std::string name = text.substr(start, pos - start);
            size_t afterName = pos;
            while (pos < text.size() && IsSpace(text[pos])) ++pos;
            if (At(pos) != '=') {
                pos = afterName;
                attributes.emplace_back(std::move(name), std::string());
                continue;
            }
            ++pos;
            while (pos < text.size() && IsSpace(text[pos])) ++pos;
            std::string value;
            char quote = At(pos);
            if (quote == '"' || quote == '\'') {
                size_t end = text.find(quote, pos + 1);
                if (end == std::string::npos) end = text.size();
                value = text.substr(pos + 1, end - pos - 1);
                pos = end < text.size() ? end + 1 : end;
            } else {
                size_t valueStart = pos;
                while (pos < text.size() && !IsSpace(text[pos]) && text[pos] != '>') ++pos;
                value = text.substr(valueStart, pos - valueStart);
            }
            attributes.emplace_back(std::move(name), DecodeCharacterReferences(value));
        }
    }

    void SkipRawText(const std::string& name) {
        std::string closing = "</" + name;
        while (pos < text.size()) {
            size_t found = text.find("</", pos);
            if (found == std::string::npos) {
                pos = text.size();
                return;
            }
            if (EqualsIgnoringCase(text.substr(found, closing.size()), closing)) {
                pos = found;
                SkipPast(">", found);
                return;
            }
            pos = found + 2;
        }
    }

    const std::string& text;
    size_t pos = 0;
};

}  // namespace

const std::string* EmbedTag::Find(const std::string& name) const {
    for (const auto& attribute : attributes)
        if (EqualsIgnoringCase(attribute.first, name)) return &attribute.second;
    return nullptr;
}

std::string DecodeCharacterReferences(const std::string& text) {
    static const std::pair<const char*, char> named[] = {
        {"amp", '&'}, {"lt", '<'}, {"gt", '>'}, {"quot", '"'}, {"apos", '\''}, {"nbsp", '\xA0'}};
    std::string out;
    size_t i = 0;
    while (i < text.size()) {
        if (text[i] != '&') {
            out += text[i++];
            continue;
        }
        size_t semicolon = text.find(';', i);
        if (semicolon != std::string::npos && semicolon - i <= 10) {
            std::string body = text.substr(i + 1, semicolon - i - 1);
            bool decoded = false;
            if (body.size() > 1 && body[0] == '#') {
                bool hex = body[1] == 'x' || body[1] == 'X';
                std::string digits = body.substr(hex ? 2 : 1);
                char* end = nullptr;
                long code = digits.empty() ? -1 : std::strtol(digits.c_str(), &end, hex ? 16 : 10);
                // Only codes the page's 8-bit text can hold; others stay as written.
                if (end && *end == '\0' && code > 0 && code < 256) {
                    out += static_cast<char>(code);
                    decoded = true;
                }
            } else {
                for (const auto& entry : named) {
                    if (body == entry.first) {
                        out += entry.second;
                        decoded = true;
                        break;
                    }
                }
            }
            if (decoded) {
                i = semicolon + 1;
                continue;
            }
        }
        out += text[i++];
    }
    return out;
}

HtmlPage ParseHtmlPage(const std::string& text) {
    return TagReader(text).Read();
}

}  // namespace vkhost
