#include "kvnfcpx/FCPXMLDescription.h"

namespace kvnfcpx {

std::optional<SequenceContent>
FCPXMLDescription::parseMultiCamClip(const xmltree::XMLElement& /*element*/,
                                     const timecode::CMTime& /*tcStart*/,
                                     const ClipTime& /*itemTime*/, const ClipTime& /*parentTiming*/,
                                     const std::optional<std::string>& /*groupId*/) const {
    // Not built yet: multicam clips are not flattened, so an mc-clip contributes no clips or
    // markers of its own (connected clips on it are still walked by parseItems).
    return std::nullopt;
}

} // namespace kvnfcpx
