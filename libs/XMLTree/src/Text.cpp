#include "Text.h"

#include <algorithm>
#include <koltutils/UTF8.h>

namespace xmltree::detail {

bool equalsIgnoringASCIICase(std::string_view text, std::string_view lowerCase) noexcept {
    return std::ranges::equal(text, lowerCase, [](char a, char b) {
        return (a >= 'A' && a <= 'Z' ? static_cast<char>(a - 'A' + 'a') : a) == b;
    });
}

std::string_view trimmedWhitespace(std::string_view text) noexcept {
    return koltutils::UTF8::trimmingWhitespace(text);
}

} // namespace xmltree::detail
