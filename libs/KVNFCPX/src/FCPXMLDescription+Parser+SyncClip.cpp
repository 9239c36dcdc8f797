#include "kvnfcpx/FCPXMLDescription.h"

namespace kvnfcpx {

std::optional<SequenceContent>
FCPXMLDescription::parseSyncClip(const xmltree::XMLElement& /*element*/,
                                 const timecode::CMTime& /*tcStart*/, const ClipTime& /*itemTime*/,
                                 const ClipTime& /*parentTiming*/,
                                 const std::optional<std::string>& /*groupId*/) const {
    // Not built yet: sync clips are not flattened, so a sync-clip contributes nothing, and its
    // children (which this parser walks, not parseItems) are not read either.
    return std::nullopt;
}

} // namespace kvnfcpx
