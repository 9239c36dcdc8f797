#include "kvnfcpx/ClipEffect.h"

#include "KeyedArchive.h"

#include <koltutils/Log.h>

namespace kvnfcpx {

std::optional<ArchivedValue::Dictionary> ClipEffect::fullState() const {
    if (!effectState) {
        return std::nullopt;
    }
    auto reading = detail::readKeyedArchiveObject(*effectState, "effectState");
    if (reading.openError) {
        KOLT_LOG_ERROR("fullState", "Failed to read the effect state:", *reading.openError);
        return std::nullopt;
    }
    if (reading.object) {
        if (auto* dictionary = std::get_if<ArchivedValue::Dictionary>(&reading.object->storage)) {
            return std::move(*dictionary);
        }
    }
    return std::nullopt;
}

} // namespace kvnfcpx
