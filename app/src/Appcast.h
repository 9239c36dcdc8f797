#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velotrack {

// One release announced by an update feed.
struct AppcastItem {
    // The build version compared with the application's "CFBundleVersion".
    std::string version;
    // The version people read ("1.2"), when the feed gives one.
    std::optional<std::string> shortVersionString;
    // Where to get the release: the item's page, else its download.
    std::optional<std::string> downloadPage;

    // The version to show a person.
    std::string displayVersion() const { return shortVersionString.value_or(version); }

    bool operator==(const AppcastItem&) const = default;
};

// An update feed: an RSS document whose items carry Sparkle's version elements or enclosure
// attributes.
struct Appcast {
    std::vector<AppcastItem> items;

    // Reads a feed. Items without a version are left out. Throws koltutils::DescribedError when
    // the text is not a well-formed RSS document.
    static Appcast parse(std::string_view xml);

    // The item with the highest version, the first of equals; none for an empty feed.
    std::optional<AppcastItem> newestItem() const;

    bool operator==(const Appcast&) const = default;
};

} // namespace velotrack
