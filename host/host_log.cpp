#include "host_log.h"

namespace vkhost {

std::string EscapeLogText(const std::string& text) {
    static const char hex[] = "0123456789abcdef";
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        unsigned char byte = static_cast<unsigned char>(c);
        switch (c) {
            case '\n': out += "\\n"; break;
            case '\r': out += "\\r"; break;
            case '\t': out += "\\t"; break;
            case '\\': out += "\\\\"; break;
            default:
                if (byte < 0x20 || byte == 0x7F) {
                    out += "\\x";
                    out += hex[byte >> 4];
                    out += hex[byte & 0xF];
                } else {
                    out += c;
                }
        }
    }
    return out;
}

void HostLog::Add(const std::string& line) {
    lines.push_back(line);
}

void HostLog::Add(const std::string& word, const std::string& text) {
    lines.push_back(word + " " + EscapeLogText(text));
}

void HostLog::Add(const std::string& word, const std::string& text1, const std::string& text2) {
    lines.push_back(word + " " + EscapeLogText(text1) + " " + EscapeLogText(text2));
}

void HostLog::WriteTo(std::ostream& out) const {
    for (const auto& line : lines) out << line << '\n';
}

}  // namespace vkhost
