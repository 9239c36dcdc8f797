#pragma once

#include <QImage>
#include <filesystem>
#include <optional>
#include <string_view>

namespace velotrack {

// The application's named images: "<name>.png" in a resources folder. Each image is read once
// and kept for the life of the process; an image that is missing or unreadable is none.
// Main thread only.
class ImageAssets {
public:
    explicit ImageAssets(std::filesystem::path resourcesFolder)
        : resourcesFolder_(std::move(resourcesFolder)) {}

    // The main bundle's resources; no images at all without a bundle.
    static ImageAssets mainBundle();

    std::optional<QImage> named(std::string_view name) const;

private:
    std::filesystem::path resourcesFolder_;
};

} // namespace velotrack
