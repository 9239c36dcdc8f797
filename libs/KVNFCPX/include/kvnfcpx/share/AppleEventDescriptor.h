#pragma once

#include "kvnfcpx/share/ScriptValue.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace kvnfcpx {

using FourCharCode = std::uint32_t;

// 'abcd' as the number the platform uses for it (first character in the high byte).
constexpr FourCharCode fourCharCode(std::string_view code) {
    FourCharCode value = 0;
    for (std::size_t i = 0; i < 4; ++i) {
        value = (value << 8) | static_cast<unsigned char>(i < code.size() ? code[i] : ' ');
    }
    return value;
}

std::string fourCharCodeText(FourCharCode code);

// A scripting event descriptor: a type code with its data bytes, a list of descriptors
// ('list'), or a record of keyword-tagged descriptors ('reco'). Numbers are kept in the
// machine's byte order; text descriptors ('utxt', 'utf8', 'TEXT') hold UTF-8 bytes here, whatever
// the type says, since every producer and consumer of them is this model; file URLs ('furl') hold
// the URL's absolute text.
class AppleEventDescriptor {
public:
    static constexpr FourCharCode typeList = fourCharCode("list");
    static constexpr FourCharCode typeRecord = fourCharCode("reco");
    static constexpr FourCharCode typeUnicodeText = fourCharCode("utxt");
    static constexpr FourCharCode typeUTF8Text = fourCharCode("utf8");
    static constexpr FourCharCode typeFileURL = fourCharCode("furl");
    static constexpr FourCharCode typeSInt16 = fourCharCode("shor");
    static constexpr FourCharCode typeSInt32 = fourCharCode("long");
    static constexpr FourCharCode typeSInt64 = fourCharCode("comp");
    static constexpr FourCharCode typeUInt16 = fourCharCode("ushr");
    static constexpr FourCharCode typeUInt32 = fourCharCode("magn");
    static constexpr FourCharCode typeUInt64 = fourCharCode("ucom");
    static constexpr FourCharCode typeBoolean = fourCharCode("bool");
    static constexpr FourCharCode typeIEEE64BitFloatingPoint = fourCharCode("doub");
    // The keyword under which a record keeps its user-defined fields as alternating key/value
    // items.
    static constexpr FourCharCode keyASUserRecordFields = fourCharCode("usrf");

    AppleEventDescriptor(FourCharCode type, ScriptData data)
        : type_(type), data_(std::move(data)) {}

    static AppleEventDescriptor text(std::string_view text);
    static AppleEventDescriptor int32(std::int32_t value);
    static AppleEventDescriptor uint32(std::uint32_t value);
    static AppleEventDescriptor int16(std::int16_t value);
    static AppleEventDescriptor uint16(std::uint16_t value);
    static AppleEventDescriptor int64(std::int64_t value);
    static AppleEventDescriptor uint64(std::uint64_t value);
    static AppleEventDescriptor boolean(bool value);
    static AppleEventDescriptor real(double value);
    static AppleEventDescriptor fileURL(const FileURL& url);
    static AppleEventDescriptor list();
    static AppleEventDescriptor record();

    // descriptorWithObject: a list for a list, a user record for a dictionary, text for text, a
    // file URL for a file URL, and text of the value's description for anything else.
    static AppleEventDescriptor withObject(const ScriptValue& object);

    FourCharCode descriptorType() const { return type_; }
    const ScriptData& data() const { return data_; }

    // Lists: items counted from 1, as the platform does.
    std::size_t numberOfItems() const { return items_.size(); }
    std::optional<AppleEventDescriptor> atIndex(std::size_t index) const;
    void append(AppleEventDescriptor item) { items_.push_back(std::move(item)); }

    // Records: fields by keyword.
    void setParam(FourCharCode keyword, AppleEventDescriptor value);
    std::optional<AppleEventDescriptor> paramForKeyword(FourCharCode keyword) const;

    // The text of a text descriptor, or the decimal text of a number; none for other types.
    std::optional<std::string> stringValue() const;
    // The number as a 32-bit integer: numeric types whose value fits, Booleans as 0 or 1; 0
    // otherwise.
    std::int32_t int32Value() const;

    // The object the descriptor stands for, by type: 'comp', 'long', 'magn', 'shor', 'ucom',
    // 'ushr' → an integer from int32Value(); 'furl' → a file URL (none when the text is not a
    // file URL); 'list' → a list; 'reco' → a dictionary from its user fields; 'utxt', 'utf8' →
    // text; any other type → its raw bytes (after a trace line naming the type).
    std::optional<ScriptValue> objectValue() const;

    bool operator==(const AppleEventDescriptor&) const = default;

private:
    FourCharCode type_;
    ScriptData data_;
    std::vector<AppleEventDescriptor> items_;
    std::vector<std::pair<FourCharCode, AppleEventDescriptor>> fields_;
};

// The conversions between descriptors and the collections scripting hands to the share objects.
namespace scripting {

// Reads the 'usrf' list as alternating key and value items (items 1 and 2 the first pair),
// skipping pairs whose key has no text or whose value has no object.
ScriptValue::Dictionary userDefinedRecordWithDescriptor(const AppleEventDescriptor& descriptor);
// A record whose 'usrf' list holds each key's text followed by the value's text (a value that is
// not text gives its description).
AppleEventDescriptor userDefinedRecordDescriptor(const ScriptValue::Dictionary& dictionary);
// The object value of every item, in order (items without one are left out).
ScriptValue::List userListWithDescriptor(const AppleEventDescriptor& descriptor);
// A list of withObject() of every element, in order.
AppleEventDescriptor userListDescriptor(const ScriptValue::List& list);

} // namespace scripting

} // namespace kvnfcpx
