#include "kvnfcpx/share/AppleEventDescriptor.h"

#include "ShareTrace.h"

#include <cstring>
#include <koltutils/URL.h>
#include <limits>

namespace kvnfcpx {

std::string fourCharCodeText(FourCharCode code) {
    std::string text(4, ' ');
    for (int i = 0; i < 4; ++i) {
        text[static_cast<std::size_t>(i)] = static_cast<char>((code >> (24 - 8 * i)) & 0xff);
    }
    return text;
}

namespace {

template <class Number> ScriptData bytesOf(Number value) {
    ScriptData bytes(sizeof value);
    std::memcpy(bytes.data(), &value, sizeof value);
    return bytes;
}

template <class Number> std::optional<Number> numberFrom(const ScriptData& bytes) {
    if (bytes.size() != sizeof(Number)) {
        return std::nullopt;
    }
    Number value;
    std::memcpy(&value, bytes.data(), sizeof value);
    return value;
}

// A numeric descriptor's value, widened without loss; none for other types.
std::optional<long double> numericValue(FourCharCode type, const ScriptData& bytes) {
    using D = AppleEventDescriptor;
    auto widen = [](auto value) -> std::optional<long double> {
        if (!value) {
            return std::nullopt;
        }
        return static_cast<long double>(*value);
    };
    switch (type) {
    case D::typeSInt16:
        return widen(numberFrom<std::int16_t>(bytes));
    case D::typeSInt32:
        return widen(numberFrom<std::int32_t>(bytes));
    case D::typeSInt64:
        return widen(numberFrom<std::int64_t>(bytes));
    case D::typeUInt16:
        return widen(numberFrom<std::uint16_t>(bytes));
    case D::typeUInt32:
        return widen(numberFrom<std::uint32_t>(bytes));
    case D::typeUInt64:
        return widen(numberFrom<std::uint64_t>(bytes));
    case D::typeBoolean:
        return widen(numberFrom<std::uint8_t>(bytes));
    default:
        return std::nullopt;
    }
}

bool isTextType(FourCharCode type) {
    return type == AppleEventDescriptor::typeUnicodeText ||
           type == AppleEventDescriptor::typeUTF8Text || type == fourCharCode("TEXT");
}

} // namespace

AppleEventDescriptor AppleEventDescriptor::text(std::string_view text) {
    return {typeUnicodeText, ScriptData(text.begin(), text.end())};
}
AppleEventDescriptor AppleEventDescriptor::int32(std::int32_t value) {
    return {typeSInt32, bytesOf(value)};
}
AppleEventDescriptor AppleEventDescriptor::uint32(std::uint32_t value) {
    return {typeUInt32, bytesOf(value)};
}
AppleEventDescriptor AppleEventDescriptor::int16(std::int16_t value) {
    return {typeSInt16, bytesOf(value)};
}
AppleEventDescriptor AppleEventDescriptor::uint16(std::uint16_t value) {
    return {typeUInt16, bytesOf(value)};
}
AppleEventDescriptor AppleEventDescriptor::int64(std::int64_t value) {
    return {typeSInt64, bytesOf(value)};
}
AppleEventDescriptor AppleEventDescriptor::uint64(std::uint64_t value) {
    return {typeUInt64, bytesOf(value)};
}
AppleEventDescriptor AppleEventDescriptor::boolean(bool value) {
    return {typeBoolean, bytesOf(static_cast<std::uint8_t>(value ? 1 : 0))};
}
AppleEventDescriptor AppleEventDescriptor::real(double value) {
    return {typeIEEE64BitFloatingPoint, bytesOf(value)};
}
AppleEventDescriptor AppleEventDescriptor::fileURL(const FileURL& url) {
    const auto text = url.absoluteString();
    return {typeFileURL, ScriptData(text.begin(), text.end())};
}
AppleEventDescriptor AppleEventDescriptor::list() {
    return {typeList, {}};
}
AppleEventDescriptor AppleEventDescriptor::record() {
    return {typeRecord, {}};
}

AppleEventDescriptor AppleEventDescriptor::withObject(const ScriptValue& object) {
    if (const auto* items = object.list()) {
        return scripting::userListDescriptor(*items);
    }
    if (const auto* dictionary = object.dictionary()) {
        return scripting::userDefinedRecordDescriptor(*dictionary);
    }
    if (const auto* url = object.fileURL()) {
        return fileURL(*url);
    }
    return text(object.description());
}

std::optional<AppleEventDescriptor> AppleEventDescriptor::atIndex(std::size_t index) const {
    if (index == 0 || index > items_.size()) {
        return std::nullopt;
    }
    return items_[index - 1];
}

void AppleEventDescriptor::setParam(FourCharCode keyword, AppleEventDescriptor value) {
    for (auto& [key, field] : fields_) {
        if (key == keyword) {
            field = std::move(value);
            return;
        }
    }
    fields_.emplace_back(keyword, std::move(value));
}

std::optional<AppleEventDescriptor>
AppleEventDescriptor::paramForKeyword(FourCharCode keyword) const {
    for (const auto& [key, field] : fields_) {
        if (key == keyword) {
            return field;
        }
    }
    return std::nullopt;
}

std::optional<std::string> AppleEventDescriptor::stringValue() const {
    if (isTextType(type_)) {
        return std::string(data_.begin(), data_.end());
    }
    if (type_ == typeBoolean) {
        return std::nullopt;
    }
    if (const auto number = numericValue(type_, data_)) {
        if (*number < 0) {
            return std::to_string(static_cast<std::int64_t>(*number));
        }
        return std::to_string(static_cast<std::uint64_t>(*number));
    }
    return std::nullopt;
}

std::int32_t AppleEventDescriptor::int32Value() const {
    const auto number = numericValue(type_, data_);
    if (!number || *number < std::numeric_limits<std::int32_t>::min() ||
        *number > std::numeric_limits<std::int32_t>::max()) {
        return 0;
    }
    return static_cast<std::int32_t>(*number);
}

std::optional<ScriptValue> AppleEventDescriptor::objectValue() const {
    switch (type_) {
    case typeSInt64:
    case typeSInt32:
    case typeUInt32:
    case typeSInt16:
    case typeUInt64:
    case typeUInt16:
        return ScriptValue(std::int64_t{int32Value()});
    case typeFileURL: {
        const auto url = koltutils::URL::fromString(std::string(data_.begin(), data_.end()));
        if (!url || !url->isFileURL()) {
            return std::nullopt;
        }
        return ScriptValue(FileURL{url->path()});
    }
    case typeList:
        return ScriptValue(scripting::userListWithDescriptor(*this));
    case typeRecord:
        // Made in place: moving a temporary record into the optional makes GCC 12 at -O3 report
        // the variant's other alternatives as maybe-uninitialized.
        return std::optional<ScriptValue>(std::in_place,
                                          scripting::userDefinedRecordWithDescriptor(*this));
    case typeUnicodeText:
    case typeUTF8Text:
        return ScriptValue(std::string(data_.begin(), data_.end()));
    default:
        KVN_SHARE_TRACE("objectValue",
                        "Creating NSData for AE desc type " + fourCharCodeText(type_) + ".");
        return ScriptValue(data_);
    }
}

namespace scripting {

ScriptValue::Dictionary userDefinedRecordWithDescriptor(const AppleEventDescriptor& descriptor) {
    ScriptValue::Dictionary dictionary;
    const auto fields = descriptor.paramForKeyword(AppleEventDescriptor::keyASUserRecordFields);
    if (!fields) {
        return dictionary;
    }
    for (std::size_t index = 1; index + 1 <= fields->numberOfItems(); index += 2) {
        const auto key = fields->atIndex(index)->stringValue();
        const auto value = fields->atIndex(index + 1)->objectValue();
        if (!key || !value) {
            continue;
        }
        dictionary.insert_or_assign(*key, *value);
    }
    return dictionary;
}

AppleEventDescriptor userDefinedRecordDescriptor(const ScriptValue::Dictionary& dictionary) {
    auto fields = AppleEventDescriptor::list();
    for (const auto& [key, value] : dictionary) {
        fields.append(AppleEventDescriptor::text(key));
        fields.append(AppleEventDescriptor::text(value.description()));
    }
    auto record = AppleEventDescriptor::record();
    record.setParam(AppleEventDescriptor::keyASUserRecordFields, std::move(fields));
    return record;
}

ScriptValue::List userListWithDescriptor(const AppleEventDescriptor& descriptor) {
    ScriptValue::List list;
    for (std::size_t index = 1; index <= descriptor.numberOfItems(); ++index) {
        if (auto value = descriptor.atIndex(index)->objectValue()) {
            list.push_back(std::move(*value));
        }
    }
    return list;
}

AppleEventDescriptor userListDescriptor(const ScriptValue::List& list) {
    auto descriptor = AppleEventDescriptor::list();
    for (const auto& element : list) {
        descriptor.append(AppleEventDescriptor::withObject(element));
    }
    return descriptor;
}

} // namespace scripting

} // namespace kvnfcpx
