#include "kvnfcpx/share/FCPShareAsset.h"

#include "ShareTrace.h"

#include <cmath>
#include <cstdio>
#include <fstream>
#include <sstream>

namespace kvnfcpx {

namespace fs = std::filesystem;

namespace {

const std::string shareIDKey = "com.apple.proapps.share.id";
const std::string episodeIDKey = "com.apple.proapps.share.episodeID";
const std::string episodeNumberKey = "com.apple.proapps.share.episodeNumber";

bool isReachable(const std::optional<fs::path>& file) {
    std::error_code ignored;
    return file && fs::exists(*file, ignored);
}

std::optional<fs::path> withExtension(const std::optional<fs::path>& principal,
                                      const std::optional<std::string>& extension) {
    if (!principal || !extension) {
        return std::nullopt;
    }
    return fs::path(principal->string() + "." + *extension);
}

std::optional<ScriptValue> valueFor(const std::optional<ScriptValue::Dictionary>& dictionary,
                                    const std::string& key) {
    if (!dictionary) {
        return std::nullopt;
    }
    const auto found = dictionary->find(key);
    if (found == dictionary->end()) {
        return std::nullopt;
    }
    return found->second;
}

} // namespace

bool FCPShareAsset::isMediaExtension(const std::string& extension) {
    return extension == "mov" || extension == "mp4";
}

bool FCPShareAsset::isDescExtension(const std::string& extension) {
    return extension == "fcpxml";
}

std::shared_ptr<FCPShareAsset> FCPShareAsset::create() {
    return std::shared_ptr<FCPShareAsset>(new FCPShareAsset());
}

std::shared_ptr<FCPShareAsset> FCPShareAsset::create(const std::string& basename,
                                                     const fs::path& folder,
                                                     std::optional<std::string> mediaExtension,
                                                     std::optional<std::string> descExtension) {
    auto asset = create();
    asset->setName(basename);
    asset->principalURL_ = folder / basename;
    asset->folderLocation_ = folder;
    asset->mediaExtension_ = std::move(mediaExtension);
    asset->descExtension_ = std::move(descExtension);
    KVN_SHARE_TRACE("initWithName:at:media:desc:",
                    "principalURL = '" + asset->principalURL_->string() + "'");
    return asset;
}

std::shared_ptr<FCPShareAsset> FCPShareAsset::createWithURL(const fs::path& file) {
    auto asset = create();
    auto principal = file;
    principal.replace_extension();
    asset->principalURL_ = principal;
    asset->folderLocation_ = principal.parent_path();
    asset->setName(principal.filename().string());
    auto extension = file.extension().string();
    if (!extension.empty()) {
        extension.erase(0, 1);
    }
    if (isMediaExtension(extension)) {
        asset->mediaExtension_ = extension;
        asset->descExtension_ = "fcpxml";
    } else if (isDescExtension(extension)) {
        asset->mediaExtension_ = "mov";
        asset->descExtension_ = "fcpxml";
    }
    KVN_SHARE_TRACE("initWithURL:", "principalURL = '" + principal.string() + "'");
    return asset;
}

std::optional<fs::path> FCPShareAsset::principalURL() const {
    std::lock_guard lock(mutex_);
    return principalURL_;
}

std::optional<fs::path> FCPShareAsset::folderLocation() const {
    std::lock_guard lock(mutex_);
    return folderLocation_;
}

std::optional<std::string> FCPShareAsset::mediaExtension() const {
    std::lock_guard lock(mutex_);
    return mediaExtension_;
}

void FCPShareAsset::setMediaExtension(std::optional<std::string> extension) {
    std::lock_guard lock(mutex_);
    mediaExtension_ = std::move(extension);
}

std::optional<std::string> FCPShareAsset::descExtension() const {
    std::lock_guard lock(mutex_);
    return descExtension_;
}

void FCPShareAsset::setDescExtension(std::optional<std::string> extension) {
    std::lock_guard lock(mutex_);
    descExtension_ = std::move(extension);
}

std::optional<fs::path> FCPShareAsset::mediaFile() const {
    std::lock_guard lock(mutex_);
    auto file = withExtension(principalURL_, mediaExtension_);
    KVN_SHARE_TRACE("mediaFile", "mediaFile = '" + (file ? file->string() : "(null)") + "'");
    return file;
}

std::optional<fs::path> FCPShareAsset::descFile() const {
    std::lock_guard lock(mutex_);
    auto file = withExtension(principalURL_, descExtension_);
    KVN_SHARE_TRACE("descFile", "descFile = '" + (file ? file->string() : "(null)") + "'");
    return file;
}

bool FCPShareAsset::mediaLoaded() const {
    std::lock_guard lock(mutex_);
    return internalAsset_ != nullptr;
}

bool FCPShareAsset::descriptionLoaded() const {
    std::lock_guard lock(mutex_);
    return internalDescription_ != nullptr;
}

std::optional<ScriptValue> FCPShareAsset::shareID() const {
    std::lock_guard lock(mutex_);
    return valueFor(metadata_, shareIDKey);
}

std::optional<ScriptValue> FCPShareAsset::episodeID() const {
    std::lock_guard lock(mutex_);
    return valueFor(metadata_, episodeIDKey);
}

std::optional<ScriptValue> FCPShareAsset::episodeNumber() const {
    std::lock_guard lock(mutex_);
    return valueFor(metadata_, episodeNumberKey);
}

ScriptValue::Dictionary FCPShareAsset::locationInfo() const {
    ScriptValue::Dictionary info;
    if (const auto folder = folderLocation()) {
        info["folder"] = FileURL{*folder};
    }
    info["basename"] = name();
    if (hasMedia()) {
        info["hasMedia"] = true;
    }
    if (hasDescription()) {
        info["hasDescription"] = true;
    }
    return info;
}

ScriptValue::Dictionary FCPShareAsset::libraryInfo() const {
    ScriptValue::Dictionary info;
    if (const auto folder = folderLocation()) {
        info["folder"] = FileURL{*folder};
    }
    info["basename"] = name();
    info["hasArchive"] = false;
    if (hasDescription()) {
        info["hasDescription"] = true;
    }
    return info;
}

std::optional<ScriptValue::Dictionary> FCPShareAsset::metadata() const {
    std::lock_guard lock(mutex_);
    return metadata_;
}

void FCPShareAsset::setMetadata(std::optional<ScriptValue::Dictionary> metadata) {
    std::lock_guard lock(mutex_);
    metadata_ = std::move(metadata);
}

void FCPShareAsset::addMetadata(ScriptValue value, const std::string& key) {
    KVN_SHARE_TRACE("addMetadata:forKey:", "key = '" + key + "'");
    std::lock_guard lock(mutex_);
    if (!metadata_) {
        metadata_.emplace();
    }
    metadata_->insert_or_assign(key, std::move(value));
}

std::optional<ScriptValue::Dictionary> FCPShareAsset::dataOptions() const {
    std::lock_guard lock(mutex_);
    return dataOptions_;
}

void FCPShareAsset::setDataOptions(std::optional<ScriptValue::Dictionary> dataOptions) {
    std::lock_guard lock(mutex_);
    dataOptions_ = std::move(dataOptions);
}

void FCPShareAsset::setDataOption(ScriptValue value, const std::string& key) {
    std::lock_guard lock(mutex_);
    if (dataOptions_) {
        dataOptions_->insert_or_assign(key, std::move(value));
    }
}

std::optional<ScriptValue> FCPShareAsset::dataOptionForKey(const std::string& key) const {
    std::lock_guard lock(mutex_);
    return valueFor(dataOptions_, key);
}

void FCPShareAsset::loadMedia() {
    const auto file = mediaFile();
    if (!isReachable(file)) {
        KVN_SHARE_TRACE("loadMedia", "media file not reachable");
        return;
    }
    std::shared_ptr<const MovieInfo> movie;
    if (auto info = MovieInfo::read(*file)) {
        movie = std::make_shared<const MovieInfo>(std::move(*info));
    }
    std::lock_guard lock(mutex_);
    internalAsset_ = std::move(movie);
}

void FCPShareAsset::loadDescription() {
    const auto file = descFile();
    if (!isReachable(file)) {
        KVN_SHARE_TRACE("loadDescription", "description file not reachable");
        return;
    }
    std::ifstream in(*file, std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    xmltree::XMLDocument::Ptr document;
    try {
        document = xmltree::XMLDocument::fromBytes(bytes.str());
    } catch (const std::exception&) {
        document = nullptr;
    }
    std::lock_guard lock(mutex_);
    internalDescription_ = std::move(document);
}

std::shared_ptr<const MovieInfo> FCPShareAsset::internalAsset() const {
    std::lock_guard lock(mutex_);
    return internalAsset_;
}

xmltree::XMLDocument::Ptr FCPShareAsset::internalDescription() const {
    std::lock_guard lock(mutex_);
    return internalDescription_;
}

std::string FCPShareAsset::duration() const {
    if (!isReachable(mediaFile())) {
        return "n/a";
    }
    const auto movie = internalAsset();
    char text[64];
    std::snprintf(text, sizeof text, "%lld/%ds",
                  static_cast<long long>(movie ? movie->durationValue : 0),
                  movie ? movie->durationTimescale : 0);
    return text;
}

std::string FCPShareAsset::frameDuration() const {
    const auto movie = internalAsset();
    if (!movie || !movie->firstVideoTrack || hasRoles()) {
        return "n/a";
    }
    const auto& track = *movie->firstVideoTrack;
    // The division is the platform's: a 32-bit float quotient, truncated toward zero. A rate of
    // zero (a track without frames) gives no finite quotient and reads as zero.
    const float quotient = static_cast<float>(track.naturalTimeScale) / track.nominalFrameRate;
    const long value =
        std::isfinite(quotient) && std::fabs(quotient) < 9.0e18F ? static_cast<long>(quotient) : 0;
    char text[64];
    std::snprintf(text, sizeof text, "%ld/%ds", value, track.naturalTimeScale);
    return text;
}

FCPShareAsset::Size FCPShareAsset::frameSize() const {
    const auto movie = internalAsset();
    if (!movie || !movie->firstVideoTrack) {
        return {};
    }
    return {movie->firstVideoTrack->width, movie->firstVideoTrack->height};
}

} // namespace kvnfcpx
