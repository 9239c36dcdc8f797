#include "kvnfcpx/share/FCPShareDocument.h"

#include "ShareTrace.h"
#include "kvnfcpx/share/AssetCollectionError.h"

#include <atomic>
#include <fstream>
#include <koltutils/URL.h>
#include <sstream>

namespace kvnfcpx {

namespace fs = std::filesystem;

namespace {

// The display name the platform gives new untitled documents.
std::string nextUntitledName() {
    static std::atomic<long> counter{0};
    const long number = ++counter;
    return number == 1 ? "Untitled" : "Untitled " + std::to_string(number);
}

std::optional<bool> flagIn(const ScriptValue::Dictionary& dictionary, const std::string& key) {
    const auto found = dictionary.find(key);
    if (found == dictionary.end()) {
        return std::nullopt;
    }
    return found->second.boolValue();
}

std::optional<fs::path> folderIn(const ScriptValue::Dictionary& location) {
    const auto found = location.find("folder");
    if (found == location.end()) {
        return std::nullopt;
    }
    if (const auto* url = found->second.fileURL()) {
        return url->path;
    }
    if (const auto* text = found->second.text()) {
        return fs::path(*text);
    }
    return std::nullopt;
}

std::optional<std::string> basenameIn(const ScriptValue::Dictionary& location) {
    const auto found = location.find("basename");
    if (found == location.end()) {
        return std::nullopt;
    }
    if (const auto* text = found->second.text()) {
        return *text;
    }
    return found->second.description();
}

} // namespace

FCPShareDocument::FCPShareDocument()
    : collectionName_(nextUntitledName()), uniqueID_(SAMObject::calculateNewUniqueID()) {}

std::shared_ptr<FCPShareDocument> FCPShareDocument::create() {
    return std::shared_ptr<FCPShareDocument>(new FCPShareDocument());
}

std::shared_ptr<FCPShareDocument>
FCPShareDocument::createWithContentsOfURL(const fs::path& file, const std::string& type) {
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        throw fs::filesystem_error("cannot read the document", file,
                                   std::make_error_code(std::errc::no_such_file_or_directory));
    }
    std::stringstream bytes;
    bytes << in.rdbuf();
    auto document = create();
    document->readFromData(bytes.str(), type);
    document->setName(file.stem().string());
    return document;
}

std::string FCPShareDocument::name() const {
    std::lock_guard lock(mutex_);
    return collectionName_;
}

void FCPShareDocument::setName(std::string name) {
    std::lock_guard lock(mutex_);
    collectionName_ = std::move(name);
}

std::string FCPShareDocument::collectionDescription() const {
    std::lock_guard lock(mutex_);
    return collectionDescription_;
}

void FCPShareDocument::setCollectionDescription(std::string description) {
    std::lock_guard lock(mutex_);
    collectionDescription_ = std::move(description);
}

std::optional<fs::path> FCPShareDocument::defaultAssetLocation() const {
    std::lock_guard lock(mutex_);
    return defaultAssetLocation_;
}

void FCPShareDocument::setDefaultAssetLocation(std::optional<fs::path> location) {
    std::lock_guard lock(mutex_);
    defaultAssetLocation_ = std::move(location);
}

std::vector<std::shared_ptr<FCPShareAsset>> FCPShareDocument::assets() const {
    std::lock_guard lock(mutex_);
    return collection_;
}

std::optional<fs::path> FCPShareDocument::assetURLAtIndex(std::size_t index) const {
    std::lock_guard lock(mutex_);
    if (index >= collection_.size()) {
        return std::nullopt;
    }
    return collection_[index]->principalURL();
}

long FCPShareDocument::assetIndexForURL(const fs::path& url) const {
    std::lock_guard lock(mutex_);
    const auto found = urlHash_.find(url.string());
    const long index = found == urlHash_.end() ? -1 : found->second;
    KVN_SHARE_TRACE("assetIndexForURL:", url.string() + " -> " + std::to_string(index));
    return index;
}

long FCPShareDocument::assetIndexForUniqueID(const std::string& uniqueID) const {
    std::lock_guard lock(mutex_);
    const auto found = uniqueIDHash_.find(uniqueID);
    return found == uniqueIDHash_.end() ? -1 : found->second;
}

long FCPShareDocument::assetIndexForLocation(const ScriptValue::Dictionary& location) const {
    const auto folder = folderIn(location);
    const auto basename = basenameIn(location);
    if (!folder || !basename) {
        return -1;
    }
    return assetIndexForURL(*folder / *basename);
}

void FCPShareDocument::insertInAssets(const std::shared_ptr<FCPShareAsset>& asset) {
    insertInAssets(asset, 0);
}

void FCPShareDocument::insertInAssets(const std::shared_ptr<FCPShareAsset>& asset,
                                      std::size_t index) {
    asset->setContainer(shared_from_this());
    asset->setContainerProperty("assets");
    std::lock_guard lock(mutex_);
    insertLocked(asset, index);
}

void FCPShareDocument::insertLocked(const std::shared_ptr<FCPShareAsset>& asset,
                                    std::size_t index) {
    index = std::min(index, collection_.size());
    collection_.insert(collection_.begin() + static_cast<std::ptrdiff_t>(index), asset);
    reindexFromLocked(index);
    KVN_SHARE_TRACE("insertInAssets:atIndex:", asset->uniqueID() + " at " + std::to_string(index));
}

void FCPShareDocument::reindexFromLocked(std::size_t index) {
    for (auto i = index; i < collection_.size(); ++i) {
        const auto& asset = collection_[i];
        if (const auto url = asset->principalURL()) {
            urlHash_[url->string()] = static_cast<long>(i);
        }
        uniqueIDHash_[asset->uniqueID()] = static_cast<long>(i);
    }
}

void FCPShareDocument::removeFromAssetsAtIndex(std::size_t index) {
    std::lock_guard lock(mutex_);
    if (index >= collection_.size()) {
        return;
    }
    const auto asset = collection_[index];
    if (const auto url = asset->principalURL()) {
        const auto found = urlHash_.find(url->string());
        if (found != urlHash_.end() && found->second == static_cast<long>(index)) {
            urlHash_.erase(found);
        }
    }
    uniqueIDHash_.erase(asset->uniqueID());
    collection_.erase(collection_.begin() + static_cast<std::ptrdiff_t>(index));
    reindexFromLocked(index);
}

void FCPShareDocument::removeAsset(const std::shared_ptr<FCPShareAsset>& asset) {
    const long index = assetIndexForUniqueID(asset->uniqueID());
    if (index >= 0) {
        removeFromAssetsAtIndex(static_cast<std::size_t>(index));
    }
}

std::optional<std::vector<long>> FCPShareDocument::indicesOfObjectsByEvaluatingObjectSpecifier(
    const ObjectAddress& specifier) const {
    if (specifier.key != "assets" || specifier.uniqueID.empty()) {
        return std::nullopt;
    }
    const long index = assetIndexForUniqueID(specifier.uniqueID);
    if (index < 0) {
        return std::vector<long>{};
    }
    return std::vector<long>{index};
}

long FCPShareDocument::addAssetAtLocation(
    const ScriptValue::Dictionary& location, bool content,
    const std::optional<ScriptValue::Dictionary>& metadata,
    const std::optional<ScriptValue::Dictionary>& dataOptions) {
    long index = assetIndexForLocation(location);
    const auto hasMedia = flagIn(location, "hasMedia");
    const auto hasDescription = flagIn(location, "hasDescription");
    std::shared_ptr<FCPShareAsset> asset;
    if (index == -1) {
        const auto folder = folderIn(location).value_or(fs::path());
        const auto basename = basenameIn(location).value_or(std::string());
        asset = FCPShareAsset::create(
            basename, folder,
            hasMedia.value_or(false) ? std::optional<std::string>("mov") : std::nullopt,
            hasDescription.value_or(false) ? std::optional<std::string>("fcpxml") : std::nullopt);
        asset->setMetadata(metadata);
        asset->addMetadata(ScriptValue("1"), "com.korvane.KVN.managedAsset");
        asset->setDataOptions(dataOptions);
        asset->setContainer(shared_from_this());
        asset->setContainerProperty("assets");
        std::lock_guard lock(mutex_);
        index = static_cast<long>(collection_.size());
        insertLocked(asset, collection_.size());
    } else {
        {
            std::lock_guard lock(mutex_);
            asset = collection_[static_cast<std::size_t>(index)];
        }
        if (hasMedia) {
            asset->setMediaExtension(*hasMedia ? std::optional<std::string>("mov") : std::nullopt);
        }
        if (hasDescription) {
            asset->setDescExtension(*hasDescription ? std::optional<std::string>("fcpxml")
                                                    : std::nullopt);
        }
        for (const auto& [key, value] : metadata.value_or(ScriptValue::Dictionary{})) {
            asset->addMetadata(value, key);
        }
        if (dataOptions) {
            // Data options merge key by key; an asset without any yet takes them whole.
            auto merged = asset->dataOptions().value_or(ScriptValue::Dictionary{});
            for (const auto& [key, value] : *dataOptions) {
                merged.insert_or_assign(key, value);
            }
            asset->setDataOptions(std::move(merged));
        }
    }
    if (content) {
        if (hasMedia.value_or(false)) {
            asset->loadMedia();
        }
        if (hasDescription.value_or(false)) {
            asset->loadDescription();
        }
    }
    return index;
}

long FCPShareDocument::addAssetAtURL(const fs::path& url, bool content,
                                     const std::optional<ScriptValue::Dictionary>& metadata,
                                     const std::optional<ScriptValue::Dictionary>& dataOptions) {
    auto principal = url;
    principal.replace_extension();
    auto extension = url.extension().string();
    if (!extension.empty()) {
        extension.erase(0, 1);
    }
    ScriptValue::Dictionary location{{"folder", FileURL{principal.parent_path()}},
                                     {"basename", principal.filename().string()}};
    if (FCPShareAsset::isMediaExtension(extension)) {
        location["hasMedia"] = true;
    } else if (FCPShareAsset::isDescExtension(extension)) {
        location["hasDescription"] = true;
    }
    return addAssetAtLocation(location, content, metadata, dataOptions);
}

std::string FCPShareDocument::dataOfType(const std::string& type) const {
    if (type != typeName) {
        throw AssetCollectionError(AssetCollectionError::writeCode);
    }
    std::string data;
    const auto collection = assets();
    for (std::size_t i = 0; i < collection.size(); ++i) {
        if (i > 0) {
            data += '\n';
        }
        const auto file = collection[i]->mediaFile();
        data += file ? FileURL{*file}.absoluteString() : "";
    }
    return data;
}

void FCPShareDocument::readFromData(const std::string& data, const std::string& type) {
    if (type != typeName) {
        throw AssetCollectionError(AssetCollectionError::readCode);
    }
    std::vector<std::shared_ptr<FCPShareAsset>> read;
    std::size_t start = 0;
    while (start <= data.size()) {
        const auto end = std::min(data.find('\n', start), data.size());
        const auto line = data.substr(start, end - start);
        const auto url = koltutils::URL::fromString(line);
        if (url && url->isFileURL()) {
            read.push_back(FCPShareAsset::createWithURL(url->path()));
        }
        start = end + 1;
    }
    {
        std::lock_guard lock(mutex_);
        collection_.clear();
        urlHash_.clear();
        uniqueIDHash_.clear();
    }
    for (const auto& asset : read) {
        insertInAssets(asset, assets().size());
    }
}

} // namespace kvnfcpx
