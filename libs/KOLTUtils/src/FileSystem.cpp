#include "koltutils/FileSystem.h"

#include "koltutils/Log.h"
#include "koltutils/URL.h"
#include "platform/Trash.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <limits>
#include <set>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <utility>

namespace koltutils::FileSystem {

namespace fs = std::filesystem;

namespace {

std::string lowercased(std::string_view text) {
    std::string result(text);
    std::transform(result.begin(), result.end(), result.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return result;
}

// The text after the last "." of the name; empty for "name" and ".hidden".
std::string extensionOf(const Path& path) {
    const std::string extension = path.extension().string();
    return extension.empty() ? extension : extension.substr(1);
}

bool hasExtension(const Path& path, const std::optional<std::string>& extension) {
    return !extension || extensionOf(path) == *extension;
}

bool isHiddenName(const Path& path) {
    const std::string name = path.filename().string();
    return !name.empty() && name.front() == '.';
}

bool somethingExistsAt(const Path& path) {
    std::error_code error;
    return fs::symlink_status(path, error).type() != fs::file_type::not_found && !error;
}

struct Entry {
    Path path;
    bool isFolder = false;
    bool isPackage = false;
};

// The state one listing carries down its recursion: the folders already seen, by identity.
class Walk {
public:
    // Marks a folder as seen; false when it had been seen before (or cannot be examined).
    bool enter(const Path& folder) {
        struct stat info {};
        if (stat(folder.c_str(), &info) != 0) {
            return false;
        }
        return visited_.emplace(info.st_dev, info.st_ino).second;
    }

    // The direct entries of `folder`, links resolved, folders seen before dropped, by name.
    std::vector<Entry> list(const Path& folder, bool skipHidden) {
        std::vector<Entry> entries;
        std::error_code error;
        for (fs::directory_iterator it(folder, error), end; !error && it != end;
             it.increment(error)) {
            Path path = it->path();
            if (skipHidden && isHiddenName(path)) {
                continue;
            }
            std::error_code statusError;
            if (it->is_symlink(statusError)) {
                path = fs::canonical(path, statusError);
                if (statusError) {
                    continue; // an alias that cannot be resolved
                }
            }
            const bool isFolder = fs::is_directory(path, statusError);
            if (statusError) {
                continue;
            }
            if (isFolder && !enter(path)) {
                continue;
            }
            entries.push_back({path, isFolder, isFolder && isPackage(path)});
        }
        std::sort(entries.begin(), entries.end(),
                  [](const Entry& a, const Entry& b) { return a.path < b.path; });
        return entries;
    }

private:
    std::set<std::pair<dev_t, ino_t>> visited_;
};

// Logs the missing folder and answers false, or starts the walk at it.
bool startWalk(Walk& walk, const Path& in, std::string_view function) {
    if (!somethingExistsAt(in)) {
        KOLT_LOG_ERROR(function, in, "doesn't exist");
        return false;
    }
    walk.enter(in);
    return true;
}

void collectDirectories(Walk& walk, const Path& folder, bool recursive, bool skipHidden,
                        std::vector<Path>& result) {
    for (const auto& entry : walk.list(folder, skipHidden)) {
        if (!entry.isFolder || entry.isPackage) {
            continue;
        }
        result.push_back(entry.path);
        if (recursive) {
            collectDirectories(walk, entry.path, recursive, skipHidden, result);
        }
    }
}

void collectPackages(Walk& walk, const Path& folder, const std::optional<std::string>& extension,
                     bool recursive, bool skipHidden, std::vector<Path>& result) {
    for (const auto& entry : walk.list(folder, skipHidden)) {
        if (entry.isPackage) {
            if (hasExtension(entry.path, extension)) {
                result.push_back(entry.path);
            }
        } else if (entry.isFolder && recursive) {
            collectPackages(walk, entry.path, extension, recursive, skipHidden, result);
        }
    }
}

void collectFiles(Walk& walk, const Path& folder, const FileURLOptions& options,
                  std::vector<Path>& result) {
    const auto& allowed = options.allowedPackageTypes;
    for (const auto& entry : walk.list(folder, options.skipsHiddenFiles)) {
        const bool countsAsFile =
            !entry.isFolder ||
            (entry.isPackage &&
             std::find(allowed.begin(), allowed.end(), extensionOf(entry.path)) != allowed.end());
        if (countsAsFile && hasExtension(entry.path, options.withExtension)) {
            result.push_back(entry.path);
        }
        if (entry.isFolder && options.recursive &&
            !(entry.isPackage && options.skipsPackageDescendants)) {
            collectFiles(walk, entry.path, options, result);
        }
    }
}

// Digits of a run without its leading zeros ("007" -> "7", "000" -> "").
std::string_view significantDigits(std::string_view run) {
    const auto first = run.find_first_not_of('0');
    return first == std::string_view::npos ? std::string_view() : run.substr(first);
}

std::string trimmedDecimal(double value, int decimals) {
    std::array<char, 64> buffer{};
    std::snprintf(buffer.data(), buffer.size(), "%.*f", decimals, value);
    std::string text(buffer.data());
    if (text.find('.') != std::string::npos) {
        text.erase(text.find_last_not_of('0') + 1);
        if (text.back() == '.') {
            text.pop_back();
        }
    }
    return text;
}

struct ByteUnit {
    std::string_view name;
    int decimals;
};
constexpr std::array<ByteUnit, 7> byteUnits{
    {{"bytes", 0}, {"KB", 0}, {"MB", 1}, {"GB", 2}, {"TB", 2}, {"PB", 2}, {"EB", 2}}};

std::string unescapeMountField(std::string_view field) {
    // /proc/self/mounts writes space, tab, newline and backslash as three octal digits.
    std::string result;
    for (std::size_t i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 3 < field.size()) {
            const auto digits = field.substr(i + 1, 3);
            if (std::all_of(digits.begin(), digits.end(),
                            [](char c) { return c >= '0' && c <= '7'; })) {
                result.push_back(static_cast<char>(((digits[0] - '0') << 6) |
                                                   ((digits[1] - '0') << 3) | (digits[2] - '0')));
                i += 3;
                continue;
            }
        }
        result.push_back(field[i]);
    }
    return result;
}

} // namespace

bool isPackage(const Path& path) {
    const std::string extension = lowercased(extensionOf(path));
    std::error_code error;
    return !extension.empty() &&
           std::find(packageExtensions.begin(), packageExtensions.end(), extension) !=
               packageExtensions.end() &&
           fs::is_directory(path, error);
}

std::vector<Path> getDirectories(const Path& in, bool recursive, bool skipHidden) {
    std::vector<Path> result;
    Walk walk;
    if (startWalk(walk, in, "getDirectories(in:recursive:skipHidden:)")) {
        collectDirectories(walk, in, recursive, skipHidden, result);
    }
    return result;
}

std::vector<Path> getPackages(const Path& in, const std::optional<std::string>& withExtension,
                              bool recursive, bool skipHidden) {
    std::vector<Path> result;
    Walk walk;
    if (startWalk(walk, in, "getPackages(in:withExtension:recursive:skipHidden:)")) {
        collectPackages(walk, in, withExtension, recursive, skipHidden, result);
    }
    return result;
}

std::vector<Path> getFileURLs(const Path& in, const FileURLOptions& options) {
    std::vector<Path> result;
    Walk walk;
    if (startWalk(walk, in,
                  "getFileURLs(in:withExtension:recursive:allowedPackageTypes:skipsHiddenFiles:"
                  "skipsPackageDescendants:sorted:)")) {
        collectFiles(walk, in, options, result);
    }
    if (options.sorted) {
        std::stable_sort(result.begin(), result.end(), [](const Path& a, const Path& b) {
            return localizedStandardLess(a.filename().string(), b.filename().string());
        });
    }
    return result;
}

std::vector<Path> deleteEmptyDirectories(const Path& in) {
    std::vector<Path> trashed;
    if (!somethingExistsAt(in)) {
        return trashed;
    }
    std::vector<Path> folders;
    std::error_code error;
    // Links are not followed and packages are not entered: a bundle's empty folders belong to it.
    for (fs::recursive_directory_iterator
             it(in, fs::directory_options::skip_permission_denied, error),
         end;
         !error && it != end; it.increment(error)) {
        std::error_code statusError;
        if (it->is_directory(statusError) && !it->is_symlink(statusError)) {
            if (isPackage(it->path())) {
                it.disable_recursion_pending();
            } else {
                folders.push_back(it->path());
            }
        }
    }
    std::sort(folders.begin(), folders.end());
    const auto depth = [](const Path& path) { return std::distance(path.begin(), path.end()); };
    std::stable_sort(folders.begin(), folders.end(),
                     [&](const Path& a, const Path& b) { return depth(a) > depth(b); });
    for (const auto& folder : folders) {
        std::error_code ignored;
        fs::remove(folder / ".DS_Store", ignored);
        std::error_code listError;
        const bool empty = fs::is_empty(folder, listError);
        if (listError || !empty) {
            continue;
        }
        try {
            platform::Trash::moveItem(folder);
        } catch (const std::exception&) {
            continue;
        }
        KOLT_LOG_DEBUG("deleteEmptyDirectories(in:)", "🗑 Deleted Empty Directory:", folder);
        trashed.push_back(folder);
    }
    return trashed;
}

Path nextAvailableURL(const Path& url, std::string_view delimiter, std::string_view suffix) {
    if (!somethingExistsAt(url)) {
        return url;
    }
    std::error_code error;
    const bool isFolder = fs::is_directory(url, error);
    const Path parent = url.parent_path();
    const std::string stem =
        (isFolder ? url.filename().string() : url.stem().string()) + std::string(suffix);
    const std::string extension = isFolder ? std::string() : url.extension().string();
    constexpr int attempts = 100'000;
    for (int counter = 1; counter <= attempts; ++counter) {
        Path candidate =
            parent / (stem + std::string(delimiter) + std::to_string(counter) + extension);
        if (!somethingExistsAt(candidate)) {
            return candidate;
        }
    }
    return url;
}

std::optional<Path> requestDirectory(const std::optional<std::string>& message,
                                     const std::optional<Path>& directoryURL,
                                     platform::OpenPanel* panel) {
    std::shared_ptr<platform::OpenPanel> shared;
    if (!panel) {
        shared = platform::OpenPanel::shared();
        panel = shared.get();
    }
    if (!panel) {
        return std::nullopt;
    }
    platform::OpenPanel::Configuration configuration;
    configuration.canChooseFiles = false;
    configuration.canChooseDirectories = true;
    configuration.allowsMultipleSelection = false;
    configuration.message = message.value_or("Please select a directory");
    configuration.directoryURL = directoryURL;
    const auto chosen = panel->runModal(configuration);
    if (!chosen || chosen->empty()) {
        return std::nullopt;
    }
    return chosen->front();
}

bool localizedStandardLess(std::string_view lhs, std::string_view rhs) {
    const auto isDigit = [](char c) { return c >= '0' && c <= '9'; };
    std::size_t i = 0;
    std::size_t j = 0;
    while (i < lhs.size() && j < rhs.size()) {
        if (isDigit(lhs[i]) && isDigit(rhs[j])) {
            const std::size_t iEnd = std::min(lhs.find_first_not_of("0123456789", i), lhs.size());
            const std::size_t jEnd = std::min(rhs.find_first_not_of("0123456789", j), rhs.size());
            const auto a = significantDigits(lhs.substr(i, iEnd - i));
            const auto b = significantDigits(rhs.substr(j, jEnd - j));
            if (a.size() != b.size()) {
                return a.size() < b.size();
            }
            if (a != b) {
                return a < b;
            }
            i = iEnd;
            j = jEnd;
            continue;
        }
        const auto a = std::tolower(static_cast<unsigned char>(lhs[i]));
        const auto b = std::tolower(static_cast<unsigned char>(rhs[j]));
        if (a != b) {
            return a < b;
        }
        ++i;
        ++j;
    }
    if ((i < lhs.size()) != (j < rhs.size())) {
        return j < rhs.size();
    }
    return lhs < rhs;
}

std::string byteCountToString(std::uint64_t byteCount) {
    if (byteCount < 1000) {
        return std::to_string(byteCount) + (byteCount == 1 ? " byte" : " bytes");
    }
    std::size_t unit = 1;
    double value = static_cast<double>(byteCount) / 1000.0;
    while (unit + 1 < byteUnits.size()) {
        const double scale = std::pow(10.0, byteUnits[unit].decimals);
        // A value that rounds up to 1000 is shown in the next unit ("1 MB", not "1000 KB").
        if (std::round(value * scale) / scale < 1000.0) {
            break;
        }
        value /= 1000.0;
        ++unit;
    }
    return trimmedDecimal(value, byteUnits[unit].decimals) + " " +
           std::string(byteUnits[unit].name);
}

std::optional<std::uint64_t> stringToByteCount(std::string_view text) {
    std::size_t end = 0;
    while (end < text.size() && ((text[end] >= '0' && text[end] <= '9') || text[end] == '.')) {
        ++end;
    }
    const std::string number(text.substr(0, end));
    if (number.empty() || number == "." || std::count(number.begin(), number.end(), '.') > 1) {
        return std::nullopt;
    }
    std::string_view unitText = text.substr(end);
    if (!unitText.empty() && unitText.front() == ' ') {
        unitText.remove_prefix(1);
    }
    const std::string unit = lowercased(unitText);
    long double multiplier = 1;
    if (unit.empty() || unit == "b" || unit == "byte" || unit == "bytes") {
        multiplier = 1;
    } else {
        bool found = false;
        for (std::size_t index = 1; index < byteUnits.size() && !found; ++index) {
            multiplier *= 1000;
            found = unit == lowercased(byteUnits[index].name);
        }
        if (!found) {
            return std::nullopt;
        }
    }
    const long double value = std::strtold(number.c_str(), nullptr) * multiplier;
    const long double rounded = std::round(value);
    if (!(rounded < 18446744073709551616.0L)) {
        return std::nullopt;
    }
    return static_cast<std::uint64_t>(rounded);
}

std::optional<std::uint64_t> diskSize(const Path& path) {
    struct statvfs info {};
    if (statvfs(path.c_str(), &info) != 0) {
        return std::nullopt;
    }
    return static_cast<std::uint64_t>(info.f_blocks) * info.f_frsize;
}

std::optional<std::uint64_t> diskFreeSpace(const Path& path) {
    struct statvfs info {};
    if (statvfs(path.c_str(), &info) != 0) {
        return std::nullopt;
    }
    return static_cast<std::uint64_t>(info.f_bavail) * info.f_frsize;
}

std::vector<Path> mountedVolumes() {
    std::vector<Path> volumes{"/"};
    std::ifstream mounts("/proc/self/mounts");
    for (std::string device, mountPoint, rest; mounts >> device >> mountPoint;) {
        std::getline(mounts, rest);
        if (device.rfind("/dev/", 0) != 0) {
            continue;
        }
        Path volume = unescapeMountField(mountPoint);
        if (std::find(volumes.begin(), volumes.end(), volume) == volumes.end()) {
            volumes.push_back(std::move(volume));
        }
    }
    return volumes;
}

std::optional<Path> volumeOf(const Path& path) {
    std::error_code error;
    Path current = fs::canonical(path, error);
    if (error) {
        return std::nullopt;
    }
    struct stat info {};
    if (stat(current.c_str(), &info) != 0) {
        return std::nullopt;
    }
    while (current.has_relative_path()) {
        struct stat parentInfo {};
        const Path parent = current.parent_path();
        if (stat(parent.c_str(), &parentInfo) != 0 || parentInfo.st_dev != info.st_dev) {
            break;
        }
        current = parent;
    }
    return current;
}

std::optional<std::string> getQueryStringParameter(const std::optional<std::string>& url,
                                                   std::string_view parameter) {
    if (!url) {
        return std::nullopt;
    }
    const auto parsed = URL::fromString(*url);
    const auto items = parsed ? parsed->queryItems() : std::nullopt;
    if (!items) {
        return std::nullopt;
    }
    for (const auto& item : *items) {
        if (item.name == parameter) {
            return item.value;
        }
    }
    return std::nullopt;
}

std::optional<Path> searchRecursivelyForFolder(std::string_view name, const Path& in) {
    for (auto& folder : getDirectories(in, true, false)) {
        if (folder.filename() == name) {
            return std::move(folder);
        }
    }
    return std::nullopt;
}

} // namespace koltutils::FileSystem
