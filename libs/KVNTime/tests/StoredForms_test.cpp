#include <gtest/gtest.h>
#include <koltutils/DescribedError.h>
#include <kvntime/StoredForms.h>
#include <nlohmann/json.hpp>

namespace kvntime {
namespace {

using nlohmann::json;

TEST(StoredForms, TimelineTempoWritesTheSystemKeysAndReadsBackEqual) {
    TimelineTempo tempo;
    tempo.updateInternalTempo(100);
    tempo.updateVirtualTempo(125);
    tempo.updatePixelsPerSecond(45);

    const json stored = json::parse(toJSON(tempo));
    const json expected = json::parse(R"({
        "visualTime": {"_pixelsPerSecond": 45.0, "_tempo": 125.0,
                       "timeSignature": {"numerator": 4, "denominator": 4},
                       "visualMeasure": {"pixelsPerSubdivision": 5.4, "pixelsPerBeat": 21.6,
                                         "pixelsPerBar": 86.4}},
        "allowsTempoChange": true, "lockNaturalTempo": false,
        "internalTempo": 100.0, "virtualTempo": 125.0, "masterTempo": 120.0,
        "useMasterTempo": false, "_rate": 1.25})");
    ASSERT_EQ(stored.size(), expected.size());
    for (const auto& [key, value] : expected["visualTime"]["visualMeasure"].items()) {
        EXPECT_NEAR(stored["visualTime"]["visualMeasure"][key].get<double>(), value.get<double>(),
                    1e-12)
            << key;
    }
    json withoutMeasure = stored;
    json expectedWithoutMeasure = expected;
    withoutMeasure["visualTime"].erase("visualMeasure");
    expectedWithoutMeasure["visualTime"].erase("visualMeasure");
    EXPECT_EQ(withoutMeasure, expectedWithoutMeasure);

    EXPECT_EQ(timelineTempoFromJSON(toJSON(tempo)), tempo);
}

TEST(StoredForms, AbsentOptionalsAreLeftOutAndReadFromNull) {
    const TimelineTempo tempo;
    const json stored = json::parse(toJSON(tempo));
    EXPECT_FALSE(stored.contains("internalTempo"));
    EXPECT_FALSE(stored["visualTime"].contains("_tempo"));
    EXPECT_FALSE(stored["visualTime"].contains("visualMeasure"));

    json withNulls = stored;
    withNulls["virtualTempo"] = nullptr;
    withNulls["visualTime"]["_tempo"] = nullptr;
    EXPECT_EQ(timelineTempoFromJSON(withNulls.dump()), tempo);
}

TEST(StoredForms, RejectsWhatItCannotRead) {
    const auto messageOf = [](const std::string& text) -> std::string {
        try {
            visualMusicalTimeFromJSON(text);
        } catch (const koltutils::DescribedError& error) {
            return error.what();
        }
        return "(nothing thrown)";
    };
    EXPECT_EQ(messageOf(R"({"timeSignature": {"numerator": 4, "denominator": 4}})"),
              "missing key \"_pixelsPerSecond\"");
    EXPECT_EQ(messageOf(R"({"_pixelsPerSecond": "wide", "timeSignature": {}})"),
              "\"_pixelsPerSecond\" is not a number");
    EXPECT_EQ(
        messageOf(
            R"({"_pixelsPerSecond": 30, "timeSignature": {"numerator": 4, "denominator": 3}})"),
        "invalid arguments: 4/3");
    EXPECT_EQ(messageOf("{"), "not a JSON document: {");
    EXPECT_EQ(timeSignatureFromJSON(toJSON(TimeSignature(7, 8))), TimeSignature(7, 8));
}

} // namespace
} // namespace kvntime
