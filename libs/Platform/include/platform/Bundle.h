#pragma once

#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace platform {

// An application bundle: a folder named "*.app" holding "Contents/Info.plist", its executable in
// "Contents/MacOS" and its resources in "Contents/Resources". The information dictionary is read
// whole (XML or binary property list) when the bundle is made; its text entries are kept.
class Bundle {
public:
    // The bundle around the running executable, or none when the executable does not lie in
    // "<name>.app/Contents/MacOS". Looked up once per process.
    static std::optional<Bundle> main();

    // The bundle at `appFolder`, or none when the folder is not named "*.app" or has no readable
    // "Contents/Info.plist" whose root is a dictionary.
    static std::optional<Bundle> atPath(const std::filesystem::path& appFolder);

    // A bundle of any kind (an application, an app extension, a plug-in) at `folder`, whatever
    // its extension: none when the folder has no readable "Contents/Info.plist" whose root is a
    // dictionary.
    static std::optional<Bundle> anyAtPath(const std::filesystem::path& folder);

    // The bundle whose "Contents/MacOS" folder holds `executable`, or none.
    static std::optional<Bundle> containingExecutable(const std::filesystem::path& executable);

    // The "*.app" folder.
    const std::filesystem::path& bundlePath() const noexcept { return bundlePath_; }
    std::filesystem::path contentsPath() const { return bundlePath_ / "Contents"; }
    std::filesystem::path infoPlistPath() const { return contentsPath() / "Info.plist"; }
    std::filesystem::path resourcesPath() const { return contentsPath() / "Resources"; }

    // "Contents/MacOS/<CFBundleExecutable>", or none when the key is missing or empty.
    std::optional<std::filesystem::path> executablePath() const;

    // The "CFBundleIdentifier" entry.
    std::optional<std::string> identifier() const { return infoString("CFBundleIdentifier"); }

    // The text of a key of the information dictionary; none when the key is missing or its value
    // is not text.
    std::optional<std::string> infoString(std::string_view key) const;

    bool operator==(const Bundle&) const = default;

private:
    using InfoStrings = std::map<std::string, std::string, std::less<>>;

    Bundle(std::filesystem::path bundlePath, InfoStrings infoStrings)
        : bundlePath_(std::move(bundlePath)), infoStrings_(std::move(infoStrings)) {}

    std::filesystem::path bundlePath_;
    InfoStrings infoStrings_;
};

} // namespace platform
