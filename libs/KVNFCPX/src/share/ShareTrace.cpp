#include "ShareTrace.h"

#include <koltutils/Log.h>
#include <string>

namespace kvnfcpx::detail {

void shareTrace(std::string_view file, int line, std::string_view method,
                std::string_view details) {
    const auto slash = file.find_last_of('/');
    if (slash != std::string_view::npos) {
        file.remove_prefix(slash + 1);
    }
    std::string text = "Ⓜ️ ";
    text.append(file).append(":").append(std::to_string(line)).append(":").append(method);
    if (!details.empty()) {
        text.append(" ").append(details);
    }
    try {
        if (auto sink = koltutils::Log::sink()) {
            sink->write({koltutils::Log::subsystem(), "", platform::LogLevel::info, text});
        }
    } catch (...) {
        // Tracing never fails towards its caller.
    }
}

} // namespace kvnfcpx::detail
