#pragma once

#include <filesystem>
#include <stdexcept>

namespace platform {

// The user's Trash, the freedesktop.org way: an item on the home folder's volume goes to
// "$XDG_DATA_HOME/Trash" (default "~/.local/share/Trash"), an item elsewhere to the volume's own
// ".Trash-$UID", each with a ".trashinfo" record of where it came from and when. Nothing is ever
// deleted for good. GIO reads XDG_DATA_HOME once per process, at its first use.
class Trash {
public:
    Trash() = delete;

    // Moves the file or folder (with its contents) at `path` to the Trash. Throws
    // std::runtime_error with the platform's reason when it cannot, for example on a system
    // mount without a Trash; the item is then left in place.
    static void moveItem(const std::filesystem::path& path);
};

} // namespace platform
