#include "xmltree/XMLError.h"

#include <string>
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
    : code_(code), reason_(std::move(reason)), problem_(reason_),
      message_(messageFor(code_, reason_)) {}

XMLError::XMLError(Code code, std::string problem, Position position)
    : code_(code), reason_(problem + " at line " + std::to_string(position.line) + ", column " +
                           std::to_string(position.column)),
      problem_(std::move(problem)), position_(position), message_(messageFor(code_, reason_)) {}

} // namespace xmltree
