#include "kvninterchange/KVNURLScheme.h"

#include <algorithm>
#include <cctype>

namespace kvninterchange {

bool hasScheme(const koltutils::URL& url, KVNURLScheme scheme) {
    auto text = url.scheme();
    if (!text) {
        return false;
    }
    std::transform(text->begin(), text->end(), text->begin(), [](unsigned char character) {
        return static_cast<char>(std::tolower(character));
    });
    return *text == koltutils::rawValue(scheme);
}

} // namespace kvninterchange
