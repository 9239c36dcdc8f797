#pragma once

// Reads the "resources" element of a document: formats, assets (with their media located),
// compound and multicam media, and effects.

#include "kvnfcpx/Asset.h"
#include "kvnfcpx/BookmarkResolver.h"
#include "kvnfcpx/ClipTime.h"
#include "kvnfcpx/Effect.h"
#include "kvnfcpx/Format.h"
#include "kvnfcpx/Media.h"
#include "kvnfcpx/ParserOptions.h"
#include "kvnfcpx/Resources.h"
#include "kvnfcpx/Version.h"

#include <koltutils/SharedValue.h>
#include <optional>
#include <vector>
#include <xmltree/XMLElement.h>

namespace kvnfcpx::detail {

// `from` is the "resources" element. Each reader collects every matching element anywhere
// below it, in document order, and skips (and, for assets, logs) what lacks a required
// attribute.
class ResourceReader {
public:
    // `version` decides which element holds an asset's media location; `options` whether an
    // asset whose media is missing is kept. Both, and the resolver, outlive the reader.
    ResourceReader(Version version, const ParserOptions& options,
                   const BookmarkResolver& bookmarkResolver) noexcept
        : version_(version), options_(options), bookmarkResolver_(bookmarkResolver) {}

    // The four lists, read in the order formats, assets, media, effects, and indexed.
    [[nodiscard]] Resources parseResources(const xmltree::XMLElement& from) const;
    [[nodiscard]] std::vector<koltutils::SharedValue<Asset>>
    parseAssets(const xmltree::XMLElement& from) const;
    [[nodiscard]] std::optional<Asset> parseAsset(const xmltree::XMLElement& element) const;

    [[nodiscard]] static std::vector<Format> parseFormats(const xmltree::XMLElement& from);
    [[nodiscard]] static std::vector<Media> parseMedia(const xmltree::XMLElement& from);
    [[nodiscard]] static std::vector<Effect> parseEffects(const xmltree::XMLElement& from);

private:
    Version version_;
    const ParserOptions& options_;
    const BookmarkResolver& bookmarkResolver_;
};

// The ClipTime of an element's own attributes: offset, start, duration, audioStart and
// audioDuration (zero when missing or unreadable), clipItem from the element name, valid.
[[nodiscard]] ClipTime parseClipTime(const xmltree::XMLElement& element);

} // namespace kvnfcpx::detail
