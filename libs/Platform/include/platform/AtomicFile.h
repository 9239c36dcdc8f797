#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace platform {

// Replaces `file` with `text` so that a reader sees the old contents or the new, never a part:
// the text goes to a new file beside it, is flushed to the disk and then renamed over it. On
// failure the old file is untouched, the temporary file is removed, `reason` (when given) gets
// the system's reason, and the result is false.
bool writeFileAtomically(const std::filesystem::path& file, std::string_view text,
                         std::string* reason = nullptr);

} // namespace platform
