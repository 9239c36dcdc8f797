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

namespace xmltree {
class XMLDocument;
} // namespace xmltree

namespace kvnfcpx {

// A loaded FCPXML document, a plain value. The element tree it was read from (`document`, and
// the `child` of each media resource) is shared by copies and takes no part in equality: two
// descriptions read from the same text are equal, and so are a description and its copy after
// either drops the tree. How the document is walked stays inside the library.
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
    // The tree the description was read from; null for a description built by hand. Release it
    // once the description is all that is needed (versionAsWritten() then says nothing).
    std::shared_ptr<xmltree::XMLDocument> document{};
    ParserOptions parserOptions{};
    std::optional<Library> library{};
    std::optional<Project> project{};
    std::optional<Resources> resources{};
    std::optional<ImportOptions> importOptions{};

    // Every field but `document`.
    friend bool operator==(const FCPXMLDescription& lhs, const FCPXMLDescription& rhs);

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
};

} // namespace kvnfcpx
