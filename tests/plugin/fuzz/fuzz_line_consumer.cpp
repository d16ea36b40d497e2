// Feeds arbitrary text to the line consumers in arbitrary chunks. Input: one byte
// giving the chunk size, then the text. However the text is cut into chunks, the
// same lines come out, each without line-break bytes and within the length limit.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "browser_link.h"

namespace {

void Check(bool condition) {
    if (!condition) std::abort();
}

class RecordingLines : public LineConsumer {
public:
    bool OnLine(InstanceData*, const std::string& line) override {
        lines.push_back(line);
        // Some lines stop the data, as a matching "name: value" line does.
        return line != "stop";
    }
    std::vector<std::string> lines;
};

template <typename Consumer>
void Feed(Consumer& consumer, const std::string& text, std::size_t chunk) {
    for (std::size_t at = 0; at < text.size(); at += chunk) {
        const std::size_t length = text.size() - at < chunk ? text.size() - at : chunk;
        if (!consumer.OnData(nullptr, static_cast<LONG>(length), text.data() + at)) break;
    }
    consumer.OnEnd(nullptr, true);
}

int valuesFound = 0;
void CountValue(InstanceData*, DWORD, const std::string&) { ++valuesFound; }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    const std::size_t chunk = data[0] == 0 ? 1 : data[0];
    const std::string text(reinterpret_cast<const char*>(data + 1), size - 1);

    RecordingLines whole;
    Feed(whole, text, text.size() + 1);
    RecordingLines chunked;
    Feed(chunked, text, chunk);
    Check(whole.lines == chunked.lines);
    for (const std::string& line : whole.lines) {
        Check(line.size() <= LineConsumer::MaxLineLength);
        Check(line.find_first_of(std::string("\r\n\0", 3)) == std::string::npos);
    }

    valuesFound = 0;
    KeyValueConsumer values(CountValue, 0, "key");
    Feed(values, text, chunk);
    Check(valuesFound <= 1);
    return 0;
}
