// velotrack-pluginkit: a stand-in for the platform's plug-in registry tool, for desktops that do
// not have one. It understands the command lines the registry helpers use and prints what the
// real tool prints:
//
//   velotrack-pluginkit -v -m -i <identifier>    the elected (most recently registered) copy
//   velotrack-pluginkit -vD -m -i <identifier>   every registered copy, most recent first
//   velotrack-pluginkit -a <bundle>              registers the bundle (again: replaces its entry)
//   velotrack-pluginkit -r <bundle>              unregisters the bundle
//
// A copy prints as "+    <identifier>(<version>)\t<UUID>\t<YYYY-MM-DD HH:MM:SS +0000>\t<path>".
//
// Registrations live in one file, $XDG_STATE_HOME/velotrack/pluginkit-registrations (by default
// under ~/.local/state), one tab-separated record per line in registration order. Every change
// holds an exclusive lock on a file beside it for the whole read-modify-write, and is written to
// a temporary file that then replaces the old one, so concurrent runs lose nothing and a crash
// never leaves a half-written file.

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <optional>
#include <platform/AtomicFile.h>
#include <platform/Bundle.h>
#include <random>
#include <sstream>
#include <stdexcept>
#include <string>
#include <string_view>
#include <sys/file.h>
#include <unistd.h>
#include <vector>

namespace {

namespace fs = std::filesystem;

constexpr std::string_view programName = "velotrack-pluginkit";

// Thrown for anything the user should read on standard error; the tool then exits with 1.
struct Failure : std::runtime_error {
    using std::runtime_error::runtime_error;
};

struct Registration {
    std::string identifier;
    std::string version;
    std::string uuid;
    std::string date;
    std::string path;
};

fs::path stateFolder() {
    if (const char* state = std::getenv("XDG_STATE_HOME");
        state != nullptr && *state != '\0' && fs::path(state).is_absolute()) {
        return fs::path(state) / "velotrack";
    }
    const char* home = std::getenv("HOME");
    if (home == nullptr || *home == '\0') {
        throw Failure("neither XDG_STATE_HOME nor HOME is set");
    }
    return fs::path(home) / ".local" / "state" / "velotrack";
}

std::vector<std::string> splitTabs(const std::string& line) {
    std::vector<std::string> fields;
    std::size_t start = 0;
    while (true) {
        const auto tab = line.find('\t', start);
        fields.push_back(line.substr(start, tab - start));
        if (tab == std::string::npos) {
            return fields;
        }
        start = tab + 1;
    }
}

// Holds the registry's lock while alive.
class RegistryLock {
public:
    explicit RegistryLock(const fs::path& folder) {
        const auto path = folder / "pluginkit-registrations.lock";
        descriptor_ = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
        if (descriptor_ < 0) {
            throw Failure("cannot open " + path.string() + ": " + std::strerror(errno));
        }
        while (::flock(descriptor_, LOCK_EX) != 0) {
            if (errno != EINTR) {
                const auto reason = std::string(std::strerror(errno));
                ::close(descriptor_);
                throw Failure("cannot lock " + path.string() + ": " + reason);
            }
        }
    }
    RegistryLock(const RegistryLock&) = delete;
    RegistryLock& operator=(const RegistryLock&) = delete;
    ~RegistryLock() { ::close(descriptor_); }

private:
    int descriptor_ = -1;
};

class Registry {
public:
    Registry() : folder_(stateFolder()) {
        std::error_code error;
        fs::create_directories(folder_, error);
        if (error) {
            throw Failure("cannot create " + folder_.string() + ": " + error.message());
        }
    }

    const fs::path& folder() const { return folder_; }

    // In registration order; lines that are not records are skipped.
    std::vector<Registration> read() const {
        std::vector<Registration> registrations;
        std::ifstream stream(file());
        std::string line;
        while (std::getline(stream, line)) {
            auto fields = splitTabs(line);
            if (fields.size() != 5) {
                continue;
            }
            registrations.push_back({std::move(fields[0]), std::move(fields[1]),
                                     std::move(fields[2]), std::move(fields[3]),
                                     std::move(fields[4])});
        }
        return registrations;
    }

    void write(const std::vector<Registration>& registrations) const {
        std::string text;
        for (const auto& entry : registrations) {
            text += entry.identifier + '\t' + entry.version + '\t' + entry.uuid + '\t' +
                    entry.date + '\t' + entry.path + '\n';
        }
        std::string reason;
        if (!platform::writeFileAtomically(file(), text, &reason)) {
            throw Failure("cannot write " + file().string() + ": " + reason);
        }
    }

private:
    fs::path file() const { return folder_ / "pluginkit-registrations"; }

    fs::path folder_;
};

std::string printed(const Registration& entry) {
    return "+    " + entry.identifier + "(" + entry.version + ")\t" + entry.uuid + "\t" +
           entry.date + "\t" + entry.path;
}

std::string makeUUID() {
    std::random_device device;
    std::uniform_int_distribution<int> nibble(0, 15);
    constexpr std::string_view digits = "0123456789ABCDEF";
    std::string uuid;
    for (int index = 0; index < 32; ++index) {
        int value = nibble(device);
        if (index == 12) {
            value = 4; // version 4: random
        } else if (index == 16) {
            value = 8 | (value & 3); // the RFC 4122 variant
        }
        if (index == 8 || index == 12 || index == 16 || index == 20) {
            uuid += '-';
        }
        uuid += digits[static_cast<std::size_t>(value)];
    }
    return uuid;
}

std::string nowUTC() {
    const std::time_t now = std::time(nullptr);
    std::tm parts{};
    ::gmtime_r(&now, &parts);
    char text[32] = {};
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S +0000", &parts);
    return text;
}

std::string normalisedPath(const std::string& argument) {
    std::error_code error;
    auto text = fs::absolute(argument, error).lexically_normal().string();
    while (text.size() > 1 && text.back() == '/') {
        text.pop_back();
    }
    return text;
}

// The registration for the bundle at `path`: its identifier and version from
// Contents/Info.plist. Throws when the path is no such bundle.
Registration bundleAt(const std::string& argument) {
    const auto text = normalisedPath(argument);
    const fs::path path(text);
    std::error_code error;
    const auto notABundle =
        Failure(std::string(programName) + ": " + argument + " is not an extension bundle");
    if (!fs::is_directory(path, error) || text.find_first_of("\t\n\r") != std::string::npos) {
        throw notABundle;
    }
    const auto bundle = platform::Bundle::anyAtPath(path);
    if (!bundle) {
        throw notABundle;
    }
    const auto identifier = bundle->identifier();
    const auto version = bundle->infoString("CFBundleShortVersionString");
    if (!identifier || identifier->empty() ||
        identifier->find_first_of("\t\n\r()") != std::string::npos ||
        (version && version->find_first_of("\t\n\r") != std::string::npos)) {
        throw notABundle;
    }
    return {*identifier, version.value_or(""), makeUUID(), nowUTC(), text};
}

void list(const std::string& identifier, bool everyCopy) {
    const Registry registry;
    const RegistryLock lock(registry.folder());
    const auto registrations = registry.read();
    for (auto entry = registrations.rbegin(); entry != registrations.rend(); ++entry) {
        if (entry->identifier != identifier) {
            continue;
        }
        std::cout << printed(*entry) << '\n';
        if (!everyCopy) {
            return;
        }
    }
}

void add(const std::string& argument) {
    auto registration = bundleAt(argument);
    const Registry registry;
    const RegistryLock lock(registry.folder());
    auto registrations = registry.read();
    std::erase_if(registrations,
                  [&](const Registration& entry) { return entry.path == registration.path; });
    registrations.push_back(std::move(registration));
    registry.write(registrations);
}

void remove(const std::string& argument) {
    const auto path = normalisedPath(argument);
    const Registry registry;
    const RegistryLock lock(registry.folder());
    auto registrations = registry.read();
    const auto removed =
        std::erase_if(registrations, [&](const Registration& entry) { return entry.path == path; });
    if (removed > 0) {
        registry.write(registrations);
    }
}

int usage() {
    std::cerr << "usage: " << programName << " -v -m -i <identifier>\n"
              << "       " << programName << " -vD -m -i <identifier>\n"
              << "       " << programName << " -a <bundle>\n"
              << "       " << programName << " -r <bundle>\n";
    return 64;
}

} // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    try {
        if (args.size() == 4 && (args[0] == "-v" || args[0] == "-vD") && args[1] == "-m" &&
            args[2] == "-i") {
            list(args[3], args[0] == "-vD");
        } else if (args.size() == 2 && args[0] == "-a") {
            add(args[1]);
        } else if (args.size() == 2 && args[0] == "-r") {
            remove(args[1]);
        } else {
            return usage();
        }
    } catch (const Failure& failure) {
        std::cerr << failure.what() << '\n';
        return 1;
    } catch (const std::exception& failure) {
        std::cerr << programName << ": " << failure.what() << '\n';
        return 1;
    }
    return 0;
}
