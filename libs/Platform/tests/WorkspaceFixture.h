#pragma once

// Real application bundles in a temporary folder that the system workspace searches, for the
// tests of every library that finds, runs or opens applications.

#include "platform/Workspace.h"

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <optional>
#include <plist/plist.h>
#include <set>
#include <signal.h>
#include <stdexcept>
#include <stdlib.h>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

namespace platform::testing {

// Polls `condition` until it holds or a generous limit passes; processes start and end
// asynchronously, and a loaded machine may take a while.
inline bool eventually(const std::function<bool()>& condition) {
    using namespace std::chrono_literals;
    const auto deadline = std::chrono::steady_clock::now() + 20s;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline) {
            return false;
        }
        std::this_thread::sleep_for(20ms);
    }
    return true;
}

// Sets an environment variable for the life of the object and then restores the old state.
class ScopedEnvironment {
public:
    ScopedEnvironment(std::string name, const std::optional<std::string>& value)
        : name_(std::move(name)) {
        if (const char* old = std::getenv(name_.c_str())) {
            previous_ = old;
        }
        apply(value);
    }
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;
    ~ScopedEnvironment() { apply(previous_); }

private:
    void apply(const std::optional<std::string>& value) const {
        if (value) {
            ::setenv(name_.c_str(), value->c_str(), 1);
        } else {
            ::unsetenv(name_.c_str());
        }
    }

    std::string name_;
    std::optional<std::string> previous_;
};

enum class InfoPlistFormat { xml, binary };

// A temporary folder with an "Applications" folder in it that VELOTRACK_APPLICATION_DIRS names
// while the object lives. Applications made here run a shell script that writes
// "<root>/<name>.launched" (the value of the variable "referrer", or "-" when unset) and keeps
// running until "<root>/<name>.stop" exists. Whatever still runs at the end is killed.
class ApplicationFolderFixture {
public:
    ApplicationFolderFixture()
        : root_(makeTemporaryFolder()), environment_(folderVariable(), applications().string()) {
        std::filesystem::create_directories(applications());
    }
    ApplicationFolderFixture(const ApplicationFolderFixture&) = delete;
    ApplicationFolderFixture& operator=(const ApplicationFolderFixture&) = delete;
    ~ApplicationFolderFixture() {
        for (const auto& identifier : identifiers_) {
            for (const auto& running : Workspace::shared().runningApplications(identifier)) {
                // Other tests may run applications with the same identifier at the same time.
                if (isInside(running.bundleURL, root_)) {
                    killProcessGroupOf(running.processIdentifier);
                }
            }
        }
        std::error_code ignored;
        std::filesystem::remove_all(root_, ignored);
    }

    static const char* folderVariable() { return "VELOTRACK_APPLICATION_DIRS"; }

    const std::filesystem::path& root() const { return root_; }
    std::filesystem::path applications() const { return root_ / "Applications"; }

    // Makes "<applications>/<subfolder>/<name>.app" and returns its path.
    std::filesystem::path makeApplication(const std::string& name, const std::string& identifier,
                                          const std::filesystem::path& subfolder = {},
                                          InfoPlistFormat format = InfoPlistFormat::xml) {
        const auto bundle = applications() / subfolder / (name + ".app");
        const auto macOS = bundle / "Contents" / "MacOS";
        std::filesystem::create_directories(macOS);
        writeInfoPlist(bundle / "Contents" / "Info.plist", identifier, name, format);
        const auto executable = macOS / name;
        // The record appears whole (written aside, then renamed), so a reader never sees it
        // half written.
        const auto record = launchRecord(name).string();
        std::ofstream(executable) << "#!/bin/sh\n"
                                  << "printf '%s' \"${referrer--}\" > '" << record << ".part'\n"
                                  << "mv '" << record << ".part' '" << record << "'\n"
                                  << "while [ ! -e '" << stopFile(name).string()
                                  << "' ]; do sleep 0.05; done\n";
        std::filesystem::permissions(executable, std::filesystem::perms::owner_all);
        identifiers_.insert(identifier);
        return bundle;
    }

    std::filesystem::path launchRecord(const std::string& name) const {
        return root_ / (name + ".launched");
    }
    std::filesystem::path stopFile(const std::string& name) const {
        return root_ / (name + ".stop");
    }

    // What the application wrote when it started, or none before it did.
    std::optional<std::string> launchRecordOf(const std::string& name) const {
        std::ifstream stream(launchRecord(name));
        if (!stream) {
            return std::nullopt;
        }
        return std::string(std::istreambuf_iterator<char>(stream), {});
    }

    void stop(const std::string& name) const { std::ofstream(stopFile(name)) << "stop"; }

    // Installs, through VELOTRACK_URL_OPENER and for the life of the fixture, a stand-in for the
    // desktop's opener that records every URL it is given.
    void recordOpenedURLs() {
        const auto opener = root_ / "url-opener";
        std::ofstream(opener) << "#!/bin/sh\nprintf '%s\\n' \"$1\" >> '"
                              << (root_ / "opened-urls").string() << "'\n";
        std::filesystem::permissions(opener, std::filesystem::perms::owner_all);
        opener_.emplace("VELOTRACK_URL_OPENER", opener.string());
    }

    // The URLs the recording opener was given so far, in order.
    std::vector<std::string> openedURLs() const {
        std::vector<std::string> urls;
        std::ifstream stream(root_ / "opened-urls");
        for (std::string line; std::getline(stream, line);) {
            urls.push_back(line);
        }
        return urls;
    }

private:
    static std::filesystem::path makeTemporaryFolder() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "velotrack-apps-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr) {
            throw std::runtime_error("cannot create a temporary folder");
        }
        return pattern;
    }

    static void writeInfoPlist(const std::filesystem::path& file, const std::string& identifier,
                               const std::string& name, InfoPlistFormat format) {
        const std::unique_ptr<void, decltype(&plist_free)> dictionary(plist_new_dict(),
                                                                      &plist_free);
        plist_dict_set_item(dictionary.get(), "CFBundleIdentifier",
                            plist_new_string(identifier.c_str()));
        plist_dict_set_item(dictionary.get(), "CFBundleExecutable", plist_new_string(name.c_str()));
        plist_dict_set_item(dictionary.get(), "CFBundleName", plist_new_string(name.c_str()));
        char* bytes = nullptr;
        uint32_t length = 0;
        const bool xml = format == InfoPlistFormat::xml;
        (xml ? plist_to_xml : plist_to_bin)(dictionary.get(), &bytes, &length);
        std::ofstream(file, std::ios::binary).write(bytes, length);
        (xml ? plist_to_xml_free : plist_to_bin_free)(bytes);
    }

    static bool isInside(const std::filesystem::path& path, const std::filesystem::path& folder) {
        const auto relative = path.lexically_normal().lexically_relative(folder.lexically_normal());
        return !relative.empty() && *relative.begin() != "..";
    }

    static void killProcessGroupOf(int processIdentifier) {
        const auto group = ::getpgid(processIdentifier);
        if (group > 0 && group != ::getpgrp()) {
            ::kill(-group, SIGKILL);
        }
    }

    std::filesystem::path root_;
    ScopedEnvironment environment_;
    std::optional<ScopedEnvironment> opener_;
    std::set<std::string> identifiers_;
};

} // namespace platform::testing
