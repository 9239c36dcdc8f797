#pragma once

#include <filesystem>

namespace platform {

// The root of the system-wide library folder ("/Library" on the editor's platform), under which
// the hosts keep their extensions and share destinations. The environment variable
// VELOTRACK_SYSTEM_LIBRARY relocates it (tests and the command line point it at a folder of
// their own); it is read on every call, so a change takes effect at once. Every system-wide
// location is built from this one root, and nothing is written outside it.
std::filesystem::path systemLibraryRoot();

} // namespace platform
