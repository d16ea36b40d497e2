// Splits and resolves arbitrary URL texts. Input: one byte choosing the code page,
// then the reference and the base separated by the first byte 0.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "url_resolution.h"
#include "win32_control.h"

namespace {

void Check(bool condition) {
    if (!condition) std::abort();
}

void CheckSplit(const std::string& url) {
    UrlParts parts(url);
    std::string joined;
    for (int i = 0; i < UrlParts::ComponentCount; ++i) {
        const std::string component = parts.Component(i);
        Check(parts.Has(i) == !component.empty());
        joined += component;
    }
    // The components, joined in order, give back the stripped text.
    Check(joined == parts.Text());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    w32_set_code_page((data[0] & 1) != 0 ? 932 : 1252);
    const std::string rest(reinterpret_cast<const char*>(data + 1), size - 1);
    const std::size_t split = rest.find('\0');
    const std::string reference = rest.substr(0, split);
    const std::string base = split == std::string::npos ? std::string() : rest.substr(split + 1);

    CheckSplit(reference);
    CheckSplit(base);
    const std::string resolved = ResolveURL(reference, base);
    if (base.empty()) Check(resolved == reference);
    MergePath(reference, base);
    return 0;
}
