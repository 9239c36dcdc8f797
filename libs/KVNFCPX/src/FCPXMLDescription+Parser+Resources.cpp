#include "AttributeReading.h"
#include "Base64.h"
#include "FileLocations.h"
#include "kvnfcpx/FCPXMLDescription.h"

#include <koltutils/Log.h>

namespace kvnfcpx {

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
    if (const auto data = detail::decodeBase64(base64Text)) {
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
    mediaRep.url = detail::urlFromString(mediaRep.src);
    const bool present = mediaRep.url && detail::somethingExists(*mediaRep.url);
    if (!present && mediaRep.bookmark) {
        const auto resolved = readBookmark(*mediaRep.bookmark, resolver);
        if (resolved && detail::somethingExists(*resolved)) {
            mediaRep.src = detail::absoluteString(*resolved);
            mediaRep.url = resolved;
            KOLT_LOG_DEBUG(__func__, "resolved bookmark to", mediaRep.src);
        }
    }
    return mediaRep;
}

} // namespace

Resources FCPXMLDescription::parseResources(const xmltree::XMLElement& from,
                                            const BookmarkResolver& bookmarkResolver) const {
    Resources result{
        .formats = parseFormats(from),
        .assets = parseAssets(from, bookmarkResolver),
        .media = parseMedia(from),
        .effects = parseEffects(from),
    };
    result.reindex();
    return result;
}

std::vector<Format> FCPXMLDescription::parseFormats(const xmltree::XMLElement& from) {
    std::vector<Format> formats;
    for (const auto& element : descendantsNamed(from, "format")) {
        auto id = detail::textAttribute(*element, "id");
        if (!id) {
            continue;
        }
        formats.push_back(Format{
            .id = std::move(*id),
            .name = detail::textAttribute(*element, "name"),
            .frameDuration = detail::timeAttribute(*element, "frameDuration"),
            .width = detail::doubleAttribute(*element, "width"),
            .height = detail::doubleAttribute(*element, "height"),
            .colorspace = detail::textAttribute(*element, "colorspace"),
        });
    }
    return formats;
}

std::vector<koltutils::SharedValue<Asset>>
FCPXMLDescription::parseAssets(const xmltree::XMLElement& from,
                               const BookmarkResolver& bookmarkResolver) const {
    std::vector<koltutils::SharedValue<Asset>> assets;
    for (const auto& element : descendantsNamed(from, "asset")) {
        if (auto asset = parseAsset(*element, bookmarkResolver)) {
            assets.push_back(std::move(*asset));
        }
    }
    return assets;
}

std::optional<Asset> FCPXMLDescription::parseAsset(const xmltree::XMLElement& element,
                                                   const BookmarkResolver& bookmarkResolver) const {
    auto id = detail::textAttribute(element, "id");
    if (!id) {
        KOLT_LOG_ERROR(__func__, "Invalid asset: missing id");
        return std::nullopt;
    }
    const Representation representation = chooseRepresentation(element, version);
    auto src = detail::textAttribute(*representation.element, "src");
    if (!src) {
        KOLT_LOG_ERROR(__func__, "Element is missing required media-rep data");
        return std::nullopt;
    }
    const auto bookmarkElement = representation.element->child("bookmark")->first();
    auto mediaRep =
        makeMediaRep(std::move(*src), representation.kind,
                     bookmarkElement ? bookmarkElement->value() : std::nullopt, bookmarkResolver);
    if (parserOptions.validateMedia && !(mediaRep.url && detail::somethingExists(*mediaRep.url))) {
        KOLT_LOG_ERROR(__func__, "Missing media:",
                       mediaRep.url ? detail::pathOf(*mediaRep.url).string() : std::string());
        return std::nullopt;
    }
    mediaRep.sig = detail::textAttribute(*representation.element, "sig");

    // The asset's name and uid are not read.
    return Asset{
        .audioChannels = detail::integerAttribute(element, "audioChannels"),
        .audioRate = detail::doubleAttribute(element, "audioRate"),
        .audioSources = detail::integerAttribute(element, "audioSources"),
        .hasAudio = detail::flagAttribute(element, "hasAudio"),
        .hasVideo = detail::flagAttribute(element, "hasVideo"),
        .id = std::move(*id),
        .clipTime = parseClipTime(element),
        .mediaRep = std::move(mediaRep),
    };
}

std::vector<Media> FCPXMLDescription::parseMedia(const xmltree::XMLElement& from) {
    std::vector<Media> media;
    for (const auto& element : descendantsNamed(from, "media")) {
        auto id = detail::textAttribute(*element, "id");
        if (!id) {
            continue;
        }
        const auto& children = element->children();
        media.push_back(Media{
            .id = std::move(*id),
            .uid = detail::textAttribute(*element, "uid"),
            .name = detail::textAttribute(*element, "name"),
            .child = children.empty() ? nullptr : children.front(),
        });
    }
    return media;
}

std::vector<Effect> FCPXMLDescription::parseEffects(const xmltree::XMLElement& from) {
    std::vector<Effect> effects;
    for (const auto& element : descendantsNamed(from, "effect")) {
        auto id = detail::textAttribute(*element, "id");
        auto uid = detail::textAttribute(*element, "uid");
        if (!id || !uid) {
            continue;
        }
        effects.push_back(Effect{
            .id = std::move(*id),
            .uid = std::move(*uid),
            .name = detail::textAttribute(*element, "name"),
        });
    }
    return effects;
}

ClipTime FCPXMLDescription::parseClipTime(const xmltree::XMLElement& element) {
    const auto time = [&element](std::string_view name) {
        return detail::timeAttribute(element, name).value_or(timecode::CMTime::zero);
    };
    return ClipTime{
        .isValid = true,
        .start = time("start"),
        .offset = time("offset"),
        .duration = time("duration"),
        .audioStart = time("audioStart"),
        .audioDuration = time("audioDuration"),
        .clipItem = clipItemFromElementName(element.name()),
    };
}

} // namespace kvnfcpx
