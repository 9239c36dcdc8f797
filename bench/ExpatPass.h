#pragma once

// Shared by the FCPXML benchmarks: the floor that loading is compared with, expat reading the
// same bytes and reporting every element start, attribute and run of text to handlers that
// only count them.

#include <expat.h>
#include <stdexcept>
#include <string>

namespace velotrack::bench {

// The number of elements, attributes and characters seen. Throws std::runtime_error when the
// text is not well-formed.
inline long long expatEventPass(const std::string& xml) {
    struct Counts {
        long long elements = 0;
        long long attributes = 0;
        long long characters = 0;
    } counts;
    XML_Parser parser = XML_ParserCreate(nullptr);
    XML_SetUserData(parser, &counts);
    XML_SetElementHandler(
        parser,
        [](void* data, const XML_Char*, const XML_Char** attributes) {
            auto* seen = static_cast<Counts*>(data);
            ++seen->elements;
            for (; *attributes; attributes += 2) {
                ++seen->attributes;
            }
        },
        [](void*, const XML_Char*) {});
    XML_SetCharacterDataHandler(parser, [](void* data, const XML_Char*, int length) {
        static_cast<Counts*>(data)->characters += length;
    });
    const auto status = XML_Parse(parser, xml.data(), static_cast<int>(xml.size()), XML_TRUE);
    XML_ParserFree(parser);
    if (status == XML_STATUS_ERROR) {
        throw std::runtime_error("the generated project is not well-formed");
    }
    return counts.elements + counts.attributes + counts.characters;
}

} // namespace velotrack::bench
