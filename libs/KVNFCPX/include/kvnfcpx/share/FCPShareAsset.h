#pragma once

#include "kvnfcpx/share/MovieInfo.h"
#include "kvnfcpx/share/SAMObject.h"
#include "kvnfcpx/share/ScriptValue.h"

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <xmltree/XMLDocument.h>

namespace kvnfcpx {

// One shared item: a folder and a base name (together the principal URL, without extension), an
// optional media file ("mov" or "mp4") and description file ("fcpxml") beside it, and the editor's
// metadata and data options. Made through the static factories and held by shared pointer, as the
// document holds it.
class FCPShareAsset : public SAMObject {
public:
    // The width and height of a video track's picture.
    struct Size {
        double width = 0;
        double height = 0;
        bool operator==(const Size&) const = default;
    };

    static bool isMediaExtension(const std::string& extension);
    static bool isDescExtension(const std::string& extension);

    // An asset with no URLs and no extensions.
    static std::shared_ptr<FCPShareAsset> create();
    // init:at:media:desc: name = base name, principal URL = folder + base name.
    static std::shared_ptr<FCPShareAsset> create(const std::string& basename,
                                                 const std::filesystem::path& folder,
                                                 std::optional<std::string> mediaExtension,
                                                 std::optional<std::string> descExtension);
    // init: from a file: a media extension gives itself and "fcpxml", "fcpxml" gives "mov" and
    // "fcpxml", anything else neither.
    static std::shared_ptr<FCPShareAsset> createWithURL(const std::filesystem::path& file);

    std::string className() const override { return "FCPShareAsset"; }

    std::optional<std::filesystem::path> principalURL() const;
    std::optional<std::filesystem::path> folderLocation() const;
    std::optional<std::string> mediaExtension() const;
    void setMediaExtension(std::optional<std::string> extension);
    std::optional<std::string> descExtension() const;
    void setDescExtension(std::optional<std::string> extension);

    // principalURL + "." + extension; none without the extension (or without a principal URL).
    std::optional<std::filesystem::path> mediaFile() const;
    std::optional<std::filesystem::path> descFile() const;
    bool hasMedia() const { return mediaExtension().has_value(); }
    bool hasDescription() const { return descExtension().has_value(); }
    bool hasRoles() const { return false; }
    bool mediaLoaded() const;
    bool descriptionLoaded() const;

    // The metadata under "com.apple.proapps.share.id", ".episodeID" and ".episodeNumber".
    std::optional<ScriptValue> shareID() const;
    std::optional<ScriptValue> episodeID() const;
    std::optional<ScriptValue> episodeNumber() const;

    // "folder", "basename", and "hasMedia" / "hasDescription" = true only when they hold.
    ScriptValue::Dictionary locationInfo() const;
    // "folder", "basename", "hasArchive" = false, and "hasDescription" = true when it holds.
    ScriptValue::Dictionary libraryInfo() const;

    // Copies; none until something was stored.
    std::optional<ScriptValue::Dictionary> metadata() const;
    void setMetadata(std::optional<ScriptValue::Dictionary> metadata);
    void addMetadata(ScriptValue value, const std::string& key);
    std::optional<ScriptValue::Dictionary> dataOptions() const;
    void setDataOptions(std::optional<ScriptValue::Dictionary> dataOptions);
    // Acts on the stored dictionary only: nothing happens before data options were set.
    void setDataOption(ScriptValue value, const std::string& key);
    std::optional<ScriptValue> dataOptionForKey(const std::string& key) const;

    // Opens the media file as a movie when it exists.
    void loadMedia();
    // Reads the description file as an XML document when it exists; a parse failure leaves the
    // description absent.
    void loadDescription();
    std::shared_ptr<const MovieInfo> internalAsset() const;
    xmltree::XMLDocument::Ptr internalDescription() const;

    // "<value>/<timescale>s" of the loaded movie's header duration when the media file exists
    // ("0/0s" while not loaded), else "n/a".
    std::string duration() const;
    // "<timescale ÷ frame rate, truncated>/<timescale>s" of the first video track (the natural
    // timescale divided by the nominal frame rate as a 32-bit float); "n/a" without a loaded
    // video track.
    std::string frameDuration() const;
    // The first video track's picture size; zero without one.
    Size frameSize() const;

private:
    FCPShareAsset() = default;

    std::optional<std::filesystem::path> principalURL_;
    std::optional<std::filesystem::path> folderLocation_;
    std::optional<std::string> mediaExtension_;
    std::optional<std::string> descExtension_;
    std::optional<ScriptValue::Dictionary> metadata_;
    std::optional<ScriptValue::Dictionary> dataOptions_;
    std::shared_ptr<const MovieInfo> internalAsset_;
    xmltree::XMLDocument::Ptr internalDescription_;
};

} // namespace kvnfcpx
