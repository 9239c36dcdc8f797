#include "kvnfcpx/share/ObjectAddress.h"

namespace kvnfcpx {

namespace {

std::string busElement(const std::string& text) {
    std::string element = text;
    for (auto& character : element) {
        const bool allowed = (character >= 'A' && character <= 'Z') ||
                             (character >= 'a' && character <= 'z') ||
                             (character >= '0' && character <= '9') || character == '_';
        if (!allowed) {
            character = '_';
        }
    }
    return element.empty() ? "_" : element;
}

} // namespace

std::string ObjectAddress::description() const {
    std::string text = key + " id \"" + uniqueID + "\"";
    if (containerSpecifier) {
        text += " of " + containerSpecifier->description();
    }
    return text;
}

std::string ObjectAddress::busPath() const {
    const std::string prefix =
        containerSpecifier ? containerSpecifier->busPath() : scriptingRootPath;
    return prefix + "/" + busElement(key) + "/" + busElement(uniqueID);
}

bool ObjectAddress::operator==(const ObjectAddress& other) const {
    const bool sameContainer = containerSpecifier == other.containerSpecifier ||
                               (containerSpecifier && other.containerSpecifier &&
                                *containerSpecifier == *other.containerSpecifier);
    return sameContainer && containerClassDescription == other.containerClassDescription &&
           key == other.key && uniqueID == other.uniqueID;
}

} // namespace kvnfcpx
