#pragma once

#include <kvnfcpx/FCPXMLDescription.h>
#include <ostream>

namespace velotrack::cli {

// The whole description as JSON, under the model's field names, written as the walk goes (no
// document of the output is built). Media times are written exactly as held ("1001/24000s", or
// "3600s" over a timescale of 1); absent values and lists are null. Ends with a line break.
void writeDescriptionJSON(const kvnfcpx::FCPXMLDescription& description, std::ostream& out);

} // namespace velotrack::cli
