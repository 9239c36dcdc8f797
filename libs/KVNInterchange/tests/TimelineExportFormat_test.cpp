#include "kvninterchange/DecodingError.h"
#include "kvninterchange/ExportApplication.h"
#include "kvninterchange/TimelineExportFormat.h"

#include <gtest/gtest.h>

namespace kvninterchange {
namespace {

TEST(TimelineExportFormat, ExtensionsAndRecommendedApplications) {
    EXPECT_EQ(pathExtension(TimelineExportFormat::protoolsAAF), "aaf");
    EXPECT_EQ(pathExtension(TimelineExportFormat::interleavedAAF), "aaf");
    EXPECT_EQ(pathExtension(TimelineExportFormat::xmeml), "xml");
    for (const auto format : koltutils::allCases<TimelineExportFormat>()) {
        EXPECT_TRUE(recommendedApplication(format).has_value()) << koltutils::rawValue(format);
    }
    // The two directions are separate tables: Resolve recommends interleaved AAF, which
    // recommends Logic Pro.
    EXPECT_EQ(recommendedFormat(ExportApplication::resolve), TimelineExportFormat::interleavedAAF);
    EXPECT_EQ(recommendedApplication(TimelineExportFormat::interleavedAAF),
              ExportApplication::logic);
    EXPECT_EQ(recommendedApplication(TimelineExportFormat::fcpxml), ExportApplication::finalCutPro);
}

TEST(TimelineExportFormat, StoredFormIsTheRawValueAsOneString) {
    EXPECT_EQ(toJSON(TimelineExportFormat::xmeml), "\"Premiere XML\"");
    for (const auto format : koltutils::allCases<TimelineExportFormat>()) {
        EXPECT_EQ(timelineExportFormatFromJSON(toJSON(format)), format);
    }
    EXPECT_THROW(timelineExportFormatFromJSON("\"premiere xml\""), DecodingError);
    EXPECT_THROW(timelineExportFormatFromJSON("[\"Premiere XML\"]"), DecodingError);
}

} // namespace
} // namespace kvninterchange
