#include "KeyedArchive.h"

#include <algorithm>
#include <cstdlib>
#include <limits>
#include <map>
#include <memory>
#include <plist/plist.h>
#include <vector>

namespace kvnfcpx::detail {

namespace {

// Nesting beyond this is no effect state but a hostile document; reading stops there.
constexpr std::size_t maxNesting = 256;
// Objects may be referred to from several places and each reference is read out in full, so
// the number of values read is bounded as a multiple of the archive's object count.
constexpr std::size_t valuesPerObject = 64;
constexpr std::size_t minimumValueBudget = 4096;

struct PlistDeleter {
    void operator()(void* node) const noexcept { plist_free(static_cast<plist_t>(node)); }
};
using PlistHandle = std::unique_ptr<void, PlistDeleter>;

struct MallocDeleter {
    void operator()(char* text) const noexcept { std::free(text); }
};

std::string stringOf(plist_t node) {
    std::uint64_t length = 0;
    const char* text = plist_get_string_ptr(node, &length);
    return text ? std::string(text, static_cast<std::size_t>(length)) : std::string();
}

// The index a reference points at: a UID node, or the {"CF$UID": n} form of XML archives.
std::optional<std::uint64_t> referenceOf(plist_t node) {
    if (!node) {
        return std::nullopt;
    }
    std::uint64_t index = 0;
    if (plist_get_node_type(node) == PLIST_UID) {
        plist_get_uid_val(node, &index);
        return index;
    }
    if (plist_get_node_type(node) == PLIST_DICT && plist_dict_get_size(node) == 1) {
        const plist_t uid = plist_dict_get_item(node, "CF$UID");
        if (uid && plist_get_node_type(uid) == PLIST_UINT) {
            plist_get_uint_val(uid, &index);
            return index;
        }
    }
    return std::nullopt;
}

template <class Visit> void forEachDictionaryEntry(plist_t dictionary, Visit&& visit) {
    plist_dict_iter iterator = nullptr;
    plist_dict_new_iter(dictionary, &iterator);
    if (!iterator) {
        return;
    }
    while (true) {
        char* rawKey = nullptr;
        plist_t value = nullptr;
        plist_dict_next_item(dictionary, iterator, &rawKey, &value);
        const std::unique_ptr<char, MallocDeleter> key(rawKey);
        if (!value) {
            break;
        }
        visit(std::string_view(key ? key.get() : ""), value);
    }
    std::free(iterator);
}

class ObjectReader {
public:
    explicit ObjectReader(plist_t objects)
        : objects_(objects), count_(plist_array_get_size(objects)),
          budget_(std::max(minimumValueBudget, static_cast<std::size_t>(count_) * valuesPerObject)),
          inProgress_(count_, false) {}

    const std::optional<std::string>& failure() const noexcept { return failure_; }

    // A field's value: a reference is followed into the object table, anything else is read
    // where it stands.
    ArchivedValue read(plist_t node, std::size_t depth) {
        if (!spend(depth)) {
            return {};
        }
        if (const auto index = referenceOf(node)) {
            return readObject(*index, depth);
        }
        return readNode(node, depth);
    }

private:
    bool spend(std::size_t depth) {
        if (failure_) {
            return false;
        }
        if (depth > maxNesting) {
            failure_ = "its objects are nested too deeply";
            return false;
        }
        if (budget_ == 0) {
            failure_ = "its objects refer to one another too often";
            return false;
        }
        --budget_;
        return true;
    }

    ArchivedValue readObject(std::uint64_t index, std::size_t depth) {
        // A reference back into an object still being read cannot be a tree: it reads as null.
        if (index >= count_ || inProgress_[index]) {
            return {};
        }
        const auto position = static_cast<std::uint32_t>(index);
        inProgress_[position] = true;
        ArchivedValue value = readNode(plist_array_get_item(objects_, position), depth + 1);
        inProgress_[position] = false;
        return value;
    }

    ArchivedValue readNode(plist_t node, std::size_t depth) {
        if (!node) {
            return {};
        }
        switch (plist_get_node_type(node)) {
        case PLIST_BOOLEAN: {
            std::uint8_t flag = 0;
            plist_get_bool_val(node, &flag);
            return {flag != 0};
        }
        case PLIST_UINT: {
            // Negative numbers are stored as 64-bit two's complement.
            std::uint64_t number = 0;
            plist_get_uint_val(node, &number);
            return {static_cast<std::int64_t>(number)};
        }
        case PLIST_REAL: {
            double number = 0;
            plist_get_real_val(node, &number);
            return {number};
        }
        case PLIST_STRING: {
            std::string text = stringOf(node);
            if (text == "$null") {
                return {};
            }
            return {std::move(text)};
        }
        case PLIST_DATA: {
            std::uint64_t length = 0;
            const char* bytes = plist_get_data_ptr(node, &length);
            const auto* begin = reinterpret_cast<const std::uint8_t*>(bytes);
            return {bytes ? ArchivedValue::Data(begin, begin + length) : ArchivedValue::Data()};
        }
        case PLIST_DATE: {
            std::int32_t seconds = 0;
            std::int32_t microseconds = 0;
            plist_get_date_val(node, &seconds, &microseconds);
            return {static_cast<double>(seconds) + static_cast<double>(microseconds) / 1e6};
        }
        case PLIST_ARRAY:
            return {readArray(node, depth)};
        case PLIST_DICT:
            return readDictionaryNode(node, depth);
        case PLIST_UID:
            return read(node, depth);
        default:
            return {};
        }
    }

    ArchivedValue::Array readArray(plist_t array, std::size_t depth) {
        ArchivedValue::Array values;
        const std::uint32_t size = plist_array_get_size(array);
        values.reserve(std::min<std::uint32_t>(size, 1024));
        for (std::uint32_t i = 0; i < size && !failure_; ++i) {
            values.push_back(read(plist_array_get_item(array, i), depth + 1));
        }
        return values;
    }

    // The class names an archived object answers to: its own and its superclasses'.
    std::vector<std::string> classNamesOf(plist_t object, std::size_t depth) {
        std::vector<std::string> names;
        const auto index = referenceOf(plist_dict_get_item(object, "$class"));
        if (!index || *index >= count_) {
            return names;
        }
        const plist_t classInfo =
            plist_array_get_item(objects_, static_cast<std::uint32_t>(*index));
        if (!classInfo || plist_get_node_type(classInfo) != PLIST_DICT || !spend(depth)) {
            return names;
        }
        if (const plist_t name = plist_dict_get_item(classInfo, "$classname");
            name && plist_get_node_type(name) == PLIST_STRING) {
            names.push_back(stringOf(name));
        }
        if (const plist_t classes = plist_dict_get_item(classInfo, "$classes");
            classes && plist_get_node_type(classes) == PLIST_ARRAY) {
            const std::uint32_t size = plist_array_get_size(classes);
            for (std::uint32_t i = 0; i < size && spend(depth); ++i) {
                if (const plist_t name = plist_array_get_item(classes, i);
                    name && plist_get_node_type(name) == PLIST_STRING) {
                    names.push_back(stringOf(name));
                }
            }
        }
        return names;
    }

    ArchivedValue readDictionaryNode(plist_t node, std::size_t depth) {
        if (referenceOf(node)) {
            return read(node, depth);
        }
        if (!plist_dict_get_item(node, "$class")) {
            return readPlainDictionary(node, depth);
        }
        const auto names = classNamesOf(node, depth);
        const auto answersTo = [&names](std::initializer_list<std::string_view> candidates) {
            return std::any_of(names.begin(), names.end(), [&](const std::string& name) {
                return std::find(candidates.begin(), candidates.end(), name) != candidates.end();
            });
        };
        const auto field = [node](const char* key) { return plist_dict_get_item(node, key); };

        // Archivers list the whole class chain, but the mutable subclasses are named too in
        // case an archive lists only its own class.
        if (answersTo({"NSDictionary", "NSMutableDictionary"})) {
            return readArchivedDictionary(field("NS.keys"), field("NS.objects"), depth);
        }
        if (answersTo({"NSArray", "NSMutableArray", "NSSet", "NSMutableSet", "NSOrderedSet",
                       "NSMutableOrderedSet"})) {
            const plist_t objects = field("NS.objects");
            if (objects && plist_get_node_type(objects) == PLIST_ARRAY) {
                return {readArray(objects, depth)};
            }
            return {ArchivedValue::Array()};
        }
        if (answersTo({"NSString", "NSMutableString"}) && field("NS.string")) {
            return read(field("NS.string"), depth + 1);
        }
        if (answersTo({"NSData", "NSMutableData"}) && field("NS.data")) {
            return read(field("NS.data"), depth + 1);
        }
        return readObjectFields(node, depth);
    }

    ArchivedValue readArchivedDictionary(plist_t keys, plist_t objects, std::size_t depth) {
        std::map<std::string, ArchivedValue, std::less<>> entries;
        if (keys && objects && plist_get_node_type(keys) == PLIST_ARRAY &&
            plist_get_node_type(objects) == PLIST_ARRAY) {
            const std::uint32_t size =
                std::min(plist_array_get_size(keys), plist_array_get_size(objects));
            for (std::uint32_t i = 0; i < size && !failure_; ++i) {
                ArchivedValue key = read(plist_array_get_item(keys, i), depth + 1);
                const auto* text = key.as<std::string>();
                if (!text) {
                    return {};
                }
                entries.insert_or_assign(*text, read(plist_array_get_item(objects, i), depth + 1));
            }
        }
        return sorted(std::move(entries));
    }

    ArchivedValue readPlainDictionary(plist_t node, std::size_t depth) {
        std::map<std::string, ArchivedValue, std::less<>> entries;
        forEachDictionaryEntry(node, [&](std::string_view key, plist_t value) {
            entries.insert_or_assign(std::string(key), read(value, depth + 1));
        });
        return sorted(std::move(entries));
    }

    // An object of a class without a collection form: its own keys, without the class.
    ArchivedValue readObjectFields(plist_t node, std::size_t depth) {
        std::map<std::string, ArchivedValue, std::less<>> entries;
        forEachDictionaryEntry(node, [&](std::string_view key, plist_t value) {
            if (key != "$class") {
                entries.insert_or_assign(std::string(key), read(value, depth + 1));
            }
        });
        return sorted(std::move(entries));
    }

    static ArchivedValue sorted(std::map<std::string, ArchivedValue, std::less<>>&& entries) {
        ArchivedValue::Dictionary dictionary;
        dictionary.reserve(entries.size());
        for (auto& [key, value] : entries) {
            dictionary.push_back({key, std::move(value)});
        }
        return {std::move(dictionary)};
    }

    plist_t objects_;
    std::uint32_t count_;
    std::size_t budget_;
    std::vector<bool> inProgress_;
    std::optional<std::string> failure_;
};

} // namespace

KeyedArchiveReading readKeyedArchiveObject(std::span<const std::uint8_t> archive,
                                           std::string_view key) {
    if (archive.empty() || archive.size() > std::numeric_limits<std::uint32_t>::max()) {
        return {std::nullopt, "the data is no property list"};
    }
    plist_t rawRoot = nullptr;
    plist_from_memory(reinterpret_cast<const char*>(archive.data()),
                      static_cast<std::uint32_t>(archive.size()), &rawRoot);
    const PlistHandle root(rawRoot);
    if (!rawRoot) {
        return {std::nullopt, "the data is no property list"};
    }
    const plist_t top =
        plist_get_node_type(rawRoot) == PLIST_DICT ? plist_dict_get_item(rawRoot, "$top") : nullptr;
    const plist_t objects = plist_get_node_type(rawRoot) == PLIST_DICT
                                ? plist_dict_get_item(rawRoot, "$objects")
                                : nullptr;
    if (!top || !objects || plist_get_node_type(top) != PLIST_DICT ||
        plist_get_node_type(objects) != PLIST_ARRAY) {
        return {std::nullopt, "the property list is no keyed archive"};
    }

    const plist_t entry = plist_dict_get_item(top, std::string(key).c_str());
    if (!entry) {
        return {};
    }
    ObjectReader reader(objects);
    ArchivedValue value = reader.read(entry, 0);
    if (reader.failure()) {
        return {std::nullopt, "the archive cannot be read: " + *reader.failure()};
    }
    return {std::move(value), std::nullopt};
}

} // namespace kvnfcpx::detail
