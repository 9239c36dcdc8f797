#pragma once

#include <kvnfcpx/FCPXMLDescription.h>
#include <string>

namespace velotrack::cli {

// A readable summary: document and sequence settings, then a table of the asset clips and a
// table of the markers, in timeline order.
std::string descriptionReport(const kvnfcpx::FCPXMLDescription& description);

} // namespace velotrack::cli
