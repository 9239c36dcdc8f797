#include "kvninterchange/TimelineExportFormat.h"

#include "kvninterchange/DecodingError.h"
#include "kvninterchange/ExportApplication.h"
#include "kvninterchange/detail/JSONDecoding.h"

namespace kvninterchange {
namespace {

constexpr bool everyFormatNamesAnApplication() {
    for (const auto& row : koltutils::EnumTable<TimelineExportFormat>::cases) {
        if (!koltutils::fromRawValue<ExportApplication>(row.recommendedApplication)) {
            return false;
        }
    }
    return true;
}
static_assert(everyFormatNamesAnApplication());

} // namespace

std::optional<ExportApplication> recommendedApplication(TimelineExportFormat format) {
    return koltutils::fromRawValue<ExportApplication>(
        koltutils::caseOf(format).recommendedApplication);
}

std::string toJSON(TimelineExportFormat format) {
    return nlohmann::json(std::string(koltutils::rawValue(format))).dump();
}

TimelineExportFormat timelineExportFormatFromJSON(std::string_view json) {
    const auto value = detail::parseJSON(json);
    if (!value.is_string()) {
        detail::throwTypeMismatch("a string", value, {});
    }
    const auto& text = value.get_ref<const std::string&>();
    if (auto format = koltutils::fromRawValue<TimelineExportFormat>(text)) {
        return *format;
    }
    throw DecodingError(DecodingError::Kind::dataCorrupted, {},
                        "Cannot initialize TimelineExportFormat from invalid String value " + text);
}

} // namespace kvninterchange
