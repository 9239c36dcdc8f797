#include "AttributeReading.h"
#include "Base64.h"
#include "FileLocations.h"
#include "ResourceReader.h"

#include <koltutils/Log.h>

namespace kvnfcpx::detail {

namespace {

using xmltree::XMLElement;

std::vector<XMLElement::Ptr> descendantsNamed(const XMLElement& element, std::string_view name) {
    return element.allDescendants([name](const XMLElement& e) { return e.name() == name; });
}

// The element that says where an asset's media is, and which kind of media it is. From 1.9 on
// an asset lists "media-rep" elements (original media preferred over a proxy); before, and
// when there is none, the asset element carries `src` itself.
struct Representation {
    const XMLElement* element;
    Asset::MediaRep::Kind kind;
};

Representation chooseRepresentation(const XMLElement& asset, Version version) {
    using Kind = Asset::MediaRep::Kind;
    if (version >= Version::v1_9) {
        for (const Kind kind : {Kind::originalMedia, Kind::proxyMedia}) {
            const auto rep = asset.firstDescendant([kind](const XMLElement& e) {
                return e.name() == "media-rep" && e.attribute("kind") == koltutils::rawValue(kind);
            });
            if (rep) {
                return {rep.get(), kind};
            }
        }
    }
    return {&asset, Kind::originalMedia};
}

// Decodes and resolves a bookmark; logs why when it cannot.
std::optional<koltutils::URL> readBookmark(const std::string& base64Text,
                                           const BookmarkResolver& resolver) {
    std::optional<koltutils::URL> resolved;
    if (const auto data = decodeBase64(base64Text)) {
        resolved = resolver.resolve(*data);
    }
    if (!resolved) {
        KOLT_LOG_ERROR(__func__, "Failed to resolve data string");
    }
    return resolved;
}

Asset::MediaRep makeMediaRep(std::string src, Asset::MediaRep::Kind kind,
                             std::optional<std::string> bookmark,
                             const BookmarkResolver& resolver) {
    Asset::MediaRep mediaRep{.kind = kind, .src = std::move(src), .bookmark = std::move(bookmark)};
    mediaRep.url = urlFromString(mediaRep.src);
    const bool present = mediaRep.url && somethingExists(*mediaRep.url);
    if (!present && mediaRep.bookmark) {
        const auto resolved = readBookmark(*mediaRep.bookmark, resolver);
        if (resolved && somethingExists(*resolved)) {
            mediaRep.src = absoluteString(*resolved);
            mediaRep.url = resolved;
            KOLT_LOG_DEBUG(__func__, "resolved bookmark to", mediaRep.src);
        }
    }
    return mediaRep;
}

} // namespace

Resources ResourceReader::parseResources(const xmltree::XMLElement& from) const {
    Resources result{
        .formats = parseFormats(from),
        .assets = parseAssets(from),
        .media = parseMedia(from),
        .effects = parseEffects(from),
    };
    result.reindex();
    return result;
}

std::vector<Format> ResourceReader::parseFormats(const xmltree::XMLElement& from) {
    std::vector<Format> formats;
    for (const auto& element : descendantsNamed(from, "format")) {
        auto id = textAttribute(*element, "id");
        if (!id) {
            continue;
        }
        formats.push_back(Format{
            .id = std::move(*id),
            .name = textAttribute(*element, "name"),
            .frameDuration = timeAttribute(*element, "frameDuration"),
            .width = doubleAttribute(*element, "width"),
            .height = doubleAttribute(*element, "height"),
            .colorspace = textAttribute(*element, "colorspace"),
        });
    }
    return formats;
}

std::vector<koltutils::SharedValue<Asset>>
ResourceReader::parseAssets(const xmltree::XMLElement& from) const {
    std::vector<koltutils::SharedValue<Asset>> assets;
    for (const auto& element : descendantsNamed(from, "asset")) {
        if (auto asset = parseAsset(*element)) {
            assets.push_back(std::move(*asset));
        }
    }
    return assets;
}

std::optional<Asset> ResourceReader::parseAsset(const xmltree::XMLElement& element) const {
    auto id = textAttribute(element, "id");
    if (!id) {
        KOLT_LOG_ERROR(__func__, "Invalid asset: missing id");
        return std::nullopt;
    }
    const Representation representation = chooseRepresentation(element, version_);
    auto src = textAttribute(*representation.element, "src");
    if (!src) {
        KOLT_LOG_ERROR(__func__, "Element is missing required media-rep data");
        return std::nullopt;
    }
    const auto bookmarkElement = representation.element->child("bookmark")->first();
    auto mediaRep =
        makeMediaRep(std::move(*src), representation.kind,
                     bookmarkElement ? bookmarkElement->value() : std::nullopt, bookmarkResolver_);
    if (options_.validateMedia && !(mediaRep.url && somethingExists(*mediaRep.url))) {
        KOLT_LOG_ERROR(__func__, "Missing media:",
                       mediaRep.url ? pathOf(*mediaRep.url).string() : std::string());
        return std::nullopt;
    }
    mediaRep.sig = textAttribute(*representation.element, "sig");

    // The asset's name and uid are not read.
    return Asset{
        .audioChannels = integerAttribute(element, "audioChannels"),
        .audioRate = doubleAttribute(element, "audioRate"),
        .audioSources = integerAttribute(element, "audioSources"),
        .hasAudio = flagAttribute(element, "hasAudio"),
        .hasVideo = flagAttribute(element, "hasVideo"),
        .id = std::move(*id),
        .clipTime = parseClipTime(element),
        .mediaRep = std::move(mediaRep),
    };
}

std::vector<Media> ResourceReader::parseMedia(const xmltree::XMLElement& from) {
    std::vector<Media> media;
    for (const auto& element : descendantsNamed(from, "media")) {
        auto id = textAttribute(*element, "id");
        if (!id) {
            continue;
        }
        const auto& children = element->children();
        media.push_back(Media{
            .id = std::move(*id),
            .uid = textAttribute(*element, "uid"),
            .name = textAttribute(*element, "name"),
            .child = children.empty() ? nullptr : children.front(),
        });
    }
    return media;
}

std::vector<Effect> ResourceReader::parseEffects(const xmltree::XMLElement& from) {
    std::vector<Effect> effects;
    for (const auto& element : descendantsNamed(from, "effect")) {
        auto id = textAttribute(*element, "id");
        auto uid = textAttribute(*element, "uid");
        if (!id || !uid) {
            continue;
        }
        effects.push_back(Effect{
            .id = std::move(*id),
            .uid = std::move(*uid),
            .name = textAttribute(*element, "name"),
        });
    }
    return effects;
}

ClipTime parseClipTime(const xmltree::XMLElement& element) {
    const auto time = [&element](std::string_view name) {
        return timeAttribute(element, name).value_or(timecode::CMTime::zero);
    };
    return ClipTime{
        .start = time("start"),
        .offset = time("offset"),
        .duration = time("duration"),
        .audioStart = time("audioStart"),
        .audioDuration = time("audioDuration"),
        .clipItem = clipItemFromElementName(element.name()),
    };
}

} // namespace kvnfcpx::detail
