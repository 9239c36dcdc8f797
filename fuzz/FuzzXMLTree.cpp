// Reads arbitrary bytes into an element tree with the standard options and walks the result.

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <xmltree/XMLDocument.h>
#include <xmltree/XMLError.h>

namespace {

std::size_t visit(const xmltree::XMLElement& element) {
    std::size_t count = 1 + element.name().size() + (element.value() ? element.value()->size() : 0);
    for (const auto& child : element.children()) {
        count += visit(*child);
    }
    return count;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    try {
        const auto document = xmltree::XMLDocument::fromBytes(bytes);
        volatile std::size_t seen = visit(*document);
        (void)seen;
    } catch (const xmltree::XMLError&) {
    }
    try {
        (void)xmltree::XMLDocument::fromText(bytes);
    } catch (const xmltree::XMLError&) {
    }
    return 0;
}
