#include "kvninterchange/TimelineImporterOptions.h"

#include "kvninterchange/DecodingError.h"

#include <algorithm>
#include <memory>
#include <plist/plist.h>

namespace kvninterchange {
namespace {

using Options = TimelineImporterOptions;
using Kind = DecodingError::Kind;

// A stored option set is a few hundred bytes. The property-list parser recurses once per level
// of nesting without a limit of its own; bounding the size bounds the nesting and keeps hostile
// data from exhausting the stack.
constexpr std::size_t maximumPropertyListSize = 64 * 1024;

constexpr std::string_view projectImportOptionsKey = "projectImportOptions";
constexpr std::string_view markerImportModeKey = "markerImportMode";
constexpr std::string_view audioImportModeKey = "audioImportMode";

struct PlistDeleter {
    void operator()(void* node) const noexcept { plist_free(node); }
};
using PlistPtr = std::unique_ptr<void, PlistDeleter>;

PlistPtr parsePropertyList(std::string_view data) {
    plist_t root = nullptr;
    if (!data.empty() && data.size() <= maximumPropertyListSize) {
        plist_from_memory(data.data(), static_cast<uint32_t>(data.size()), &root);
    }
    if (root == nullptr) {
        throw DecodingError(Kind::dataCorrupted, {},
                            "The given data was not a valid property list.");
    }
    return PlistPtr(root);
}

std::string typeDescription(plist_t node) {
    switch (plist_get_node_type(node)) {
    case PLIST_DICT:
        return "a dictionary";
    case PLIST_ARRAY:
        return "an array";
    case PLIST_STRING:
        return "a string";
    case PLIST_BOOLEAN:
        return "a boolean";
    case PLIST_UINT:
    case PLIST_REAL:
        return "a number";
    case PLIST_DATE:
        return "a date";
    case PLIST_DATA:
        return "data";
    default:
        return "an unknown value";
    }
}

[[noreturn]] void throwTypeMismatch(std::string_view expected, plist_t found,
                                    std::vector<std::string> codingPath) {
    throw DecodingError(Kind::typeMismatch, std::move(codingPath),
                        "Expected to decode " + std::string(expected) + " but found " +
                            typeDescription(found) + " instead.");
}

plist_t requiredValue(plist_t dictionary, std::string_view key) {
    const plist_t value = plist_dict_get_item(dictionary, std::string(key).c_str());
    if (value == nullptr) {
        throw DecodingError(Kind::keyNotFound, {},
                            "No value associated with key \"" + std::string(key) + "\".");
    }
    return value;
}

std::string stringValue(plist_t node, const std::vector<std::string>& codingPath) {
    if (plist_get_node_type(node) != PLIST_STRING) {
        throwTypeMismatch("a string", node, codingPath);
    }
    uint64_t length = 0;
    const char* text = plist_get_string_ptr(node, &length);
    return text ? std::string(text, length) : std::string();
}

template <class E>
E caseValue(plist_t node, std::string_view typeName, const std::vector<std::string>& codingPath) {
    const auto text = stringValue(node, codingPath);
    if (auto value = koltutils::fromRawValue<E>(text)) {
        return *value;
    }
    throw DecodingError(Kind::dataCorrupted, codingPath,
                        "Cannot initialize " + std::string(typeName) +
                            " from invalid String value " + text);
}

template <class E> E readCase(plist_t dictionary, std::string_view key, std::string_view typeName) {
    return caseValue<E>(requiredValue(dictionary, key), typeName, {std::string(key)});
}

std::vector<Options::ProjectImportOption> readOptionList(plist_t dictionary) {
    const auto list = requiredValue(dictionary, projectImportOptionsKey);
    const std::string key(projectImportOptionsKey);
    if (plist_get_node_type(list) != PLIST_ARRAY) {
        throwTypeMismatch("an array", list, {key});
    }
    std::vector<Options::ProjectImportOption> options;
    const auto count = plist_array_get_size(list);
    for (uint32_t index = 0; index < count; ++index) {
        options.push_back(caseValue<Options::ProjectImportOption>(
            plist_array_get_item(list, index), "ProjectImportOption",
            {key, "Index " + std::to_string(index)}));
    }
    return options;
}

plist_t newString(std::string_view text) {
    return plist_new_string(std::string(text).c_str());
}

std::string serialized(plist_t root, Options::PropertyListFormat format) {
    char* bytes = nullptr;
    uint32_t length = 0;
    if (format == Options::PropertyListFormat::xml) {
        plist_to_xml(root, &bytes, &length);
    } else {
        plist_to_bin(root, &bytes, &length);
    }
    std::string data = bytes ? std::string(bytes, length) : std::string();
    if (format == Options::PropertyListFormat::xml) {
        plist_to_xml_free(bytes);
    } else {
        plist_to_bin_free(bytes);
    }
    return data;
}

} // namespace

TimelineImporterOptions TimelineImporterOptions::fromPropertyList(std::string_view data) {
    const auto root = parsePropertyList(data);
    if (plist_get_node_type(root.get()) != PLIST_DICT) {
        throwTypeMismatch("a dictionary", root.get(), {});
    }
    TimelineImporterOptions options;
    options.projectImportOptions = readOptionList(root.get());
    options.markerImportMode =
        readCase<MarkerImportMode>(root.get(), markerImportModeKey, "MarkerImportMode");
    options.audioImportMode =
        readCase<AudioImportMode>(root.get(), audioImportModeKey, "AudioImportMode");
    return options;
}

std::string TimelineImporterOptions::propertyList(PropertyListFormat format) const {
    const PlistPtr root(plist_new_dict());
    const plist_t list = plist_new_array();
    for (const auto option : projectImportOptions) {
        plist_array_append_item(list, newString(koltutils::rawValue(option)));
    }
    plist_dict_set_item(root.get(), std::string(projectImportOptionsKey).c_str(), list);
    plist_dict_set_item(root.get(), std::string(markerImportModeKey).c_str(),
                        newString(koltutils::rawValue(markerImportMode)));
    plist_dict_set_item(root.get(), std::string(audioImportModeKey).c_str(),
                        newString(koltutils::rawValue(audioImportMode)));
    return serialized(root.get(), format);
}

bool TimelineImporterOptions::contains(ProjectImportOption option) const noexcept {
    return std::find(projectImportOptions.begin(), projectImportOptions.end(), option) !=
           projectImportOptions.end();
}

void TimelineImporterOptions::setOption(ProjectImportOption option, bool inEffect) {
    if (!inEffect) {
        std::erase(projectImportOptions, option);
    } else if (!contains(option)) {
        projectImportOptions.push_back(option);
    }
}

bool TimelineImporterOptions::isEmpty() const noexcept {
    return projectImportOptions.empty() && audioImportMode == AudioImportMode::none &&
           markerImportMode == MarkerImportMode::none;
}

} // namespace kvninterchange
