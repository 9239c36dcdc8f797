#pragma once

#include "koltutils/EnumTable.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kvninterchange {

enum class ExportApplication : std::uint8_t;

// The file formats a timeline can be exported to. The raw value (koltutils::rawValue) is also
// the text menus show; koltutils::fromRawValue and koltutils::allCases read the same table.
enum class TimelineExportFormat : std::uint8_t { protoolsAAF, interleavedAAF, fcpxml, xmeml };

struct TimelineExportFormatCase {
    TimelineExportFormat value;
    std::string_view rawValue;
    std::string_view pathExtension;
    // The raw value of the ExportApplication the format suits best. Kept as text so that this
    // table and the application table, which names formats, need not see each other's cases.
    std::string_view recommendedApplication;
};

} // namespace kvninterchange

template <> struct koltutils::EnumTable<kvninterchange::TimelineExportFormat> {
    using Format = kvninterchange::TimelineExportFormat;
    static constexpr std::array<kvninterchange::TimelineExportFormatCase, 4> cases{{
        {Format::protoolsAAF, "Pro Tools AAF", "aaf", "protools"},
        {Format::interleavedAAF, "Interleaved AAF", "aaf", "logic"},
        {Format::fcpxml, "Final Cut Pro XML", "fcpxml", "finalCutPro"},
        {Format::xmeml, "Premiere XML", "xml", "premiere"},
    }};
};
static_assert(koltutils::isInDeclarationOrder<kvninterchange::TimelineExportFormat>());

namespace kvninterchange {

constexpr std::string_view pathExtension(TimelineExportFormat format) {
    return koltutils::caseOf(format).pathExtension;
}

// Every format has one; the result is optional because the look-up goes through raw values.
std::optional<ExportApplication> recommendedApplication(TimelineExportFormat format);

// The stored form: the raw value as a JSON string, e.g. "Premiere XML".
std::string toJSON(TimelineExportFormat format);
// Throws DecodingError when the text is not a JSON string holding a raw value.
TimelineExportFormat timelineExportFormatFromJSON(std::string_view json);

} // namespace kvninterchange
