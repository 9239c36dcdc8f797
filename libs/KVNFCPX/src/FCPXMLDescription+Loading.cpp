#include "AttributeReading.h"
#include "DocumentText.h"
#include "FileLocations.h"
#include "ResourceReader.h"
#include "TimelineWalker.h"
#include "kvnfcpx/FCPXMLDescription.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <koltutils/DescribedError.h>
#include <koltutils/Log.h>
#include <koltutils/UTF8.h>
#include <xmltree/XMLDocument.h>

namespace kvnfcpx {

namespace {

using xmltree::XMLElement;

std::optional<std::string> readWholeFile(const std::filesystem::path& path) {
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) {
        return std::nullopt;
    }
    std::ifstream file(path, std::ios::binary);
    std::string bytes{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    if (file.bad()) {
        return std::nullopt;
    }
    return bytes;
}

XMLElement::Ptr firstDescendantNamed(const XMLElement& element, std::string_view name) {
    return element.firstDescendant([name](const XMLElement& e) { return e.name() == name; });
}

// "1.<n>" with n above 13, digits only.
bool isNewerVersion(std::string_view text) {
    if (!text.starts_with("1.") || text.size() == 2) {
        return false;
    }
    const std::string_view minor = text.substr(2);
    if (minor.find_first_not_of("0123456789") != std::string_view::npos) {
        return false;
    }
    const auto significant = minor.find_first_not_of('0');
    if (significant == std::string_view::npos) {
        return false;
    }
    const std::string_view digits = minor.substr(significant);
    return digits.size() > 2 || (digits.size() == 2 && digits > "13");
}

Version checkedVersion(const XMLElement& root, bool acceptNewerVersions) {
    if (root.name() != "fcpxml") {
        throw koltutils::DescribedError("This isn't a fcpxml document.");
    }
    const auto versionText = root.attribute("version");
    if (!versionText) {
        throw koltutils::DescribedError("Didn't find the version of this document");
    }
    auto version = versionFromString(*versionText);
    if (!version && acceptNewerVersions && isNewerVersion(*versionText)) {
        version = Version::v1_13;
    }
    if (!version) {
        throw koltutils::DescribedError("Sorry, fcpxml " + std::string(*versionText) +
                                        " isn't supported. Please use " + supportedVersionList());
    }
    return *version;
}

std::optional<ImportOptions> readImportOptions(const XMLElement& root) {
    const auto importOptions = firstDescendantNamed(root, "import-options");
    if (!importOptions || !firstDescendantNamed(*importOptions, "option")) {
        return std::nullopt;
    }
    ImportOptions options;
    const auto libraryLocation = importOptions->firstDescendant([](const XMLElement& e) {
        return e.name() == "option" && e.attribute("key") == "library location";
    });
    if (libraryLocation) {
        // The option's text, not its `value` attribute, names the location.
        options.libraryLocation = detail::existingLocation(libraryLocation->value());
    }
    return options;
}

std::optional<Library> readLibrary(const XMLElement& root) {
    const auto library = firstDescendantNamed(root, "library");
    if (!library) {
        return std::nullopt;
    }
    return Library{.location = detail::existingLocation(library->attribute("location"))};
}

// The root's "project" child, or else the first event of the root's library standing in for it.
XMLElement::Ptr projectElement(const XMLElement& root) {
    if (auto project = root.child("project")->first()) {
        return project;
    }
    if (const auto library = root.child("library")->first()) {
        return library->child("event")->first();
    }
    return nullptr;
}

} // namespace

std::optional<FCPXMLDescription>
FCPXMLDescription::fromURL(const koltutils::URL& url, const BookmarkResolver& bookmarkResolver) {
    if (!url.isFileURL()) {
        return std::nullopt;
    }
    return fromFile(detail::pathOf(url), bookmarkResolver);
}

std::optional<FCPXMLDescription>
FCPXMLDescription::fromFile(const std::filesystem::path& path,
                            const BookmarkResolver& bookmarkResolver) {
    auto document = documentFromFile(path);
    if (!document) {
        return std::nullopt;
    }
    return fromDocument(std::move(document), false, bookmarkResolver);
}

std::shared_ptr<xmltree::XMLDocument>
FCPXMLDescription::documentFromFile(const std::filesystem::path& path) {
    if (!detail::lowercasedExtension(path).starts_with("fcpxml")) {
        return nullptr;
    }
    const auto bytes = readWholeFile(path);
    const auto text = bytes ? detail::utf8WithoutControlCharacters(*bytes) : std::nullopt;
    if (!text) {
        return nullptr;
    }
    try {
        return xmltree::XMLDocument::fromText(*text, xmltree::XMLOptions::standard());
    } catch (const xmltree::XMLError&) {
        return nullptr;
    }
}

std::optional<koltutils::URL> FCPXMLDescription::xmlFileInBundle(const koltutils::URL& bundle) {
    const auto file = xmlFileInBundle(detail::pathOf(bundle));
    return file ? std::optional(detail::fileURL(*file)) : std::nullopt;
}

std::optional<std::filesystem::path>
FCPXMLDescription::xmlFileInBundle(const std::filesystem::path& bundle) {
    std::error_code error;
    if (detail::lowercasedExtension(bundle) != "fcpxmld" ||
        !std::filesystem::is_directory(bundle, error)) {
        return std::nullopt;
    }
    std::vector<std::filesystem::path> entries;
    for (std::filesystem::directory_iterator it(bundle, error), end; !error && it != end;
         it.increment(error)) {
        entries.push_back(it->path());
    }
    if (error) {
        return std::nullopt;
    }
    // Listing order is the file system's; sorting makes "the first" the same on every run.
    std::sort(entries.begin(), entries.end());
    const auto xml = std::find_if(entries.begin(), entries.end(), [](const auto& entry) {
        return detail::lowercasedExtension(entry) == "fcpxml";
    });
    return xml == entries.end() ? std::nullopt : std::optional(*xml);
}

FCPXMLDescription FCPXMLDescription::fromText(std::string_view text, bool validateMedia,
                                              const BookmarkResolver& bookmarkResolver) {
    return fromDocument(xmltree::XMLDocument::fromText(text, xmltree::XMLOptions::standard()),
                        validateMedia, bookmarkResolver);
}

FCPXMLDescription FCPXMLDescription::fromData(std::span<const std::uint8_t> bytes,
                                              bool validateMedia,
                                              const BookmarkResolver& bookmarkResolver) {
    auto document = xmltree::XMLDocument::create(xmltree::XMLOptions::standard());
    document->loadBytes(std::as_bytes(bytes));
    return fromDocument(std::move(document), validateMedia, bookmarkResolver);
}

FCPXMLDescription FCPXMLDescription::fromDocument(std::shared_ptr<xmltree::XMLDocument> document,
                                                  bool validateMedia,
                                                  const BookmarkResolver& bookmarkResolver) {
    return fromDocument(std::move(document), ParserOptions{.validateMedia = validateMedia},
                        bookmarkResolver);
}

FCPXMLDescription FCPXMLDescription::fromDocument(std::shared_ptr<xmltree::XMLDocument> document,
                                                  const ParserOptions& options,
                                                  const BookmarkResolver& bookmarkResolver) {
    const auto root = document->root();
    FCPXMLDescription description;
    description.document = std::move(document);
    description.version = checkedVersion(*root, options.acceptNewerVersions);
    description.parserOptions = options;
    description.importOptions = readImportOptions(*root);
    if (const auto resources = firstDescendantNamed(*root, "resources")) {
        const detail::ResourceReader reader(description.version, options, bookmarkResolver);
        description.resources = reader.parseResources(*resources);
    }
    description.library = readLibrary(*root);
    if (const auto project = projectElement(*root)) {
        Project result{.name = detail::textAttribute(*project, "name"),
                       .uid = detail::textAttribute(*project, "uid")};
        const auto sequence = project->firstDescendant(
            [](const XMLElement& e) { return e.name() == "sequence" || e.name() == "event"; });
        detail::TimelineWalker walker(description);
        result.sequence = walker.parseSequence(sequence ? *sequence : *project);
        description.project = std::move(result);
    }
    return description;
}

bool operator==(const FCPXMLDescription& lhs, const FCPXMLDescription& rhs) {
    return lhs.version == rhs.version && lhs.parserOptions == rhs.parserOptions &&
           lhs.library == rhs.library && lhs.project == rhs.project &&
           lhs.resources == rhs.resources && lhs.importOptions == rhs.importOptions;
}

std::optional<std::string> FCPXMLDescription::versionAsWritten() const {
    if (!document) {
        return std::nullopt;
    }
    const auto written = document->root()->attribute("version");
    return written ? std::optional<std::string>(*written) : std::nullopt;
}

const Format* FCPXMLDescription::sequenceFormat() const {
    if (!project || !project->sequence || !project->sequence->format) {
        return nullptr;
    }
    return format(*project->sequence->format);
}

std::optional<timecode::TimecodeFrameRate> FCPXMLDescription::frameRate() const {
    const Format* format = sequenceFormat();
    if (!format || !format->frameDuration) {
        return std::nullopt;
    }
    const bool dropFrame = project->sequence->tcFormat == Sequence::TimecodeFormat::dropFrame;
    return timecode::timecodeFrameRateFromFrameDuration(*format->frameDuration, dropFrame);
}

std::optional<timecode::Timecode> FCPXMLDescription::projectStartTimecode() const {
    const auto rate = frameRate();
    if (!rate) {
        KOLT_LOG_ERROR("projectStartTimecode", "frameRate is nil");
        return std::nullopt;
    }
    try {
        return timecode::Timecode::fromRealTime(project->sequence->tcStart.seconds(),
                                                timecode::Timecode::Properties(*rate));
    } catch (const timecode::TimecodeValidationError&) {
        return std::nullopt;
    }
}

const Asset* FCPXMLDescription::asset(std::string_view id) const {
    return resources ? resources->findAsset(id) : nullptr;
}

const Media* FCPXMLDescription::media(std::string_view id) const {
    return resources ? resources->findMedia(id) : nullptr;
}

const Effect* FCPXMLDescription::effect(std::string_view id) const {
    return resources ? resources->findEffect(id) : nullptr;
}

const Format* FCPXMLDescription::format(std::string_view id) const {
    return resources ? resources->findFormat(id) : nullptr;
}

} // namespace kvnfcpx
