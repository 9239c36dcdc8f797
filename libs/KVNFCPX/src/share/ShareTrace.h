#pragma once

#include <string_view>

namespace kvnfcpx::detail {

// The share scripting classes' trace: "Ⓜ️ <file>:<line>:<method> <details>" through the plain
// logging call (the log sink, without a category of the unified log). The lines carry no
// behaviour; tests that check log lines leave them aside by their prefix.
void shareTrace(std::string_view file, int line, std::string_view method, std::string_view details);

} // namespace kvnfcpx::detail

#define KVN_SHARE_TRACE(method, details)                                                           \
    ::kvnfcpx::detail::shareTrace(__FILE__, __LINE__, method, details)
