#pragma once

#include <cstddef>
#include <string>

namespace xmltree {

/// How a document is read, and the header it declares.
struct XMLOptions {
    /// The XML declaration the document stands for. Reading does not consult it, except that
    /// text handed to XMLDocument::loadText must be convertible to `encoding`.
    struct DocumentHeader {
        double version = 1.0;
        std::string encoding = "utf-8";
        std::string standalone = "no";

        bool operator==(const DocumentHeader&) const = default;
    };

    /// Deeper documents are refused: the tree itself copes with any depth, but an untrusted
    /// document must not make the reader hold an unbounded chain of open elements.
    static constexpr std::size_t defaultMaximumDepth = 10'000;

    struct ParserSettings {
        /// On: element names are local names (the namespace URI and prefix are dropped);
        /// attribute names keep their prefix ("xlink:href") and namespace declarations are not
        /// attributes. Off: names exactly as written, "xmlns" declarations are attributes.
        bool shouldProcessNamespaces = false;
        /// Prefix-mapping events are not part of the tree, so this has no effect on it; kept
        /// so that options round-trip.
        bool shouldReportNamespacePrefixes = false;
        /// External entities are never fetched whatever this says: a document that declares
        /// any entity is refused with parsingFailed (see XMLDocument).
        bool shouldResolveExternalEntities = false;
        /// Trim leading and trailing whitespace and line breaks from an element's text when the
        /// element ends (see XMLDocument for exactly which texts this reaches).
        bool shouldTrimWhitespace = true;
        /// Element nesting deeper than this fails with parsingFailed.
        std::size_t maximumDepth = defaultMaximumDepth;

        bool operator==(const ParserSettings&) const = default;
    };

    DocumentHeader documentHeader;
    ParserSettings parserSettings;

    bool operator==(const XMLOptions&) const = default;

    /// The options the FCPXML engine always uses: version 1.0, "utf-8", standalone "no";
    /// whitespace trimming on; namespaces, prefix reporting and external entities off.
    static XMLOptions standard() {
        XMLOptions options;
        options.documentHeader = DocumentHeader{1.0, "utf-8", "no"};
        options.parserSettings = ParserSettings{false, false, false, true, defaultMaximumDepth};
        return options;
    }
};

} // namespace xmltree
