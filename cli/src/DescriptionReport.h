#pragma once

#include <kvnfcpx/FCPXMLDescription.h>
#include <ostream>

namespace velotrack::cli {

// A readable summary: document and sequence settings, then a table of the asset clips and a
// table of the markers, in the description's order. Written row by row; the column widths come
// from a first pass over the description.
void writeDescriptionReport(const kvnfcpx::FCPXMLDescription& description, std::ostream& out);

} // namespace velotrack::cli
