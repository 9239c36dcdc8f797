#include "kvntime/StoredForms.h"

#include <koltutils/DescribedError.h>
#include <nlohmann/json.hpp>

namespace kvntime {
namespace {

using nlohmann::json;

json parsed(std::string_view text) {
    json value = json::parse(text.begin(), text.end(), nullptr, false);
    if (value.is_discarded()) {
        throw koltutils::DescribedError("not a JSON document: " + std::string(text));
    }
    return value;
}

const json& member(const json& object, const char* key) {
    if (!object.is_object()) {
        throw koltutils::DescribedError(std::string("expected an object holding \"") + key + "\"");
    }
    const auto found = object.find(key);
    if (found == object.end()) {
        throw koltutils::DescribedError(std::string("missing key \"") + key + "\"");
    }
    return *found;
}

double number(const json& object, const char* key) {
    const json& value = member(object, key);
    if (!value.is_number()) {
        throw koltutils::DescribedError(std::string("\"") + key + "\" is not a number");
    }
    return value.get<double>();
}

std::optional<double> optionalNumber(const json& object, const char* key) {
    if (!object.is_object() || !object.contains(key) || object.at(key).is_null()) {
        return std::nullopt;
    }
    return number(object, key);
}

int integer(const json& object, const char* key) {
    const json& value = member(object, key);
    if (!value.is_number_integer() || value.get<std::int64_t>() < INT32_MIN ||
        value.get<std::int64_t>() > INT32_MAX) {
        throw koltutils::DescribedError(std::string("\"") + key + "\" is not an integer");
    }
    return value.get<int>();
}

bool boolean(const json& object, const char* key) {
    const json& value = member(object, key);
    if (!value.is_boolean()) {
        throw koltutils::DescribedError(std::string("\"") + key + "\" is not a Boolean");
    }
    return value.get<bool>();
}

void putOptional(json& object, const char* key, std::optional<double> value) {
    if (value) {
        object[key] = *value;
    }
}

json encoded(const TimeSignature& value) {
    return {{"numerator", value.numerator}, {"denominator", value.denominator}};
}

json encoded(const VisualMusicalMeasure& value) {
    return {{"pixelsPerSubdivision", value.pixelsPerSubdivision},
            {"pixelsPerBeat", value.pixelsPerBeat},
            {"pixelsPerBar", value.pixelsPerBar}};
}

json encoded(const VisualMusicalTime& value) {
    json object = {{"_pixelsPerSecond", value.pixelsPerSecond()},
                   {"timeSignature", encoded(value.timeSignature())}};
    putOptional(object, "_tempo", value.tempo());
    if (value.visualMeasure()) {
        object["visualMeasure"] = encoded(*value.visualMeasure());
    }
    return object;
}

json encoded(const TimelineTempo& value) {
    const TimelineTempo::Stored stored = value.stored();
    json object = {{"visualTime", encoded(stored.visualTime)},
                   {"allowsTempoChange", stored.allowsTempoChange},
                   {"lockNaturalTempo", stored.lockNaturalTempo},
                   {"masterTempo", stored.masterTempo},
                   {"useMasterTempo", stored.useMasterTempo},
                   {"_rate", stored.rate}};
    putOptional(object, "internalTempo", stored.internalTempo);
    putOptional(object, "virtualTempo", stored.virtualTempo);
    return object;
}

TimeSignature decodedTimeSignature(const json& object) {
    const int numerator = integer(object, "numerator");
    return TimeSignature(numerator, integer(object, "denominator"));
}

VisualMusicalMeasure decodedMeasure(const json& object) {
    VisualMusicalMeasure measure;
    measure.pixelsPerSubdivision = number(object, "pixelsPerSubdivision");
    measure.pixelsPerBeat = number(object, "pixelsPerBeat");
    measure.pixelsPerBar = number(object, "pixelsPerBar");
    return measure;
}

VisualMusicalTime decodedVisualTime(const json& object) {
    // Keys are read in their stored order so that the first bad one is the one reported.
    const double pixelsPerSecond = number(object, "_pixelsPerSecond");
    const std::optional<double> tempo = optionalNumber(object, "_tempo");
    const TimeSignature timeSignature = decodedTimeSignature(member(object, "timeSignature"));
    std::optional<VisualMusicalMeasure> measure;
    if (object.contains("visualMeasure") && !object.at("visualMeasure").is_null()) {
        measure = decodedMeasure(object.at("visualMeasure"));
    }
    return VisualMusicalTime::restored(pixelsPerSecond, tempo, timeSignature, measure);
}

TimelineTempo decodedTempo(const json& object) {
    TimelineTempo::Stored stored;
    stored.visualTime = decodedVisualTime(member(object, "visualTime"));
    stored.allowsTempoChange = boolean(object, "allowsTempoChange");
    stored.lockNaturalTempo = boolean(object, "lockNaturalTempo");
    stored.internalTempo = optionalNumber(object, "internalTempo");
    stored.virtualTempo = optionalNumber(object, "virtualTempo");
    stored.masterTempo = number(object, "masterTempo");
    stored.useMasterTempo = boolean(object, "useMasterTempo");
    stored.rate = number(object, "_rate");
    return TimelineTempo::restored(stored);
}

} // namespace

std::string toJSON(const TimeSignature& value) {
    return encoded(value).dump();
}
std::string toJSON(const VisualMusicalMeasure& value) {
    return encoded(value).dump();
}
std::string toJSON(const VisualMusicalTime& value) {
    return encoded(value).dump();
}
std::string toJSON(const TimelineTempo& value) {
    return encoded(value).dump();
}

TimeSignature timeSignatureFromJSON(std::string_view json) {
    return decodedTimeSignature(parsed(json));
}
VisualMusicalMeasure visualMusicalMeasureFromJSON(std::string_view json) {
    return decodedMeasure(parsed(json));
}
VisualMusicalTime visualMusicalTimeFromJSON(std::string_view json) {
    return decodedVisualTime(parsed(json));
}
TimelineTempo timelineTempoFromJSON(std::string_view json) {
    return decodedTempo(parsed(json));
}

} // namespace kvntime
