#include "koltutils/DirectoryEvent.h"

namespace koltutils {

std::string DirectoryEvent::description() const {
    std::string text = isNew_ ? "new(files: [" : "removed(files: [";
    for (std::size_t index = 0; index < files_.size(); ++index) {
        text += (index == 0 ? "" : ", ") + files_[index].string();
    }
    return text + "], source: " + source_.string() + ")";
}

} // namespace koltutils
