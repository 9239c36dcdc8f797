#include "xmltree/XMLError.h"

#include <utility>

namespace xmltree {

namespace {

std::string messageFor(XMLError::Code code, const std::string& reason) {
    std::string message(XMLError::name(code));
    if (!reason.empty()) {
        message += ": ";
        message += reason;
    }
    return message;
}

} // namespace

XMLError::XMLError(Code code, std::string reason)
    : code_(code), reason_(std::move(reason)), message_(messageFor(code_, reason_)) {}

} // namespace xmltree
