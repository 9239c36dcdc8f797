#include "PropertyList.h"

#include <cstdlib>
#include <limits>
#include <memory>
#include <plist/plist.h>
#include <sstream>

namespace kvnutils::detail {

namespace {

struct PlistFree {
    void operator()(void* node) const { plist_free(node); }
};
using PlistPtr = std::unique_ptr<void, PlistFree>;

PlistPtr parse(const std::vector<std::uint8_t>& bytes) {
    if (bytes.empty() || bytes.size() > std::numeric_limits<std::uint32_t>::max()) {
        return nullptr;
    }
    plist_t root = nullptr;
    plist_from_memory(reinterpret_cast<const char*>(bytes.data()),
                      static_cast<std::uint32_t>(bytes.size()), &root);
    return PlistPtr(root);
}

std::string stringValue(plist_t node) {
    std::uint64_t length = 0;
    const char* text = plist_get_string_ptr(node, &length);
    return text ? std::string(text, static_cast<std::size_t>(length)) : std::string();
}

std::string quoted(const std::string& text) {
    return "\"" + text + "\"";
}

// Written in the manner of the editor's platform: strings quoted, containers in brackets.
void write(std::ostream& out, plist_t node, int depth) {
    // The editor's list is flat in practice; a hostile one must not recurse without end.
    if (depth > 64) {
        out << "...";
        return;
    }
    switch (plist_get_node_type(node)) {
    case PLIST_BOOLEAN: {
        std::uint8_t value = 0;
        plist_get_bool_val(node, &value);
        out << (value ? "true" : "false");
        break;
    }
    case PLIST_UINT: {
        std::uint64_t value = 0;
        plist_get_uint_val(node, &value);
        // libplist keeps negative integers as their two's complement.
        out << static_cast<std::int64_t>(value);
        break;
    }
    case PLIST_REAL: {
        double value = 0;
        plist_get_real_val(node, &value);
        out << value;
        break;
    }
    case PLIST_STRING:
    case PLIST_KEY:
        out << quoted(stringValue(node));
        break;
    case PLIST_DATA: {
        char* data = nullptr;
        std::uint64_t length = 0;
        plist_get_data_val(node, &data, &length);
        std::free(data);
        out << length << " bytes";
        break;
    }
    case PLIST_DATE: {
        std::int32_t seconds = 0;
        std::int32_t microseconds = 0;
        plist_get_date_val(node, &seconds, &microseconds);
        out << "date(" << seconds << ")";
        break;
    }
    case PLIST_ARRAY: {
        out << '[';
        const auto size = plist_array_get_size(node);
        for (std::uint32_t index = 0; index < size; ++index) {
            out << (index ? ", " : "");
            write(out, plist_array_get_item(node, index), depth + 1);
        }
        out << ']';
        break;
    }
    case PLIST_DICT: {
        out << '[';
        plist_dict_iter iterator = nullptr;
        plist_dict_new_iter(node, &iterator);
        bool first = true;
        for (;;) {
            char* key = nullptr;
            plist_t value = nullptr;
            plist_dict_next_item(node, iterator, &key, &value);
            if (!key) {
                break;
            }
            out << (first ? "" : ", ") << quoted(key) << ": ";
            std::free(key);
            first = false;
            write(out, value, depth + 1);
        }
        std::free(iterator);
        out << (first ? ":]" : "]");
        break;
    }
    default:
        out << "nil";
    }
}

} // namespace

std::optional<std::vector<std::string>>
stringListPropertyList(const std::vector<std::uint8_t>& bytes) {
    const auto root = parse(bytes);
    if (!root || plist_get_node_type(root.get()) != PLIST_ARRAY) {
        return std::nullopt;
    }
    std::vector<std::string> strings;
    const auto size = plist_array_get_size(root.get());
    for (std::uint32_t index = 0; index < size; ++index) {
        plist_t item = plist_array_get_item(root.get(), index);
        if (plist_get_node_type(item) != PLIST_STRING) {
            return std::nullopt;
        }
        strings.push_back(stringValue(item));
    }
    return strings;
}

PropertyListDump dumpPropertyList(const std::vector<std::uint8_t>& bytes) {
    const auto root = parse(bytes);
    if (!root) {
        return {"The data couldn’t be read because it isn’t in the correct format.", std::nullopt};
    }
    if (plist_get_node_type(root.get()) != PLIST_DICT) {
        return {};
    }
    std::ostringstream out;
    write(out, root.get(), 0);
    return {std::nullopt, std::move(out).str()};
}

std::vector<std::uint8_t> stringListPropertyListData(const std::vector<std::string>& strings) {
    const PlistPtr root(plist_new_array());
    for (const auto& text : strings) {
        plist_array_append_item(root.get(), plist_new_string(text.c_str()));
    }
    char* xml = nullptr;
    std::uint32_t length = 0;
    plist_to_xml(root.get(), &xml, &length);
    std::vector<std::uint8_t> bytes(xml, xml + length);
    plist_to_xml_free(xml);
    return bytes;
}

} // namespace kvnutils::detail
