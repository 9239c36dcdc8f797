#include "platform/AtomicFile.h"

#include <cerrno>
#include <cstring>
#include <unistd.h>

namespace platform {

namespace {

bool writeAll(int descriptor, std::string_view text) {
    const char* cursor = text.data();
    std::size_t remaining = text.size();
    while (remaining > 0) {
        const auto count = ::write(descriptor, cursor, remaining);
        if (count < 0 && errno == EINTR) {
            continue;
        }
        if (count <= 0) {
            return false;
        }
        cursor += count;
        remaining -= static_cast<std::size_t>(count);
    }
    return true;
}

} // namespace

bool writeFileAtomically(const std::filesystem::path& file, std::string_view text,
                         std::string* reason) {
    auto pattern = (file.parent_path() / (file.filename().string() + ".XXXXXX")).string();
    const int descriptor = ::mkstemp(pattern.data());
    bool written = descriptor >= 0 && writeAll(descriptor, text) && ::fsync(descriptor) == 0;
    if (descriptor >= 0) {
        written = ::close(descriptor) == 0 && written;
    }
    if (written && ::rename(pattern.c_str(), file.c_str()) == 0) {
        return true;
    }
    if (reason != nullptr) {
        *reason = std::strerror(errno);
    }
    if (descriptor >= 0) {
        ::unlink(pattern.c_str());
    }
    return false;
}

} // namespace platform
