#include "ImageAssets.h"

#include "platform/Bundle.h"

#include <map>
#include <string>

namespace velotrack {

ImageAssets ImageAssets::mainBundle() {
    const auto bundle = platform::Bundle::main();
    return ImageAssets(bundle ? bundle->resourcesPath() : std::filesystem::path{});
}

std::optional<QImage> ImageAssets::named(std::string_view name) const {
    if (resourcesFolder_.empty()) {
        return std::nullopt;
    }
    // Images are few and small; keeping them avoids reading the same file at every use.
    static std::map<std::filesystem::path, std::optional<QImage>> loaded;
    const auto file = resourcesFolder_ / (std::string(name) + ".png");
    auto [entry, isNew] = loaded.try_emplace(file);
    if (isNew) {
        QImage image;
        if (image.load(QString::fromStdString(file.string()), "PNG")) {
            entry->second = std::move(image);
        }
    }
    return entry->second;
}

} // namespace velotrack
