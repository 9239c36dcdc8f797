#pragma once

#include "kvnfcpx/share/FCPShareAsset.h"
#include "kvnfcpx/share/ScriptDocument.h"
#include "kvnfcpx/share/ScriptValue.h"

#include <filesystem>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

namespace kvnfcpx {

// A document of share assets ("Asset Collection"): an ordered collection, exposed to scripting
// as "assets", with the position of every asset kept by its principal URL and by its unique ID.
// Inserting before the end or removing shifts the recorded positions of the later assets, so the
// look-ups always answer the asset's current position.
class FCPShareDocument : public ScriptDocument,
                         public std::enable_shared_from_this<FCPShareDocument> {
public:
    static constexpr const char* typeName = "Asset Collection";

    // An empty document named as a new untitled document ("Untitled", then "Untitled 2", ...).
    static std::shared_ptr<FCPShareDocument> create();
    // A document read from an "Asset Collection" file, named after the file without extension.
    // Throws AssetCollectionError for another type name, std::filesystem errors when the file
    // cannot be read.
    static std::shared_ptr<FCPShareDocument>
    createWithContentsOfURL(const std::filesystem::path& file, const std::string& type);

    std::string className() const override { return "FCPShareDocument"; }
    std::string uniqueID() const override { return uniqueID_; }
    bool autosavesInPlace() const { return true; }

    std::string name() const;
    void setName(std::string name);
    std::string collectionDescription() const;
    void setCollectionDescription(std::string description);
    std::optional<std::filesystem::path> defaultAssetLocation() const;
    void setDefaultAssetLocation(std::optional<std::filesystem::path> location);

    std::vector<std::shared_ptr<FCPShareAsset>> assets() const;
    std::optional<std::filesystem::path> assetURLAtIndex(std::size_t index) const;
    long assetIndexForURL(const std::filesystem::path& url) const;
    long assetIndexForUniqueID(const std::string& uniqueID) const;
    // "folder" + "basename" looked up by URL; -1 when either key is missing.
    long assetIndexForLocation(const ScriptValue::Dictionary& location) const;

    void insertInAssets(const std::shared_ptr<FCPShareAsset>& asset);
    void insertInAssets(const std::shared_ptr<FCPShareAsset>& asset, std::size_t index);
    void removeFromAssetsAtIndex(std::size_t index);
    void removeAsset(const std::shared_ptr<FCPShareAsset>& asset);
    void removeAssetAtIndex(std::size_t index) { removeFromAssetsAtIndex(index); }

    // For a unique-ID specifier of this document's assets: the asset's position, or nothing when
    // unknown. For any other specifier none, and the scripting layer evaluates it itself.
    std::optional<std::vector<long>>
    indicesOfObjectsByEvaluatingObjectSpecifier(const ObjectAddress& specifier) const;

    // Finds or makes the asset at a location dictionary ("folder", "basename", "hasMedia",
    // "hasDescription") and returns its position.
    long addAssetAtLocation(const ScriptValue::Dictionary& location, bool content,
                            const std::optional<ScriptValue::Dictionary>& metadata,
                            const std::optional<ScriptValue::Dictionary>& dataOptions);
    // The same from a file: a media file and its description share one asset.
    long addAssetAtURL(const std::filesystem::path& url, bool content,
                       const std::optional<ScriptValue::Dictionary>& metadata,
                       const std::optional<ScriptValue::Dictionary>& dataOptions);
    long addURL(const std::filesystem::path& url, bool content,
                const std::optional<ScriptValue::Dictionary>& metadata,
                const std::optional<ScriptValue::Dictionary>& dataOptions) {
        return addAssetAtURL(url, content, metadata, dataOptions);
    }

    // The "Asset Collection" file: one media file URL per asset, joined by line feeds.
    std::string dataOfType(const std::string& type) const;
    void readFromData(const std::string& data, const std::string& type);

private:
    FCPShareDocument();
    void insertLocked(const std::shared_ptr<FCPShareAsset>& asset, std::size_t index);
    void reindexFromLocked(std::size_t index);

    mutable std::mutex mutex_;
    std::vector<std::shared_ptr<FCPShareAsset>> collection_;
    std::unordered_map<std::string, long> urlHash_;
    std::unordered_map<std::string, long> uniqueIDHash_;
    std::string collectionName_;
    std::string uniqueID_;
    std::optional<std::filesystem::path> defaultAssetLocation_;
    std::string collectionDescription_;
};

} // namespace kvnfcpx
