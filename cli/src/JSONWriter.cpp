#include "JSONWriter.h"

#include <nlohmann/json.hpp>

namespace velotrack::cli {

namespace {

constexpr std::size_t blockSize = 1 << 16;

} // namespace

JSONWriter::JSONWriter(std::ostream& out) : out_(out) {
    buffer_.reserve(blockSize + 4096);
}

JSONWriter::~JSONWriter() {
    flush();
}

void JSONWriter::flush() {
    out_.write(buffer_.data(), static_cast<std::streamsize>(buffer_.size()));
    buffer_.clear();
}

void JSONWriter::reserveRoom() {
    if (buffer_.size() >= blockSize) {
        flush();
    }
}

void JSONWriter::newLine(std::size_t depth) {
    buffer_ += '\n';
    buffer_.append(2 * depth, ' ');
}

// A value either follows its key, or is the next member of an array (or the whole document).
void JSONWriter::beforeValue() {
    reserveRoom();
    if (afterKey_) {
        afterKey_ = false;
        return;
    }
    if (hasMembers_.empty()) {
        return;
    }
    if (hasMembers_.back()) {
        buffer_ += ',';
    }
    hasMembers_.back() = true;
    newLine(hasMembers_.size());
}

void JSONWriter::key(std::string_view name) {
    beforeValue();
    buffer_ += '"';
    writeEscaped(name);
    buffer_ += "\": ";
    afterKey_ = true;
}

void JSONWriter::beginObject() {
    beforeValue();
    buffer_ += '{';
    hasMembers_.push_back(false);
}

void JSONWriter::beginArray() {
    beforeValue();
    buffer_ += '[';
    hasMembers_.push_back(false);
}

void JSONWriter::endObject() {
    const bool hadMembers = hasMembers_.back();
    hasMembers_.pop_back();
    if (hadMembers) {
        newLine(hasMembers_.size());
    }
    buffer_ += '}';
}

void JSONWriter::endArray() {
    const bool hadMembers = hasMembers_.back();
    hasMembers_.pop_back();
    if (hadMembers) {
        newLine(hasMembers_.size());
    }
    buffer_ += ']';
}

void JSONWriter::string(std::string_view text) {
    beforeValue();
    buffer_ += '"';
    writeEscaped(text);
    buffer_ += '"';
}

void JSONWriter::integer(std::int64_t value) {
    beforeValue();
    buffer_ += std::to_string(value);
}

void JSONWriter::boolean(bool value) {
    beforeValue();
    buffer_ += value ? "true" : "false";
}

void JSONWriter::null() {
    beforeValue();
    buffer_ += "null";
}

void JSONWriter::number(double value) {
    beforeValue();
    // Real numbers are rare in the output; nlohmann's own formatting keeps them identical to
    // what a document object would print.
    buffer_ += nlohmann::json(value).dump();
}

void JSONWriter::writeEscaped(std::string_view text) {
    static constexpr char hex[] = "0123456789abcdef";
    for (const char c : text) {
        switch (c) {
        case '"':
            buffer_ += "\\\"";
            break;
        case '\\':
            buffer_ += "\\\\";
            break;
        case '\b':
            buffer_ += "\\b";
            break;
        case '\f':
            buffer_ += "\\f";
            break;
        case '\n':
            buffer_ += "\\n";
            break;
        case '\r':
            buffer_ += "\\r";
            break;
        case '\t':
            buffer_ += "\\t";
            break;
        default:
            if (static_cast<unsigned char>(c) < 0x20) {
                buffer_ += "\\u00";
                buffer_ += hex[static_cast<unsigned char>(c) >> 4];
                buffer_ += hex[static_cast<unsigned char>(c) & 0xF];
            } else {
                buffer_ += c;
            }
        }
    }
}

} // namespace velotrack::cli
