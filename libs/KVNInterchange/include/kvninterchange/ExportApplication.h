#pragma once

#include "koltutils/EnumTable.h"
#include "koltutils/URL.h"
#include "kvninterchange/TimelineExportFormat.h"
#include "platform/Workspace.h"

#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace kvninterchange {

// The outside editors and audio workstations that timelines are exchanged with. The raw value
// is the stored form (koltutils::rawValue, koltutils::fromRawValue, koltutils::allCases).
//
// The installation questions take the workspace to ask, by default the machine's own; nothing
// is cached, every call asks anew.
enum class ExportApplication : std::uint8_t {
    premiere,
    audition,
    logic,
    finalCutPro,
    resolve,
    protools,
    mediaComposer,
    studioOne,
};

struct ExportApplicationCase {
    ExportApplication value;
    std::string_view rawValue;
    std::string_view name;
    // Most preferred first: the first one that is installed is the application's location.
    std::span<const std::string_view> bundleIDs;
    TimelineExportFormat recommendedFormat;
    bool allowsOpenAfterExport;
    // The named image asset of the application's icon.
    std::string_view image;
    // The vendor's product page; empty when there is none.
    std::string_view downloadURL;
};

namespace bundle_ids {
// Adobe skipped 16 to 21 when it moved to year-based version numbers.
inline constexpr std::array<std::string_view, 14> premiere{
    "com.adobe.PremierePro.CC11", "com.adobe.PremierePro.CC12", "com.adobe.PremierePro.13",
    "com.adobe.PremierePro.14",   "com.adobe.PremierePro.15",   "com.adobe.PremierePro.22",
    "com.adobe.PremierePro.23",   "com.adobe.PremierePro.24",   "com.adobe.PremierePro.25",
    "com.adobe.PremierePro.26",   "com.adobe.PremierePro.27",   "com.adobe.PremierePro.28",
    "com.adobe.PremierePro.29",   "com.adobe.PremierePro.30"};
inline constexpr std::array<std::string_view, 1> audition{"com.adobe.Audition"};
inline constexpr std::array<std::string_view, 1> logic{"com.apple.logic10"};
// Release, older release, trial edition.
inline constexpr std::array<std::string_view, 3> finalCutPro{
    "com.apple.FinalCut", "com.apple.FinalCutPro", "com.apple.FinalCutTrial"};
inline constexpr std::array<std::string_view, 2> resolve{
    "com.blackmagic-design.DaVinciResolve", "com.blackmagic-design.DaVinciResolveLite"};
inline constexpr std::array<std::string_view, 1> protools{"com.avid.ProTools"};
inline constexpr std::array<std::string_view, 1> mediaComposer{"com.avid.mediacomposer"};
inline constexpr std::array<std::string_view, 1> studioOne{"com.presonus.studioone2"};
} // namespace bundle_ids

} // namespace kvninterchange

template <> struct koltutils::EnumTable<kvninterchange::ExportApplication> {
    using App = kvninterchange::ExportApplication;
    using Format = kvninterchange::TimelineExportFormat;
    static constexpr std::array<kvninterchange::ExportApplicationCase, 8> cases{{
        {App::premiere, "premiere", "Adobe Premiere Pro", kvninterchange::bundle_ids::premiere,
         Format::xmeml, true, "Export_Premiere", "https://www.adobe.com/products/premiere.html"},
        {App::audition, "audition", "Adobe Audition", kvninterchange::bundle_ids::audition,
         Format::xmeml, true, "Export_Audition", ""},
        {App::logic, "logic", "Logic Pro", kvninterchange::bundle_ids::logic,
         Format::interleavedAAF, true, "Export_Logic", ""},
        {App::finalCutPro, "finalCutPro", "Final Cut Pro", kvninterchange::bundle_ids::finalCutPro,
         Format::fcpxml, true, "Export_FinalCut", "https://www.apple.com/final-cut-pro/"},
        {App::resolve, "resolve", "DaVinci Resolve", kvninterchange::bundle_ids::resolve,
         Format::interleavedAAF, false, "Export_Resolve",
         "https://www.blackmagicdesign.com/products/davinciresolve"},
        {App::protools, "protools", "Pro Tools", kvninterchange::bundle_ids::protools,
         Format::protoolsAAF, true, "Export_ProTools", ""},
        {App::mediaComposer, "mediaComposer", "Media Composer",
         kvninterchange::bundle_ids::mediaComposer, Format::protoolsAAF, false,
         "Export_MediaComposer", ""},
        {App::studioOne, "studioOne", "Studio One", kvninterchange::bundle_ids::studioOne,
         Format::interleavedAAF, true, "Export_StudioOne", ""},
    }};
};
static_assert(koltutils::isInDeclarationOrder<kvninterchange::ExportApplication>());

namespace kvninterchange {

constexpr std::string_view name(ExportApplication application) {
    return koltutils::caseOf(application).name;
}
constexpr std::span<const std::string_view> bundleIDs(ExportApplication application) {
    return koltutils::caseOf(application).bundleIDs;
}
constexpr TimelineExportFormat recommendedFormat(ExportApplication application) {
    return koltutils::caseOf(application).recommendedFormat;
}
constexpr bool allowsOpenAfterExport(ExportApplication application) {
    return koltutils::caseOf(application).allowsOpenAfterExport;
}
constexpr std::string_view image(ExportApplication application) {
    return koltutils::caseOf(application).image;
}

// The first application, in table order, whose name equals `name` exactly.
constexpr std::optional<ExportApplication> exportApplicationFromName(std::string_view name) {
    for (const auto& row : koltutils::EnumTable<ExportApplication>::cases) {
        if (row.name == name) {
            return row.value;
        }
    }
    return std::nullopt;
}

// The vendor's product page, for the applications that have one.
std::optional<koltutils::URL> downloadURL(ExportApplication application);

// An installed edition of an application: the identifier that resolved and its location.
struct ExportApplicationInstallation {
    std::string_view bundleID;
    std::filesystem::path location;

    bool operator==(const ExportApplicationInstallation&) const = default;
};

// One installation per bundle identifier that resolves (its first location), in bundleIDs()
// order. Every identifier is asked.
std::vector<ExportApplicationInstallation>
installations(ExportApplication application,
              const platform::Workspace& workspace = platform::Workspace::shared());
// The locations of installations(), in the same order.
std::vector<std::filesystem::path>
urls(ExportApplication application,
     const platform::Workspace& workspace = platform::Workspace::shared());
// The location of the most preferred installed identifier.
std::optional<std::filesystem::path>
url(ExportApplication application,
    const platform::Workspace& workspace = platform::Workspace::shared());
bool isInstalled(ExportApplication application,
                 const platform::Workspace& workspace = platform::Workspace::shared());
bool isRunning(ExportApplication application,
               const platform::Workspace& workspace = platform::Workspace::shared());
// The icon the file manager shows for the installed application.
std::optional<platform::Workspace::Icon>
finderIcon(ExportApplication application,
           const platform::Workspace& workspace = platform::Workspace::shared());

// Launches the installed application, or brings its running instance forward; does nothing when
// it is not installed.
void open(ExportApplication application,
          const platform::Workspace& workspace = platform::Workspace::shared());
// Opens the vendor's product page; does nothing for applications without one.
void download(ExportApplication application,
              const platform::Workspace& workspace = platform::Workspace::shared());

// The stored form: the raw value as a JSON string.
std::string toJSON(ExportApplication application);
// Throws DecodingError when the text is not a JSON string holding a raw value.
ExportApplication exportApplicationFromJSON(std::string_view json);

} // namespace kvninterchange
