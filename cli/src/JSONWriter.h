#pragma once

#include <cstdint>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace velotrack::cli {

// Writes JSON as it is produced, with no document held in memory: the same text that
// nlohmann::json::dump(2) gives for the same values (two-space indentation, "key": value, "[]" and
// "{}" for empty containers, strings escaped the same way, UTF-8 kept as it is). Text is buffered
// and handed to the stream in large blocks; the destructor flushes what is left.
class JSONWriter {
public:
    explicit JSONWriter(std::ostream& out);
    ~JSONWriter();
    JSONWriter(const JSONWriter&) = delete;
    JSONWriter& operator=(const JSONWriter&) = delete;

    void beginObject();
    void endObject();
    void beginArray();
    void endArray();
    // Inside an object: the key of the value that follows.
    void key(std::string_view name);

    void string(std::string_view text);
    void integer(std::int64_t value);
    void boolean(bool value);
    void null();
    // A real number in the shortest form that reads back to it ("-6.0", "0.5", "1e+20").
    void number(double value);

    void flush();

private:
    void beforeValue();
    void newLine(std::size_t depth);
    void writeEscaped(std::string_view text);
    void reserveRoom();

    std::ostream& out_;
    std::string buffer_;
    // One entry per open container: whether it has had a member yet.
    std::vector<bool> hasMembers_;
    bool afterKey_ = false;
};

} // namespace velotrack::cli
