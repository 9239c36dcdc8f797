#pragma once

#include <kvnfcpx/FCPXMLDescription.h>
#include <nlohmann/json.hpp>

namespace velotrack::cli {

// The whole description as JSON, under the model's field names. Media times are written exactly
// as held ("1001/24000s", or "3600s" over a timescale of 1); absent values and lists are null.
nlohmann::ordered_json descriptionJSON(const kvnfcpx::FCPXMLDescription& description);

} // namespace velotrack::cli
