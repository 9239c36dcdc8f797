#include "DescriptionJSON.h"

#include "DescriptionFormatting.h"
#include "JSONWriter.h"

#include <koltutils/EnumTable.h>
#include <koltutils/OptionalValue.h>
#include <string>
#include <xmltree/XMLElement.h>

namespace velotrack::cli {

namespace {

using namespace kvnfcpx;

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
void write(JSONWriter& json, const timecode::CMTime& time);
void write(JSONWriter& json, const koltutils::URL& url);
void write(JSONWriter& json, const ClipTime& clipTime);
void write(JSONWriter& json, const ClipVolume& volume);
void write(JSONWriter& json, const ClipEffect::Param& param);
void write(JSONWriter& json, const ClipEffect& effect);
void write(JSONWriter& json, const ClipContent& content);
void write(JSONWriter& json, const Asset::MediaRep& mediaRep);
void write(JSONWriter& json, const Asset& asset);
void write(JSONWriter& json, const AssetClip& clip);
void write(JSONWriter& json, const Marker& marker);
void write(JSONWriter& json, const SequenceContent& content);
void write(JSONWriter& json, const Format& format);
void write(JSONWriter& json, const Media& media);
void write(JSONWriter& json, const Effect& effect);
void write(JSONWriter& json, const Resources& resources);
void write(JSONWriter& json, const Library& library);
void write(JSONWriter& json, const ImportOptions& options);

void write(JSONWriter& json, const std::string& text) {
    json.string(text);
}

void write(JSONWriter& json, bool value) {
    json.boolean(value);
}

template <typename T>
requires std::is_integral_v<T> &&(!std::is_same_v<T, bool>)void write(JSONWriter& json, T value) {
    json.integer(static_cast<std::int64_t>(value));
}

template <typename T>
requires std::is_floating_point_v<T>
void write(JSONWriter& json, T value) {
    json.number(static_cast<double>(value));
}

template <typename E>
requires std::is_enum_v<E>
void write(JSONWriter& json, E value) {
    json.string(koltutils::rawValue(value));
}

template <typename T> void write(JSONWriter& json, const std::vector<T>& values);

template <koltutils::OptionalValue Optional> void write(JSONWriter& json, const Optional& value) {
    if (value) {
        write(json, *value);
    } else {
        json.null();
    }
}

template <typename T> void write(JSONWriter& json, const koltutils::SharedValue<T>& value) {
    write(json, *value);
}

template <typename T> void write(JSONWriter& json, const std::vector<T>& values) {
    json.beginArray();
    for (const auto& value : values) {
        write(json, value);
    }
    json.endArray();
}

// A member: its key, then its value in whichever form the overloads above give it.
template <typename T> void member(JSONWriter& json, std::string_view key, const T& value) {
    json.key(key);
    write(json, value);
}

void write(JSONWriter& json, const timecode::CMTime& time) {
    json.string(exactTimeText(time));
}

void write(JSONWriter& json, const koltutils::URL& url) {
    json.string(urlText(url));
}

void write(JSONWriter& json, const ClipTime& clipTime) {
    json.beginObject();
    member(json, "isValid", clipTime.isValid);
    member(json, "start", clipTime.start);
    member(json, "offset", clipTime.offset);
    member(json, "duration", clipTime.duration);
    member(json, "audioStart", clipTime.audioStart);
    member(json, "audioDuration", clipTime.audioDuration);
    member(json, "clipItem", clipTime.clipItem);
    json.endObject();
}

void write(JSONWriter& json, const ClipVolume& volume) {
    json.beginObject();
    member(json, "adjustVolume", volume.adjustVolume);
    member(json, "fadeIn", volume.fadeIn);
    member(json, "fadeOut", volume.fadeOut);
    json.endObject();
}

void write(JSONWriter& json, const ClipEffect::Param& param) {
    json.beginObject();
    member(json, "name", param.name);
    member(json, "key", param.key);
    member(json, "value", param.value);
    json.endObject();
}

void write(JSONWriter& json, const ClipEffect& effect) {
    json.beginObject();
    member(json, "name", effect.name);
    member(json, "uid", effect.uid);
    member(json, "presetID", effect.presetID);
    json.key("effectState");
    if (effect.effectState) {
        json.string(base64Text(*effect.effectState));
    } else {
        json.null();
    }
    member(json, "params", effect.params);
    member(json, "enabled", effect.enabled);
    json.endObject();
}

void write(JSONWriter& json, const ClipContent& content) {
    json.beginObject();
    member(json, "contentType", content.contentType);
    member(json, "ref", content.ref);
    member(json, "clipTime", content.clipTime);
    member(json, "role", content.role);
    member(json, "srcCh", content.srcCh);
    member(json, "lane", content.lane);
    json.endObject();
}

void write(JSONWriter& json, const Asset::MediaRep& mediaRep) {
    json.beginObject();
    member(json, "kind", mediaRep.kind);
    member(json, "sig", mediaRep.sig);
    member(json, "src", mediaRep.src);
    member(json, "bookmark", mediaRep.bookmark);
    member(json, "url", mediaRep.url);
    json.endObject();
}

void write(JSONWriter& json, const Asset& asset) {
    json.beginObject();
    member(json, "name", asset.name);
    member(json, "uid", asset.uid);
    member(json, "audioChannels", asset.audioChannels);
    member(json, "audioRate", asset.audioRate);
    member(json, "audioSources", asset.audioSources);
    member(json, "hasAudio", asset.hasAudio);
    member(json, "hasVideo", asset.hasVideo);
    member(json, "id", asset.id);
    member(json, "clipTime", asset.clipTime);
    member(json, "mediaRep", asset.mediaRep);
    json.endObject();
}

// A clip names its asset; the asset's full record is under resources.
void writeAssetReference(JSONWriter& json, const Asset& asset) {
    json.beginObject();
    member(json, "id", asset.id);
    json.key("mediaRep");
    json.beginObject();
    member(json, "kind", asset.mediaRep.kind);
    member(json, "src", asset.mediaRep.src);
    member(json, "url", asset.mediaRep.url);
    json.endObject();
    json.endObject();
}

void write(JSONWriter& json, const AssetClip& clip) {
    json.beginObject();
    member(json, "ref", clip.ref);
    json.key("asset");
    writeAssetReference(json, *clip.asset);
    member(json, "clipTime", clip.clipTime);
    member(json, "clipVolume", clip.clipVolume);
    member(json, "effects", clip.effects);
    member(json, "name", clip.name);
    member(json, "audioRole", clip.audioRole);
    member(json, "audioClipContent", clip.audioClipContent);
    member(json, "note", clip.note);
    member(json, "lane", clip.lane);
    member(json, "mute", clip.mute);
    member(json, "groupId", clip.groupId);
    json.endObject();
}

void write(JSONWriter& json, const Marker& marker) {
    json.beginObject();
    member(json, "value", marker.value);
    member(json, "clipTime", marker.clipTime);
    json.endObject();
}

void write(JSONWriter& json, const SequenceContent& content) {
    json.beginObject();
    member(json, "assetClips", content.assetClips);
    member(json, "markers", content.markers);
    json.endObject();
}

void write(JSONWriter& json, const Format& format) {
    json.beginObject();
    member(json, "id", format.id);
    member(json, "name", format.name);
    member(json, "frameDuration", format.frameDuration);
    member(json, "width", format.width);
    member(json, "height", format.height);
    member(json, "colorspace", format.colorspace);
    json.endObject();
}

void write(JSONWriter& json, const Media& media) {
    json.beginObject();
    member(json, "id", media.id);
    member(json, "uid", media.uid);
    member(json, "name", media.name);
    json.key("child");
    if (media.child) {
        json.string(media.child->name());
    } else {
        json.null();
    }
    json.endObject();
}

void write(JSONWriter& json, const Effect& effect) {
    json.beginObject();
    member(json, "id", effect.id);
    member(json, "uid", effect.uid);
    member(json, "name", effect.name);
    json.endObject();
}

void write(JSONWriter& json, const Resources& resources) {
    json.beginObject();
    member(json, "formats", resources.formats);
    member(json, "assets", resources.assets);
    member(json, "media", resources.media);
    member(json, "effects", resources.effects);
    json.endObject();
}

void write(JSONWriter& json, const Library& library) {
    json.beginObject();
    member(json, "location", library.location);
    json.endObject();
}

void write(JSONWriter& json, const ImportOptions& options) {
    json.beginObject();
    member(json, "libraryLocation", options.libraryLocation);
    member(json, "copyAssets", options.copyAssets);
    member(json, "supressWarnings", options.supressWarnings);
    json.endObject();
}

void writeSequence(JSONWriter& json, const FCPXMLDescription& description,
                   const Sequence& sequence) {
    const auto frameRate = description.frameRate();
    const auto startTimecode =
        frameRate ? description.projectStartTimecode() : std::optional<timecode::Timecode>();
    json.beginObject();
    member(json, "tcStart", sequence.tcStart);
    member(json, "tcFormat", sequence.tcFormat);
    member(json, "format", sequence.format);
    member(json, "audioRate", sequence.audioRate);
    member(json, "audioLayout", sequence.audioLayout);
    member(json, "renderFormat", sequence.renderFormat);
    member(json, "duration", sequence.duration);
    json.key("frameRate");
    if (frameRate) {
        json.string(frameRateText(*frameRate));
    } else {
        json.null();
    }
    json.key("startTimecode");
    if (startTimecode) {
        json.string(startTimecode->stringValue());
    } else {
        json.null();
    }
    member(json, "content", sequence.content);
    json.endObject();
}

void writeProject(JSONWriter& json, const FCPXMLDescription& description, const Project& project) {
    json.beginObject();
    member(json, "name", project.name);
    member(json, "uid", project.uid);
    json.key("sequence");
    if (project.sequence) {
        writeSequence(json, description, *project.sequence);
    } else {
        json.null();
    }
    json.endObject();
}

} // namespace

void writeDescriptionJSON(const FCPXMLDescription& description, std::ostream& out) {
    JSONWriter json(out);
    json.beginObject();
    json.key("version");
    json.string(stringValue(description.version));
    json.key("parserOptions");
    json.beginObject();
    member(json, "validateMedia", description.parserOptions.validateMedia);
    json.endObject();
    member(json, "library", description.library);
    member(json, "importOptions", description.importOptions);
    json.key("project");
    if (description.project) {
        writeProject(json, description, *description.project);
    } else {
        json.null();
    }
    member(json, "resources", description.resources);
    json.endObject();
    json.flush();
    out << '\n';
}

} // namespace velotrack::cli
