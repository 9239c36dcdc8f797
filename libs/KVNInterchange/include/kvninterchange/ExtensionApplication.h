#pragma once

#include "koltutils/EnumTable.h"
#include "kvninterchange/ExportApplication.h"
#include "kvninterchange/TimelineExportFormat.h"
#include "platform/Workspace.h"

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <variant>

namespace kvninterchange {

// The hosts the maker's extensions live in: three editors that carry an installed extension and
// two web services reached through their pages. The raw value is the stored form.
//
// Error policy: nothing here throws. Missing folders, unreadable or malformed manifests and
// missing version elements answer "no version" (which makes needsUpdate() true); the
// installation questions ask the workspace anew on every call.
//
// Extension folders lie below platform::systemLibraryRoot() ("/Library" unless
// VELOTRACK_SYSTEM_LIBRARY relocates it), so every answer follows that root at the moment it is
// asked.
enum class ExtensionApplication : std::uint8_t {
    finalCutPro,
    premiere,
    resolve,
    epidemic,
    frameIO,
};

// A colour in the standard RGB space.
struct MarkerColor {
    double red = 0;
    double green = 0;
    double blue = 0;
    double alpha = 1;

    bool operator==(const MarkerColor&) const = default;
};

struct NamedMarkerColor {
    std::string_view name;
    MarkerColor color;
};

namespace marker_colors {
inline constexpr std::array<NamedMarkerColor, 8> premiere{{
    {"Green", {0.44315225, 0.52400035, 0.21479481}},
    {"Red", {0.8227442, 0.17048272, 0.212793}},
    {"Purple", {0.6850657, 0.54355526, 0.6960622}},
    {"Orange", {0.9153319, 0.43569875, 0.13785768}},
    {"Yellow", {0.8170313, 0.6319156, 0.16500995}},
    {"White", {1.0, 1.0, 1.0}},
    {"Blue", {0.26217717, 0.5517904, 0.98732525}},
    {"Cyan", {0.100340106, 0.9551349, 0.8403526}},
}};
inline constexpr std::array<NamedMarkerColor, 15> resolve{{
    {"Blue", {0.0, 0.49797255, 0.8948396}},
    {"Cocoa", {0.45227677, 0.31173092, 0.25307044}},
    {"Cream", {0.96932155, 0.9198684, 0.87753177}},
    {"Cyan", {0.0, 0.8081494, 0.81878656}},
    {"Fuchsia", {0.8207327, 0.07261934, 0.43928504}},
    {"Green", {0.0, 0.6808864, 0.003372233}},
    {"Lavender", {0.6279965, 0.5786712, 0.779306}},
    {"Lemon", {0.85072553, 0.9157823, 0.21147391}},
    {"Mint", {0.44942713, 0.86069006, 0.0007714397}},
    {"Pink", {0.9990038, 0.26579028, 0.78339285}},
    {"Purple", {0.56499904, 0.07150554, 0.99462086}},
    {"Red", {0.88333344, 0.14203551, 0.0037656296}},
    {"Rose", {1.0, 0.60913426, 0.7255017}},
    {"Sand", {0.80057913, 0.55836344, 0.3317584}},
    {"Yellow", {0.9962868, 0.59666723, 0.0}},
}};
} // namespace marker_colors

struct ExtensionApplicationCase {
    ExtensionApplication value;
    std::string_view rawValue;
    std::string_view name;
    std::optional<ExportApplication> exportApplication;
    std::optional<TimelineExportFormat> recommendedFormat;
    // The extension version this release ships; empty for hosts without an installed extension.
    std::string_view version;
    bool isWebService;
    bool isUpdateable;
    // For the editors with an extension folder: that folder, relative to the system library
    // root. For the web services: their web address. Empty when there is neither.
    std::string_view extensionLocation;
    // The asset shown when the host is not installed (the editors), or always (the services).
    std::string_view imageAsset;
    // Empty for hosts without marker colours.
    std::span<const NamedMarkerColor> markerColors;
};

} // namespace kvninterchange

template <> struct koltutils::EnumTable<kvninterchange::ExtensionApplication> {
    using Ext = kvninterchange::ExtensionApplication;
    using App = kvninterchange::ExportApplication;
    using Format = kvninterchange::TimelineExportFormat;
    static constexpr std::array<kvninterchange::ExtensionApplicationCase, 5> cases{{
        {Ext::finalCutPro,
         "finalCutPro",
         "Final Cut Pro",
         App::finalCutPro,
         Format::fcpxml,
         "",
         false,
         false,
         "",
         "Export_FinalCut",
         {}},
        {Ext::premiere, "premiere", "Adobe Premiere Pro", App::premiere, Format::xmeml, "1.0.4",
         false, true, "Application Support/Adobe/CEP/extensions/com.korvane.ppro.bridge",
         "Export_Premiere", kvninterchange::marker_colors::premiere},
        {Ext::resolve, "resolve", "DaVinci Resolve", App::resolve, Format::protoolsAAF, "1.1.1",
         false, true,
         "Application Support/Blackmagic Design/DaVinci Resolve/Workflow Integration "
         "Plugins/com.korvane.resolve.bridge",
         "Export_Resolve", kvninterchange::marker_colors::resolve},
        {Ext::epidemic,
         "epidemic",
         "Epidemic Sound",
         std::nullopt,
         std::nullopt,
         "",
         true,
         false,
         "https://www.epidemicsound.com",
         "epidemicsound_color",
         {}},
        {Ext::frameIO,
         "frameIO",
         "Frame.io",
         std::nullopt,
         std::nullopt,
         "",
         true,
         false,
         "https://frame.io",
         "FrameIOApplication",
         {}},
    }};
};
static_assert(koltutils::isInDeclarationOrder<kvninterchange::ExtensionApplication>());

namespace kvninterchange {

// The name of the extension in every host.
inline constexpr std::string_view extensionName = "KVN Audio Bridge";

// The hosts in the order the user sees them; the empty entry marks a separator.
inline constexpr std::array<std::optional<ExtensionApplication>, 6> extensionsForUI{
    ExtensionApplication::finalCutPro, ExtensionApplication::premiere,
    ExtensionApplication::resolve,     std::nullopt,
    ExtensionApplication::epidemic,    ExtensionApplication::frameIO};

constexpr std::string_view name(ExtensionApplication host) {
    return koltutils::caseOf(host).name;
}
constexpr std::optional<ExportApplication> exportApplication(ExtensionApplication host) {
    return koltutils::caseOf(host).exportApplication;
}
constexpr std::optional<TimelineExportFormat> recommendedFormat(ExtensionApplication host) {
    return koltutils::caseOf(host).recommendedFormat;
}
constexpr std::string_view version(ExtensionApplication host) {
    return koltutils::caseOf(host).version;
}
constexpr bool isWebService(ExtensionApplication host) {
    return koltutils::caseOf(host).isWebService;
}
constexpr bool isUpdateable(ExtensionApplication host) {
    return koltutils::caseOf(host).isUpdateable;
}

// The first host, in table order, whose name equals `name` exactly.
constexpr std::optional<ExtensionApplication> extensionApplicationFromName(std::string_view name) {
    for (const auto& row : koltutils::EnumTable<ExtensionApplication>::cases) {
        if (row.name == name) {
            return row.value;
        }
    }
    return std::nullopt;
}

// Where the extension is installed: a folder below the system library root for Premiere Pro
// and Resolve, the web address for the services, none for Final Cut Pro (whose extension is
// registered with the plug-in registry instead).
std::optional<std::string> extensionPath(ExtensionApplication host);

// The host's icon: the file manager's icon of the installed editor, otherwise a named asset.
using ExtensionImage = std::variant<platform::Workspace::Icon, std::string_view>;
ExtensionImage image(ExtensionApplication host,
                     const platform::Workspace& workspace = platform::Workspace::shared());

// Always true for the web services.
bool isHostInstalled(ExtensionApplication host,
                     const platform::Workspace& workspace = platform::Workspace::shared());
// Whether something exists at extensionPath(); false for Final Cut Pro and, since a web address
// is no file, for the services.
bool extensionInstalled(ExtensionApplication host);
// Only the Premiere Pro extension can be unsigned: it is signed when its folder holds
// "META-INF/signatures.xml".
bool isSigned(ExtensionApplication host);
// The version of the installed extension, read from its manifest; none for hosts without one.
std::optional<std::string> installedVersion(ExtensionApplication host);
// Whether the installed extension is missing, unsigned, of unknown version or of a version other
// than the shipped one (also a newer one). Logs an error line for an unsigned extension.
bool needsUpdate(ExtensionApplication host);

// The service's page in the browser, or the editor itself.
void open(ExtensionApplication host,
          const platform::Workspace& workspace = platform::Workspace::shared());
// The service's page, or the editor's download page.
void download(ExtensionApplication host,
              const platform::Workspace& workspace = platform::Workspace::shared());

// The colour of one of the host's marker colour names (matched exactly); none for an unknown
// name or a host without marker colours.
std::optional<MarkerColor> getMarkerColor(ExtensionApplication host, std::string_view key);

// The stored form: the raw value as a JSON string.
std::string toJSON(ExtensionApplication host);
// Throws DecodingError when the text is not a JSON string holding a raw value.
ExtensionApplication extensionApplicationFromJSON(std::string_view json);

} // namespace kvninterchange
