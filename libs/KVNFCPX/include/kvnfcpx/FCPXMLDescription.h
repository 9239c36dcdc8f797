#pragma once

// The FCPXML interchange engine: a document (file, bundle, text, bytes or element tree) read
// into a plain description of its project, with the timeline flattened into clips and markers.
//
// Error policy. Loading throws, and only loading: a document whose root is not "fcpxml", whose
// version is missing or whose version is not supported throws koltutils::DescribedError with
// the message the user sees. Everything below loading (resources, project, sequence, clips,
// markers, effects) never throws: what cannot be read is logged (KOLT_LOG_DEBUG or
// KOLT_LOG_ERROR) and left out, or the field stays absent. Clips and markers that lie outside
// their container are marked invalid and removed when the sequence is finished.
//
// Telling a user why. The routes fromURL/fromFile, fromText/fromData and fromDocument keep
// their own failure forms (an absent result, xmltree::XMLError, koltutils::DescribedError).
// Programs that show a user why a document cannot be loaded use loadFile (paths and bundles)
// and loadBytes (standard input, pasted data) instead: they take the same steps as the file and
// byte routes, give the same descriptions, and throw one error type, kvnfcpx::LoadingError,
// whatever step failed. Its kind says which step; wasRead() separates an input that could not
// be read (missing, unreadable, a folder without an .fcpxml file) from one that was read and
// refused (wrong extension, not UTF-8, not XML, not a supported FCPXML document); what() is the
// reason, with the XML reader's line and column in the input as given (the file route removes
// line breaks before parsing; positions are mapped back to the file's own lines).

#include "kvnfcpx/AssetClip.h"
#include "kvnfcpx/AudioRole.h"
#include "kvnfcpx/BookmarkResolver.h"
#include "kvnfcpx/ClipContent.h"
#include "kvnfcpx/ClipEffect.h"
#include "kvnfcpx/ClipItem.h"
#include "kvnfcpx/ClipTime.h"
#include "kvnfcpx/ClipVolume.h"
#include "kvnfcpx/ImportOptions.h"
#include "kvnfcpx/Library.h"
#include "kvnfcpx/LoadingError.h"
#include "kvnfcpx/Marker.h"
#include "kvnfcpx/ParserOptions.h"
#include "kvnfcpx/Project.h"
#include "kvnfcpx/Resources.h"
#include "kvnfcpx/Sequence.h"
#include "kvnfcpx/SequenceContent.h"
#include "kvnfcpx/Version.h"

#include <cstdint>
#include <filesystem>
#include <koltutils/URL.h>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <timecode/CMTime.h>
#include <timecode/Timecode.h>
#include <timecode/TimecodeFrameRate.h>
#include <vector>
#include <xmltree/XMLDocument.h>
#include <xmltree/XMLElement.h>

namespace kvnfcpx {

using XMLElementPtr = std::shared_ptr<xmltree::XMLElement>;

// A loaded FCPXML document. A plain value: copies are independent except for `document`, the
// element tree it was read from, which copies share.
struct FCPXMLDescription {
    // The nested records under the names Final Cut Pro users of this engine know them by.
    using Project = kvnfcpx::Project;
    using Sequence = kvnfcpx::Sequence;
    using SequenceContent = kvnfcpx::SequenceContent;
    using AssetClip = kvnfcpx::AssetClip;
    using Marker = kvnfcpx::Marker;
    using Resources = kvnfcpx::Resources;
    using Asset = kvnfcpx::Asset;
    using MediaRep = kvnfcpx::Asset::MediaRep;
    using Format = kvnfcpx::Format;
    using Media = kvnfcpx::Media;
    using Effect = kvnfcpx::Effect;
    using Library = kvnfcpx::Library;
    using ImportOptions = kvnfcpx::ImportOptions;
    using AudioRole = kvnfcpx::AudioRole;

    Version version = Version::v1_6;
    // The tree the description was read from; null for a description built by hand.
    std::shared_ptr<xmltree::XMLDocument> document{};
    ParserOptions parserOptions{};
    std::optional<Library> library{};
    std::optional<Project> project{};
    std::optional<Resources> resources{};
    std::optional<ImportOptions> importOptions{};

    friend bool operator==(const FCPXMLDescription&, const FCPXMLDescription&) = default;

    // ---- Loading (FCPXMLDescription+Loading.cpp) ----------------------------------------

    // A ".fcpxml" file (the lower-cased extension must begin with "fcpxml"). Nothing when the
    // extension does not fit or the file cannot be read, decoded as UTF-8 or parsed; a file
    // that parses but is not a supported FCPXML document throws. A ".fcpxmld" bundle folder
    // cannot be read this way: locate its XML file with xmlFileInBundle() first.
    static std::optional<FCPXMLDescription>
    fromURL(const koltutils::URL& url,
            const BookmarkResolver& bookmarkResolver = BookmarkResolver::platform());
    static std::optional<FCPXMLDescription>
    fromFile(const std::filesystem::path& path,
             const BookmarkResolver& bookmarkResolver = BookmarkResolver::platform());

    // The tree of a file as the file route reads it: the extension checked, the bytes decoded
    // as UTF-8, control characters (line breaks and tabs included) removed, then parsed. Null
    // when any step fails. For callers that need the file route with media validation.
    static std::shared_ptr<xmltree::XMLDocument>
    documentFromFile(const std::filesystem::path& path);

    // The first entry with the extension "fcpxml" (any case) of a folder whose lower-cased
    // extension is exactly "fcpxmld"; nothing otherwise.
    static std::optional<koltutils::URL> xmlFileInBundle(const koltutils::URL& bundle);
    static std::optional<std::filesystem::path>
    xmlFileInBundle(const std::filesystem::path& bundle);

    // XML text or bytes, read with xmltree::XMLOptions::standard(): a parse error is thrown
    // (xmltree::XMLError), then as fromDocument().
    static FCPXMLDescription
    fromText(std::string_view text, bool validateMedia = false,
             const BookmarkResolver& bookmarkResolver = BookmarkResolver::platform());
    static FCPXMLDescription
    fromData(std::span<const std::uint8_t> bytes, bool validateMedia = false,
             const BookmarkResolver& bookmarkResolver = BookmarkResolver::platform());

    // The core construction every route ends in. Throws koltutils::DescribedError with
    // "This isn't a fcpxml document.", "Didn't find the version of this document" or the
    // unsupported-version message.
    static FCPXMLDescription
    fromDocument(std::shared_ptr<xmltree::XMLDocument> document, bool validateMedia = false,
                 const BookmarkResolver& bookmarkResolver = BookmarkResolver::platform());
    // The same with every parser option; with `acceptNewerVersions`, "1.<n>" for n above 13
    // reads as 1.13 (see versionAsWritten()).
    static FCPXMLDescription
    fromDocument(std::shared_ptr<xmltree::XMLDocument> document, const ParserOptions& options,
                 const BookmarkResolver& bookmarkResolver = BookmarkResolver::platform());

    // ---- Diagnosing loading (FCPXMLDescription+Diagnosing.cpp) -----------------------------
    // Both throw LoadingError and nothing else (see the error policy above).

    // A ".fcpxml" file, or a ".fcpxmld" bundle folder through the XML file inside it: the file
    // route's steps (extension, UTF-8, control characters removed, XML, core construction).
    static FCPXMLDescription
    loadFile(const std::filesystem::path& path, const ParserOptions& options = {},
             const BookmarkResolver& bookmarkResolver = BookmarkResolver::platform());
    // The byte route's steps. Bytes that fail to parse and are not UTF-8 (with no other
    // encoding declared) are reported as not UTF-8, as the file route reports them.
    static FCPXMLDescription
    loadBytes(std::span<const std::uint8_t> bytes, const ParserOptions& options = {},
              const BookmarkResolver& bookmarkResolver = BookmarkResolver::platform());

    // The root's `version` attribute as the document writes it; it differs from
    // stringValue(version) when a newer version was read as 1.13. Nothing without a tree.
    [[nodiscard]] std::optional<std::string> versionAsWritten() const;

    // ---- Derived values ---------------------------------------------------------------------

    // The first format resource whose id is the sequence's `format`.
    [[nodiscard]] const Format* sequenceFormat() const;
    // From the sequence format's frameDuration; drop frame exactly when `tcFormat` is "DF".
    [[nodiscard]] std::optional<timecode::TimecodeFrameRate> frameRate() const;
    // The sequence's `tcStart` as a timecode at `frameRate()` (100 sub-frames, 24-hour
    // limit). Logs "frameRate is nil" when there is no frame rate.
    [[nodiscard]] std::optional<timecode::Timecode> projectStartTimecode() const;

    // First-match look-ups by id among the resources (indexed; see Resources::Index).
    [[nodiscard]] const Asset* asset(std::string_view id) const;
    [[nodiscard]] const Media* media(std::string_view id) const;
    [[nodiscard]] const Effect* effect(std::string_view id) const;
    [[nodiscard]] const Format* format(std::string_view id) const;

    // ---- Resources (FCPXMLDescription+Parser+Resources.cpp) ---------------------------------
    // `from` is the "resources" element. Each reader collects every matching element anywhere
    // below it, in document order, and skips (and, for assets, logs) what lacks a required
    // attribute.

    // The four lists, read in the order formats, assets, media, effects, and indexed.
    [[nodiscard]] Resources parseResources(const xmltree::XMLElement& from,
                                           const BookmarkResolver& bookmarkResolver) const;
    [[nodiscard]] static std::vector<Format> parseFormats(const xmltree::XMLElement& from);
    // Uses `version` (which element holds the media location) and `parserOptions`.
    [[nodiscard]] std::vector<koltutils::SharedValue<Asset>>
    parseAssets(const xmltree::XMLElement& from, const BookmarkResolver& bookmarkResolver) const;
    [[nodiscard]] std::optional<Asset> parseAsset(const xmltree::XMLElement& element,
                                                  const BookmarkResolver& bookmarkResolver) const;
    [[nodiscard]] static std::vector<Media> parseMedia(const xmltree::XMLElement& from);
    [[nodiscard]] static std::vector<Effect> parseEffects(const xmltree::XMLElement& from);

    // The ClipTime of an element's own attributes: offset, start, duration, audioStart and
    // audioDuration (zero when missing or unreadable), clipItem from the element name, valid.
    [[nodiscard]] static ClipTime parseClipTime(const xmltree::XMLElement& element);

    // ---- Project, sequence and spine (FCPXMLDescription+Parser.cpp) -------------------------
    // All below read `version`, `parserOptions` and `resources` and never throw.

    // The sequence element's attributes and its flattened content (invalid entries removed).
    [[nodiscard]] Sequence parseSequence(const xmltree::XMLElement& from) const;

    // Walks sibling elements depth first; nothing when both lists come out empty. Entries
    // that lie outside their parent are returned marked invalid.
    [[nodiscard]] std::optional<SequenceContent>
    parseItems(std::span<const XMLElementPtr> from, const timecode::CMTime& tcStart,
               const ClipTime& parentTiming, const std::optional<std::string>& groupId) const;

    // An "asset-clip" or "clip" element; nothing when it has no ref, audio or asset.
    [[nodiscard]] std::optional<AssetClip>
    parseClip(ClipItem clipItem, const xmltree::XMLElement& element,
              const timecode::CMTime& tcStart, const ClipTime& itemTime,
              const ClipTime& parentTiming, const std::optional<std::string>& groupId) const;

    // A "marker" or "chapter-marker" element.
    [[nodiscard]] Marker parseMarker(const xmltree::XMLElement& element,
                                     const timecode::CMTime& tcStart,
                                     const ClipTime& parentTiming) const;

    // ---- Compound, multicam and sync clips (FCPXMLDescription+Parser+Clips.cpp,
    //      +MultiCamClip.cpp, +SyncClip.cpp) ------------------------------------------------

    [[nodiscard]] std::optional<std::vector<AssetClip>>
    parseRefClip(const xmltree::XMLElement& element, const timecode::CMTime& tcStart,
                 const ClipTime& itemTime, const ClipTime& parentTiming,
                 const std::optional<std::string>& groupId) const;
    [[nodiscard]] std::optional<SequenceContent>
    parseMultiCamClip(const xmltree::XMLElement& element, const timecode::CMTime& tcStart,
                      const ClipTime& itemTime, const ClipTime& parentTiming,
                      const std::optional<std::string>& groupId) const;
    [[nodiscard]] std::optional<SequenceContent>
    parseSyncClip(const xmltree::XMLElement& element, const timecode::CMTime& tcStart,
                  const ClipTime& itemTime, const ClipTime& parentTiming,
                  const std::optional<std::string>& groupId) const;

    // A multicam angle clip moved to the multicam clip's place (`containerOffset`, from the
    // enclosing start) and audio range; `tcStart` is the multicam's own start. The multicam
    // clip's volume and effects are folded in.
    [[nodiscard]] static AssetClip
    updateInteriorClipWithContainerOffset(AssetClip assetClip, const ClipTime& containerClipTime,
                                          const timecode::CMTime& containerOffset,
                                          const timecode::CMTime& tcStart,
                                          const std::optional<ClipVolume>& clipVolume,
                                          const std::optional<std::vector<ClipEffect>>& effects);
    // A multicam angle marker moved by the multicam clip's offset; invalid (and logged) outside
    // [0, containerEndTime).
    [[nodiscard]] static Marker updateInteriorMarker(Marker marker,
                                                     const ClipTime& containerClipTime,
                                                     const timecode::CMTime& containerEndTime,
                                                     const timecode::CMTime& tcStart);

    // The clip a sync clip was synchronised on: with two or more clip children and a
    // "sync-source", the first clip whose audio role contains the sync role; else the first
    // clip child. Null (logged) when none can be identified.
    [[nodiscard]] static XMLElementPtr getSyncSource(const xmltree::XMLElement& element);
    // A sync source clip trimmed to the sync clip's in-point and length, with the sync clip's
    // volume and effects folded in, fades in the trimmed parts removed, and marked invalid
    // when it starts at or past `containerEndTime`.
    [[nodiscard]] static AssetClip
    updateInteriorClipWithContainerEndTime(AssetClip assetClip, const ClipTime& containerClipTime,
                                           const timecode::CMTime& containerEndTime,
                                           const timecode::CMTime& tcStart,
                                           const std::optional<ClipVolume>& clipVolume,
                                           const std::optional<std::vector<ClipEffect>>& effects);
    // A sync source marker moved to its distance from the sync clip's in-point; invalid (and
    // logged) outside [0, containerEndTime).
    [[nodiscard]] static Marker updateInteriorMarker(Marker marker,
                                                     const ClipTime& containerClipTime,
                                                     const timecode::CMTime& containerEndTime);

    // ---- Clip audio (FCPXMLDescription+Parser+ClipAudio.cpp) --------------------------------

    // From a clip's first "adjust-volume" child (a detached missing element reads as empty);
    // nothing when neither a gain nor a fade is found.
    [[nodiscard]] static std::optional<ClipVolume>
    parseClipVolume(const xmltree::XMLElement& adjustVolume);
    // Muted by volume: a gain present and at most -90 dB.
    [[nodiscard]] static bool isMutedByVolume(const std::optional<ClipVolume>& clipVolume);
    // The clip's "filter-audio" children whose effect resource exists; nothing when the clip
    // has no "filter-audio" child at all.
    [[nodiscard]] std::optional<std::vector<ClipEffect>>
    parseClipEffects(const xmltree::XMLElement& clip) const;
    // An "audio" or "video" element with a `ref`.
    [[nodiscard]] static std::optional<ClipContent>
    parseClipContent(const xmltree::XMLElement& element);
};

} // namespace kvnfcpx
