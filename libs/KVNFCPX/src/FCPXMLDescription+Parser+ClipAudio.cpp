#include "AttributeReading.h"
#include "Base64.h"
#include "ClipAudioReading.h"
#include "ElementLookup.h"
#include "ResourceReader.h"

#include <algorithm>
#include <koltutils/UTF8.h>
#include <string>
#include <string_view>

namespace kvnfcpx::detail {

namespace {

using xmltree::XMLElement;

// Gain reaching this level or below means the clip is silent.
constexpr float mutedGainDecibels = -90.0f;

// "-6dB" reads as -6: the unit's letters are dropped wherever they stand, and the rest must be
// a number as a whole.
std::optional<float> readDecibels(std::string_view written) {
    std::string text(written);
    std::erase_if(text, [](char c) { return c == 'd' || c == 'B'; });
    return readFloat(text);
}

std::optional<timecode::CMTime> fadeDuration(const XMLElement& amountParam,
                                             std::string_view fadeName) {
    const auto* fade = firstChildNamed(amountParam, fadeName);
    return fade ? timeAttribute(*fade, "duration") : std::nullopt;
}

std::optional<std::vector<std::uint8_t>> effectStateOf(const XMLElement& filter) {
    for (const auto& child : filter.children()) {
        if (child->name() == "data" && child->attribute("key") == "effectState") {
            const auto& text = child->value();
            if (!text || text->empty()) {
                return std::nullopt;
            }
            return decodeBase64(*text);
        }
    }
    return std::nullopt;
}

std::vector<ClipEffect::Param> paramsOf(const XMLElement& filter) {
    std::vector<ClipEffect::Param> params;
    for (const auto& element :
         filter.allDescendants([](const XMLElement& e) { return e.name() == "param"; })) {
        const auto name = element->attribute("name");
        const auto key = element->attribute("key");
        const auto value = floatAttribute(*element, "value");
        if (name && key && value) {
            params.push_back({std::string(*name), std::string(*key), *value});
        }
    }
    return params;
}

// "1, 2" reads as 1 and 2; pieces that are no number are dropped.
std::vector<std::int64_t> readSourceChannels(std::string_view text) {
    std::vector<std::int64_t> channels;
    while (true) {
        const auto comma = text.find(',');
        if (const auto channel =
                readInteger(koltutils::UTF8::trimmingWhitespace(text.substr(0, comma)))) {
            channels.push_back(*channel);
        }
        if (comma == std::string_view::npos) {
            return channels;
        }
        text.remove_prefix(comma + 1);
    }
}

} // namespace

std::optional<ClipVolume> parseClipVolume(const xmltree::XMLElement& adjustVolume) {
    ClipVolume volume;
    if (const auto amount = adjustVolume.attribute("amount")) {
        volume.adjustVolume = readDecibels(*amount);
    }
    const auto amountParam = adjustVolume.firstDescendant(
        [](const XMLElement& e) { return e.name() == "param" && e.attribute("name") == "amount"; });
    if (amountParam) {
        volume.fadeIn = fadeDuration(*amountParam, "fadeIn");
        volume.fadeOut = fadeDuration(*amountParam, "fadeOut");
    }
    if (!volume.adjustVolume && !volume.fadeIn && !volume.fadeOut) {
        return std::nullopt;
    }
    return volume;
}

bool isMutedByVolume(const koltutils::OptionalBox<ClipVolume>& clipVolume) noexcept {
    return clipVolume && clipVolume->adjustVolume && *clipVolume->adjustVolume <= mutedGainDecibels;
}

std::optional<std::vector<ClipEffect>> parseClipEffects(const xmltree::XMLElement& clip,
                                                        const std::optional<Resources>& resources) {
    std::optional<std::vector<ClipEffect>> effects;
    for (const auto& filter : clip.children()) {
        if (filter->name() != "filter-audio") {
            continue;
        }
        if (!effects) {
            effects.emplace();
        }
        const auto ref = filter->attribute("ref");
        const Effect* resource = ref && resources ? resources->findEffect(*ref) : nullptr;
        if (!resource) {
            continue;
        }
        effects->push_back(ClipEffect{
            .name = textAttribute(*filter, "name"),
            .uid = resource->uid,
            .presetID = textAttribute(*filter, "presetID"),
            .effectState = effectStateOf(*filter),
            .params = paramsOf(*filter),
            .enabled = filter->attribute("enabled") != "0",
        });
    }
    return effects;
}

std::optional<ClipContent> parseClipContent(const xmltree::XMLElement& element) {
    const auto contentType = koltutils::fromRawValue<ClipContent::ContentType>(element.name());
    const auto ref = element.attribute("ref");
    if (!contentType || !ref) {
        return std::nullopt;
    }
    ClipContent content{
        .contentType = *contentType,
        .ref = std::string(*ref),
        .clipTime = parseClipTime(element),
        .role = textAttribute(element, "audioRole"),
        .srcCh = std::nullopt,
        .lane = integerAttribute(element, "lane"),
    };
    if (!content.role) {
        content.role = textAttribute(element, "role");
    }
    if (const auto srcCh = element.attribute("srcCh")) {
        content.srcCh = readSourceChannels(*srcCh);
    }
    return content;
}

} // namespace kvnfcpx::detail
