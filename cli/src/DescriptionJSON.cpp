#include "DescriptionJSON.h"

#include "DescriptionFormatting.h"

#include <array>
#include <koltutils/EnumTable.h>
#include <string>

namespace velotrack::cli {

namespace {

using nlohmann::ordered_json;
using namespace kvnfcpx;

std::string timeText(const timecode::CMTime& time) {
    if (!time.isNumeric()) {
        return time.description();
    }
    return time.timescale == 1
               ? std::to_string(time.value) + "s"
               : std::to_string(time.value) + "/" + std::to_string(time.timescale) + "s";
}

std::string base64Text(const std::vector<std::uint8_t>& bytes) {
    static constexpr std::string_view alphabet =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string text;
    for (std::size_t i = 0; i < bytes.size(); i += 3) {
        const std::size_t count = std::min<std::size_t>(3, bytes.size() - i);
        std::uint32_t group = 0;
        for (std::size_t k = 0; k < 3; ++k) {
            group = group << 8 | (k < count ? bytes[i + k] : 0u);
        }
        for (std::size_t k = 0; k < 4; ++k) {
            text += k <= count ? alphabet[(group >> (18 - 6 * k)) & 0x3F] : '=';
        }
    }
    return text;
}

// Every record has an overload; they are declared first so that the templates for optionals
// and lists below find them (the records live in another namespace, out of reach of ADL here).
ordered_json toJSON(const timecode::CMTime& time);
ordered_json toJSON(const koltutils::URL& url);
ordered_json toJSON(const ClipTime& clipTime);
ordered_json toJSON(const ClipVolume& volume);
ordered_json toJSON(const ClipEffect::Param& param);
ordered_json toJSON(const ClipEffect& effect);
ordered_json toJSON(const ClipContent& content);
ordered_json toJSON(const Asset::MediaRep& mediaRep);
ordered_json toJSON(const Asset& asset);
ordered_json toJSON(const AssetClip& clip);
ordered_json toJSON(const Marker& marker);
ordered_json toJSON(const SequenceContent& content);
ordered_json toJSON(const Format& format);
ordered_json toJSON(const Media& media);
ordered_json toJSON(const Effect& effect);
ordered_json toJSON(const Resources& resources);
ordered_json toJSON(const Library& library);
ordered_json toJSON(const ImportOptions& options);

template <typename T>
requires std::is_arithmetic_v<T> || std::is_same_v<T, std::string>
    ordered_json toJSON(const T& value) {
    return value;
}

template <typename E>
requires std::is_enum_v<E> ordered_json toJSON(E value) {
    return std::string(koltutils::rawValue(value));
}

template <typename T> ordered_json toJSON(const std::vector<T>& values);

template <typename T> ordered_json toJSON(const std::optional<T>& value) {
    return value ? toJSON(*value) : ordered_json(nullptr);
}

template <typename T> ordered_json toJSON(const koltutils::OptionalBox<T>& value) {
    return value ? toJSON(*value) : ordered_json(nullptr);
}

template <typename T> ordered_json toJSON(const std::vector<T>& values) {
    ordered_json array = ordered_json::array();
    for (const auto& value : values) {
        array.push_back(toJSON(value));
    }
    return array;
}

ordered_json toJSON(const timecode::CMTime& time) {
    return timeText(time);
}

ordered_json toJSON(const koltutils::URL& url) {
    return urlText(url);
}

ordered_json toJSON(const ClipTime& clipTime) {
    return {
        {"isValid", clipTime.isValid},
        {"start", toJSON(clipTime.start)},
        {"offset", toJSON(clipTime.offset)},
        {"duration", toJSON(clipTime.duration)},
        {"audioStart", toJSON(clipTime.audioStart)},
        {"audioDuration", toJSON(clipTime.audioDuration)},
        {"clipItem", toJSON(clipTime.clipItem)},
    };
}

ordered_json toJSON(const ClipVolume& volume) {
    return {
        {"adjustVolume", toJSON(volume.adjustVolume)},
        {"fadeIn", toJSON(volume.fadeIn)},
        {"fadeOut", toJSON(volume.fadeOut)},
    };
}

ordered_json toJSON(const ClipEffect::Param& param) {
    return {{"name", param.name}, {"key", param.key}, {"value", param.value}};
}

ordered_json toJSON(const ClipEffect& effect) {
    return {
        {"name", toJSON(effect.name)},
        {"uid", effect.uid},
        {"presetID", toJSON(effect.presetID)},
        {"effectState", effect.effectState ? ordered_json(base64Text(*effect.effectState))
                                           : ordered_json(nullptr)},
        {"params", toJSON(effect.params)},
        {"enabled", effect.enabled},
    };
}

ordered_json toJSON(const ClipContent& content) {
    return {
        {"contentType", toJSON(content.contentType)},
        {"ref", content.ref},
        {"clipTime", toJSON(content.clipTime)},
        {"role", toJSON(content.role)},
        {"srcCh", toJSON(content.srcCh)},
        {"lane", toJSON(content.lane)},
    };
}

ordered_json toJSON(const Asset::MediaRep& mediaRep) {
    return {
        {"kind", toJSON(mediaRep.kind)}, {"sig", toJSON(mediaRep.sig)},
        {"src", mediaRep.src},           {"bookmark", toJSON(mediaRep.bookmark)},
        {"url", toJSON(mediaRep.url)},
    };
}

ordered_json toJSON(const Asset& asset) {
    return {
        {"name", toJSON(asset.name)},
        {"uid", toJSON(asset.uid)},
        {"audioChannels", toJSON(asset.audioChannels)},
        {"audioRate", toJSON(asset.audioRate)},
        {"audioSources", toJSON(asset.audioSources)},
        {"hasAudio", asset.hasAudio},
        {"hasVideo", asset.hasVideo},
        {"id", asset.id},
        {"clipTime", toJSON(asset.clipTime)},
        {"mediaRep", toJSON(asset.mediaRep)},
    };
}

// A clip names its asset; the asset's full record is under resources.
ordered_json assetReference(const Asset& asset) {
    return {
        {"id", asset.id},
        {"mediaRep",
         {{"kind", toJSON(asset.mediaRep.kind)},
          {"src", asset.mediaRep.src},
          {"url", toJSON(asset.mediaRep.url)}}},
    };
}

ordered_json toJSON(const AssetClip& clip) {
    return {
        {"ref", clip.ref},
        {"asset", assetReference(clip.asset)},
        {"clipTime", toJSON(clip.clipTime)},
        {"clipVolume", toJSON(clip.clipVolume)},
        {"effects", toJSON(clip.effects)},
        {"name", toJSON(clip.name)},
        {"audioRole", toJSON(clip.audioRole)},
        {"audioClipContent", toJSON(clip.audioClipContent)},
        {"note", toJSON(clip.note)},
        {"lane", toJSON(clip.lane)},
        {"mute", clip.mute},
        {"groupId", toJSON(clip.groupId)},
    };
}

ordered_json toJSON(const Marker& marker) {
    return {{"value", marker.value}, {"clipTime", toJSON(marker.clipTime)}};
}

ordered_json toJSON(const SequenceContent& content) {
    return {{"assetClips", toJSON(content.assetClips)}, {"markers", toJSON(content.markers)}};
}

ordered_json toJSON(const Format& format) {
    return {
        {"id", format.id},
        {"name", toJSON(format.name)},
        {"frameDuration", toJSON(format.frameDuration)},
        {"width", toJSON(format.width)},
        {"height", toJSON(format.height)},
        {"colorspace", toJSON(format.colorspace)},
    };
}

ordered_json toJSON(const Media& media) {
    return {
        {"id", media.id},
        {"uid", toJSON(media.uid)},
        {"name", toJSON(media.name)},
        {"child", media.child ? ordered_json(media.child->name()) : ordered_json(nullptr)},
    };
}

ordered_json toJSON(const Effect& effect) {
    return {{"id", effect.id}, {"uid", effect.uid}, {"name", toJSON(effect.name)}};
}

ordered_json toJSON(const Resources& resources) {
    return {
        {"formats", toJSON(resources.formats)},
        {"assets", toJSON(resources.assets)},
        {"media", toJSON(resources.media)},
        {"effects", toJSON(resources.effects)},
    };
}

ordered_json toJSON(const Library& library) {
    return {{"location", toJSON(library.location)}};
}

ordered_json toJSON(const ImportOptions& options) {
    return {
        {"libraryLocation", toJSON(options.libraryLocation)},
        {"copyAssets", options.copyAssets},
        {"supressWarnings", options.supressWarnings},
    };
}

ordered_json sequenceJSON(const FCPXMLDescription& description, const Sequence& sequence) {
    const auto frameRate = description.frameRate();
    const auto startTimecode =
        frameRate ? description.projectStartTimecode() : std::optional<timecode::Timecode>();
    return {
        {"tcStart", toJSON(sequence.tcStart)},
        {"tcFormat", toJSON(sequence.tcFormat)},
        {"format", toJSON(sequence.format)},
        {"audioRate", toJSON(sequence.audioRate)},
        {"audioLayout", toJSON(sequence.audioLayout)},
        {"renderFormat", toJSON(sequence.renderFormat)},
        {"duration", toJSON(sequence.duration)},
        {"frameRate", frameRate ? ordered_json(frameRateText(*frameRate)) : ordered_json(nullptr)},
        {"startTimecode",
         startTimecode ? ordered_json(startTimecode->stringValue()) : ordered_json(nullptr)},
        {"content", toJSON(sequence.content)},
    };
}

ordered_json projectJSON(const FCPXMLDescription& description, const Project& project) {
    return {
        {"name", toJSON(project.name)},
        {"uid", toJSON(project.uid)},
        {"sequence",
         project.sequence ? sequenceJSON(description, *project.sequence) : ordered_json(nullptr)},
    };
}

} // namespace

nlohmann::ordered_json descriptionJSON(const FCPXMLDescription& description) {
    return {
        {"version", std::string(stringValue(description.version))},
        {"parserOptions", {{"validateMedia", description.parserOptions.validateMedia}}},
        {"library", toJSON(description.library)},
        {"importOptions", toJSON(description.importOptions)},
        {"project", description.project ? projectJSON(description, *description.project)
                                        : ordered_json(nullptr)},
        {"resources", toJSON(description.resources)},
    };
}

} // namespace velotrack::cli
