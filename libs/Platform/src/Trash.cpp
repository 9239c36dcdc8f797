#include "platform/Trash.h"

#include <gio/gio.h>
#include <memory>
#include <string>

namespace platform {

void Trash::moveItem(const std::filesystem::path& path) {
    const std::unique_ptr<GFile, decltype(&g_object_unref)> file(g_file_new_for_path(path.c_str()),
                                                                 &g_object_unref);
    GError* error = nullptr;
    if (g_file_trash(file.get(), nullptr, &error)) {
        return;
    }
    std::string reason = error ? error->message : "unknown error";
    g_clear_error(&error);
    throw std::runtime_error(reason);
}

} // namespace platform
