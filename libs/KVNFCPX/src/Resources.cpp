#include "kvnfcpx/Resources.h"

namespace kvnfcpx {

void Resources::reindex() {
    index.formats.rebuild(formats);
    index.assets.rebuild(assets);
    index.media.rebuild(media);
    index.effects.rebuild(effects);
}

const Format* Resources::findFormat(std::string_view id) const {
    return index.formats.find(formats, id);
}

const Asset* Resources::findAsset(std::string_view id) const {
    const auto* shared = findSharedAsset(id);
    return shared ? &shared->get() : nullptr;
}

const koltutils::SharedValue<Asset>* Resources::findSharedAsset(std::string_view id) const {
    return index.assets.find(assets, id);
}

const Media* Resources::findMedia(std::string_view id) const {
    return index.media.find(media, id);
}

const Effect* Resources::findEffect(std::string_view id) const {
    return index.effects.find(effects, id);
}

} // namespace kvnfcpx
