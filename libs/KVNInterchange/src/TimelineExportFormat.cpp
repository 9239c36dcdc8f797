#include "kvninterchange/TimelineExportFormat.h"

#include "kvninterchange/ExportApplication.h"

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

} // namespace kvninterchange
