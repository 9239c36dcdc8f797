#include "kvnfcpx/FCPXMLDescription.h"

namespace kvnfcpx {

std::optional<std::vector<AssetClip>>
FCPXMLDescription::parseRefClip(const xmltree::XMLElement& /*element*/,
                                const timecode::CMTime& /*tcStart*/, const ClipTime& /*itemTime*/,
                                const ClipTime& /*parentTiming*/,
                                const std::optional<std::string>& /*groupId*/) const {
    // Not built yet: compound clips are not flattened, so a ref-clip contributes no clips of
    // its own (connected clips on it are still walked by parseItems).
    return std::nullopt;
}

} // namespace kvnfcpx
