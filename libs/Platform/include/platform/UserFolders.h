#pragma once

#include <filesystem>
#include <optional>

namespace platform {

// The user's Documents folder as `xdg-user-dir DOCUMENTS` names it: XDG_DOCUMENTS_DIR from
// "$XDG_CONFIG_HOME/user-dirs.dirs" (default "~/.config"), with "$HOME" expanded; otherwise
// "$HOME/Documents". None without a home folder. Read on every call.
std::optional<std::filesystem::path> userDocumentsFolder();

} // namespace platform
