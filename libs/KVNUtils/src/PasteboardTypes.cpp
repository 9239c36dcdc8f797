#include "kvnutils/PasteboardTypes.h"

#include <platform/Pasteboard.h>

namespace kvnutils {

const std::vector<std::string>& PasteboardTypes::fcpxmlTypes() {
    static const std::vector<std::string> types{
        std::string(fcpxml), "com.apple.finalcutpro.xml.v1-9", "com.apple.finalcutpro.xml"};
    return types;
}

const std::vector<std::string>& PasteboardTypes::stringDropTypes() {
    static const std::vector<std::string> types{std::string(platform::Pasteboard::stringType),
                                                std::string(platform::Pasteboard::fileURLType),
                                                std::string(filenames)};
    return types;
}

const std::vector<std::string>& PasteboardTypes::fileDropTypes() {
    static const std::vector<std::string> types{std::string(platform::Pasteboard::fileURLType),
                                                std::string(filenames),
                                                std::string(platform::Pasteboard::urlType)};
    return types;
}

} // namespace kvnutils
