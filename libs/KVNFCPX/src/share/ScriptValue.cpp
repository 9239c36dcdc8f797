#include "kvnfcpx/share/ScriptValue.h"

#include <cctype>
#include <cstdio>
#include <koltutils/Describe.h>
#include <koltutils/URL.h>

namespace kvnfcpx {

std::string FileURL::absoluteString() const {
    return koltutils::URL::fileURL(path).absoluteString();
}

namespace {

bool textBoolValue(const std::string& text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t' || text[i] == '\n')) {
        ++i;
    }
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        ++i;
    }
    while (i < text.size() && text[i] == '0') {
        ++i;
    }
    if (i == text.size()) {
        return false;
    }
    const char first = text[i];
    return first == 'Y' || first == 'y' || first == 'T' || first == 't' ||
           (first >= '1' && first <= '9');
}

} // namespace

bool ScriptValue::boolValue() const {
    if (const auto* flag = boolean()) {
        return *flag;
    }
    if (const auto* number = integer()) {
        return *number != 0;
    }
    if (const auto* number = real()) {
        return *number != 0.0;
    }
    if (const auto* string = text()) {
        return textBoolValue(*string);
    }
    return false;
}

std::string ScriptValue::description() const {
    if (const auto* string = text()) {
        return *string;
    }
    if (const auto* flag = boolean()) {
        return *flag ? "1" : "0";
    }
    if (const auto* number = integer()) {
        return std::to_string(*number);
    }
    if (const auto* number = real()) {
        return koltutils::describe(*number);
    }
    if (const auto* url = fileURL()) {
        return url->absoluteString();
    }
    if (const auto* bytes = data()) {
        std::string out = "<";
        char hex[3];
        for (const auto byte : *bytes) {
            std::snprintf(hex, sizeof hex, "%02x", byte);
            out += hex;
        }
        return out + ">";
    }
    if (const auto* items = list()) {
        std::string out = "(";
        for (std::size_t i = 0; i < items->size(); ++i) {
            out += (i == 0 ? "" : ", ") + (*items)[i].description();
        }
        return out + ")";
    }
    std::string out = "{";
    for (const auto& [key, value] : *dictionary()) {
        out += key + " = " + value.description() + "; ";
    }
    if (out.size() > 1) {
        out.pop_back();
    }
    return out + "}";
}

} // namespace kvnfcpx
