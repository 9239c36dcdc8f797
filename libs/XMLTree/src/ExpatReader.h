#pragma once

#include "TreeBuilder.h"
#include "xmltree/XMLOptions.h"

#include <cstddef>
#include <span>

namespace xmltree::detail {

/// Reads `bytes` as an XML document with expat and hands the element events to `builder`.
/// Throws XMLError(parsingFailed) with expat's reason, or with ours for a refused entity
/// declaration or an element nested deeper than `settings.maximumDepth`.
void readXML(std::span<const std::byte> bytes, const XMLOptions::ParserSettings& settings,
             TreeBuilder& builder);

} // namespace xmltree::detail
