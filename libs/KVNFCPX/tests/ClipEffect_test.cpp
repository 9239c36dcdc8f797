#include "TimelineTestSupport.h"

#include <cstdlib>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <koltutils/ScopedLogCapture.h>
#include <kvnfcpx/ClipEffect.h>
#include <plist/plist.h>
#include <string>
#include <vector>

namespace kvnfcpx {

namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using Dictionary = ArchivedValue::Dictionary;

// Writes keyed archives the way the platform's archiver lays them out: "$objects" with "$null"
// first, class descriptions as objects of their own, and references as UIDs.
class KeyedArchiveWriter {
public:
    KeyedArchiveWriter() : objects_(plist_new_array()) { add(plist_new_string("$null")); }
    ~KeyedArchiveWriter() { plist_free(objects_); }
    KeyedArchiveWriter(const KeyedArchiveWriter&) = delete;
    KeyedArchiveWriter& operator=(const KeyedArchiveWriter&) = delete;

    std::uint64_t add(plist_t object) {
        plist_array_append_item(objects_, object);
        return plist_array_get_size(objects_) - 1;
    }
    std::uint64_t addString(const char* text) { return add(plist_new_string(text)); }
    std::uint64_t addClass(const char* name) {
        const plist_t description = plist_new_dict();
        plist_dict_set_item(description, "$classname", plist_new_string(name));
        const plist_t classes = plist_new_array();
        plist_array_append_item(classes, plist_new_string(name));
        plist_array_append_item(classes, plist_new_string("NSObject"));
        plist_dict_set_item(description, "$classes", classes);
        return add(description);
    }
    // An NSArray or NSDictionary object whose fields are filled in later (they may refer to
    // objects added after it).
    std::uint64_t addCollection(const char* className) {
        const auto classIndex = addClass(className);
        const plist_t object = plist_new_dict();
        plist_dict_set_item(object, "$class", plist_new_uid(classIndex));
        return add(object);
    }
    void setReferences(std::uint64_t object, const char* field,
                       const std::vector<std::uint64_t>& indexes) {
        const plist_t list = plist_new_array();
        for (const auto index : indexes) {
            plist_array_append_item(list, plist_new_uid(index));
        }
        plist_dict_set_item(plist_array_get_item(objects_, static_cast<std::uint32_t>(object)),
                            field, list);
    }

    std::vector<std::uint8_t> archive(const char* topKey, std::uint64_t root, bool binary = true) {
        const plist_t document = plist_new_dict();
        plist_dict_set_item(document, "$archiver", plist_new_string("NSKeyedArchiver"));
        plist_dict_set_item(document, "$version", plist_new_uint(100000));
        const plist_t top = plist_new_dict();
        plist_dict_set_item(top, topKey, plist_new_uid(root));
        plist_dict_set_item(document, "$top", top);
        plist_dict_set_item(document, "$objects", plist_copy(objects_));
        char* bytes = nullptr;
        std::uint32_t length = 0;
        if (binary) {
            plist_to_bin(document, &bytes, &length);
        } else {
            plist_to_xml(document, &bytes, &length);
        }
        std::vector<std::uint8_t> result(bytes, bytes + length);
        std::free(bytes);
        plist_free(document);
        return result;
    }

private:
    plist_t objects_;
};

std::optional<Dictionary> fullStateOf(std::vector<std::uint8_t> effectState) {
    return ClipEffect{.uid = "u", .effectState = std::move(effectState)}.fullState();
}

ArchivedValue value(ArchivedValue::Storage storage) {
    return ArchivedValue{std::move(storage)};
}

TEST(ClipEffect, DecodesTheArchivedEffectState) {
    koltutils::ScopedLogCapture quiet;
    // Written by another implementation of the archive format than the one that reads it.
    const auto clips = testing::clipsOf(testing::loadTestDocument("ClipAudio.fcpxml"));
    ASSERT_FALSE(clips.empty());
    ASSERT_TRUE(clips[0].effects && !clips[0].effects->empty());
    const auto state = clips[0].effects->front().fullState();

    const Dictionary expected{
        {"bands", value(ArchivedValue::Array{value(-6.5), value(ArchivedValue::Null{})})},
        {"data", value(ArchivedValue::Data{0, 1, 2, 250})},
        {"manufacturer", value(std::int64_t{1634758764})},
        {"name", value(std::string("Warm Voice"))},
        {"options", value(Dictionary{{"bypass", value(false)}, {"gain", value(std::int64_t{3})}})},
        {"saved", value(Dictionary{{"NS.time", value(700000000.5)}})},
        {"subtype", value(std::int64_t{1936944484})},
        {"type", value(std::int64_t{1635083896})},
        {"version", value(std::int64_t{0})},
    };
    EXPECT_EQ(state, expected);
    ASSERT_TRUE(state);
    ASSERT_NE(ArchivedValue::find(*state, "name"), nullptr);
    EXPECT_EQ(*ArchivedValue::find(*state, "name")->as<std::string>(), "Warm Voice");
    EXPECT_EQ(ArchivedValue::find(*state, "missing"), nullptr);
}

TEST(ClipEffect, FullStateIsADictionaryWithTextKeysOrNothing) {
    KeyedArchiveWriter writer;
    const auto dictionary = writer.addCollection("NSMutableDictionary");
    const auto selfKey = writer.addString("self");
    const auto levelKey = writer.addString("level");
    const auto level = writer.add(plist_new_uint(static_cast<std::uint64_t>(-3)));
    writer.setReferences(dictionary, "NS.keys", {selfKey, levelKey});
    writer.setReferences(dictionary, "NS.objects", {dictionary, level});
    const auto array = writer.addCollection("NSArray");
    writer.setReferences(array, "NS.objects", {level});
    const auto numberKeyed = writer.addCollection("NSDictionary");
    writer.setReferences(numberKeyed, "NS.keys", {level});
    writer.setReferences(numberKeyed, "NS.objects", {selfKey});

    koltutils::ScopedLogCapture capture;
    // A reference back into the dictionary being read cannot be part of a tree.
    const Dictionary selfReferring{{"level", value(std::int64_t{-3})},
                                   {"self", value(ArchivedValue::Null{})}};
    EXPECT_EQ(fullStateOf(writer.archive("effectState", dictionary)), selfReferring);
    EXPECT_EQ(fullStateOf(writer.archive("effectState", dictionary, false)), selfReferring)
        << "the XML form of the archive";

    EXPECT_EQ(fullStateOf(writer.archive("effectState", array)), std::nullopt);
    EXPECT_EQ(fullStateOf(writer.archive("effectState", numberKeyed)), std::nullopt);
    EXPECT_EQ(fullStateOf(writer.archive("root", dictionary)), std::nullopt);
    EXPECT_EQ((ClipEffect{.uid = "u"}.fullState()), std::nullopt);
    EXPECT_THAT(capture.lines(), IsEmpty());
}

TEST(ClipEffect, ArchivesThatCannotBeReadAreLoggedAndGiveNothing) {
    // Forty levels of arrays that each refer twice to the next would read out as 2^40 values;
    // a thousand nested arrays would take a thousand stack frames.
    KeyedArchiveWriter fanOut;
    const auto leaf = fanOut.addString("leaf");
    auto next = leaf;
    for (int level = 0; level < 40; ++level) {
        const auto array = fanOut.addCollection("NSArray");
        fanOut.setReferences(array, "NS.objects", {next, next});
        next = array;
    }
    const auto wide = fanOut.archive("effectState", next);

    KeyedArchiveWriter nesting;
    next = nesting.addString("leaf");
    for (int level = 0; level < 1000; ++level) {
        const auto array = nesting.addCollection("NSArray");
        nesting.setReferences(array, "NS.objects", {next});
        next = array;
    }
    const auto deep = nesting.archive("effectState", next);

    koltutils::ScopedLogCapture capture;
    EXPECT_EQ(fullStateOf({'n', 'o', 't', ' ', 'a', 'n', ' ', 'a', 'r', 'c', 'h', 'i', 'v', 'e'}),
              std::nullopt);
    EXPECT_EQ(fullStateOf(wide), std::nullopt);
    EXPECT_EQ(fullStateOf(deep), std::nullopt);
    const std::string prefix = "🚩 ClipEffect.cpp:fullState:Failed to read the effect state: ";
    EXPECT_THAT(
        testing::errorLines(capture.lines()),
        ElementsAre(prefix + "the data is no property list",
                    prefix + "the archive cannot be read: its objects refer to one another too "
                             "often",
                    prefix + "the archive cannot be read: its objects are nested too deeply"));
}

} // namespace
} // namespace kvnfcpx
