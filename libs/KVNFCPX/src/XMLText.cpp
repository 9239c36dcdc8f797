#include "XMLText.h"

#include <string_view>
#include <utility>
#include <vector>

namespace kvnfcpx::detail {

namespace {

void appendEscaped(std::string& text, std::string_view raw) {
    for (const char c : raw) {
        switch (c) {
        case '&':
            text += "&amp;";
            break;
        case '<':
            text += "&lt;";
            break;
        case '>':
            text += "&gt;";
            break;
        case '"':
            text += "&quot;";
            break;
        default:
            text += c;
        }
    }
}

void appendStartTag(std::string& text, const xmltree::XMLElement& element) {
    text += '<';
    text += element.name();
    for (const auto& [name, value] : element.attributes()) {
        text += ' ';
        text += name;
        text += "=\"";
        appendEscaped(text, value);
        text += '"';
    }
}

} // namespace

std::string XMLText::description() const {
    // An explicit stack: documents nest deeper than the call stack should.
    struct Pending {
        const xmltree::XMLElement* element;
        std::size_t nextChild;
    };
    std::string text;
    std::vector<Pending> stack;
    const auto open = [&](const xmltree::XMLElement& opened) {
        appendStartTag(text, opened);
        if (!opened.value() && opened.children().empty()) {
            text += "/>";
            return;
        }
        text += '>';
        if (opened.value()) {
            appendEscaped(text, *opened.value());
        }
        stack.push_back({&opened, 0});
    };

    open(element);
    while (!stack.empty()) {
        Pending& top = stack.back();
        if (top.nextChild < top.element->children().size()) {
            const auto& child = top.element->children()[top.nextChild++];
            open(*child);
            continue;
        }
        text += "</";
        text += top.element->name();
        text += '>';
        stack.pop_back();
    }
    return text;
}

} // namespace kvnfcpx::detail
