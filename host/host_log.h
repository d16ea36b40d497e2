// The browser's log: one line per thing it saw, in the order it happened. Texts
// the plug-in passed appear as they were, with control characters escaped so
// that every entry stays on one line.
#ifndef HOST_HOST_LOG_H
#define HOST_HOST_LOG_H

#include <ostream>
#include <string>
#include <vector>

namespace vkhost {

// \n, \r, \t and \\ for those characters, \xHH (two lower-case hex digits) for
// other bytes below 0x20 and for 0x7F. Other bytes, 8-bit ones included, stay.
std::string EscapeLogText(const std::string& text);

class HostLog {
public:
    virtual ~HostLog() = default;

    // Adds a line made of words the browser chose and, optionally, texts to escape.
    void Add(const std::string& line);
    void Add(const std::string& word, const std::string& text);
    void Add(const std::string& word, const std::string& text1, const std::string& text2);

    const std::vector<std::string>& Lines() const { return lines; }
    void WriteTo(std::ostream& out) const;

private:
    std::vector<std::string> lines;
};

}  // namespace vkhost

#endif
