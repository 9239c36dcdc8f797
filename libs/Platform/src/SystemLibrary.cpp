#include "platform/SystemLibrary.h"

#include <cstdlib>

namespace platform {

std::filesystem::path systemLibraryRoot() {
    const char* relocated = std::getenv("VELOTRACK_SYSTEM_LIBRARY");
    if (relocated != nullptr && *relocated != '\0') {
        return relocated;
    }
    return "/Library";
}

} // namespace platform
