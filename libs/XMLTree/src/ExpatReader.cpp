#include "ExpatReader.h"

#include "xmltree/XMLError.h"

#include <algorithm>
#include <exception>
#include <expat.h>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace xmltree::detail {

namespace {

// Separates namespace URI, local name and prefix in the names expat reports when namespaces
// are processed. A control character cannot occur in a well-formed document, so it never
// collides with a URI.
constexpr XML_Char namespaceSeparator = '\x1F';

// expat copies what it is given into a buffer of its own before parsing it, so a document fed
// whole would be held twice; fed in pieces of this size, the copy stays small whatever the
// document's size (and within the int lengths expat takes).
constexpr std::size_t maximumChunkSize = std::size_t{256} << 10;

struct ExpandedName {
    std::string_view localName;
    std::string_view prefix;
};

// expat reports "uri<sep>local<sep>prefix", "uri<sep>local" or, outside any namespace, "local".
ExpandedName splitExpandedName(std::string_view name) {
    std::size_t first = name.find(namespaceSeparator);
    if (first == std::string_view::npos) {
        return {name, {}};
    }
    std::string_view rest = name.substr(first + 1);
    std::size_t second = rest.find(namespaceSeparator);
    if (second == std::string_view::npos) {
        return {rest, {}};
    }
    return {rest.substr(0, second), rest.substr(second + 1)};
}

class ExpatSession {
public:
    ExpatSession(const XMLOptions::ParserSettings& settings, TreeBuilder& builder)
        : settings_(settings), builder_(builder),
          parser_(settings.shouldProcessNamespaces ? XML_ParserCreateNS(nullptr, namespaceSeparator)
                                                   : XML_ParserCreate(nullptr)) {
        if (parser_ == nullptr) {
            throw XMLError(XMLError::Code::parsingFailed, "the XML reader could not be created");
        }
        if (settings.shouldProcessNamespaces) {
            XML_SetReturnNSTriplet(parser_.get(), 1);
        }
        XML_SetUserData(parser_.get(), this);
        XML_SetElementHandler(parser_.get(), &ExpatSession::onStart, &ExpatSession::onEnd);
        XML_SetCharacterDataHandler(parser_.get(), &ExpatSession::onCharacters);
        XML_SetCdataSectionHandler(parser_.get(), &ExpatSession::onCdataStart,
                                   &ExpatSession::onCdataEnd);
        XML_SetEntityDeclHandler(parser_.get(), &ExpatSession::onEntityDeclaration);
        XML_SetExternalEntityRefHandler(parser_.get(), &ExpatSession::onExternalEntityReference);
        XML_SetParamEntityParsing(parser_.get(), XML_PARAM_ENTITY_PARSING_NEVER);
    }

    void read(std::span<const std::byte> bytes) {
        do {
            std::size_t size = std::min(bytes.size(), maximumChunkSize);
            bool isFinal = size == bytes.size();
            XML_Status status =
                XML_Parse(parser_.get(), reinterpret_cast<const char*>(bytes.data()),
                          static_cast<int>(size), isFinal ? XML_TRUE : XML_FALSE);
            bytes = bytes.subspan(size);
            if (status != XML_STATUS_OK) {
                builder_.finish();
                throwFailure();
            }
        } while (!bytes.empty());
        builder_.finish();
    }

private:
    struct ParserRelease {
        void operator()(XML_Parser parser) const noexcept { XML_ParserFree(parser); }
    };

    static ExpatSession& session(void* userData) { return *static_cast<ExpatSession*>(userData); }

    // Handlers run inside expat's C frames: nothing may propagate out of them, so a failure is
    // recorded, the parser stopped, and the failure rethrown once XML_Parse has returned.
    template <typename Body> void guarded(Body&& body) {
        if (failure_ || exception_) {
            return;
        }
        try {
            body();
        } catch (...) {
            exception_ = std::current_exception();
            XML_StopParser(parser_.get(), XML_FALSE);
        }
    }

    void fail(std::string reason) {
        failure_ = std::move(reason);
        failurePosition_ = position();
        XML_StopParser(parser_.get(), XML_FALSE);
    }

    // Chunks after the first continue the count of the ones before, so the byte index is an
    // offset into the whole input.
    XMLError::Position position() const {
        const XML_Index byteIndex = XML_GetCurrentByteIndex(parser_.get());
        return {.line = static_cast<std::size_t>(XML_GetCurrentLineNumber(parser_.get())),
                .column = static_cast<std::size_t>(XML_GetCurrentColumnNumber(parser_.get())),
                .byteOffset = byteIndex < 0 ? 0 : static_cast<std::size_t>(byteIndex)};
    }

    [[noreturn]] void throwFailure() {
        if (exception_) {
            std::rethrow_exception(exception_);
        }
        if (failure_) {
            throw XMLError(XMLError::Code::parsingFailed, *failure_, failurePosition_);
        }
        throw XMLError(XMLError::Code::parsingFailed,
                       XML_ErrorString(XML_GetErrorCode(parser_.get())), position());
    }

    std::string elementName(const XML_Char* name) const {
        if (!settings_.shouldProcessNamespaces) {
            return name;
        }
        return std::string(splitExpandedName(name).localName);
    }

    // The name as the tree keeps it: as written or, with namespace processing, "prefix:local"
    // (the local name alone when there is no prefix). Valid until the next element starts.
    std::string_view attributeName(const XML_Char* name) {
        if (!settings_.shouldProcessNamespaces) {
            return name;
        }
        ExpandedName expanded = splitExpandedName(name);
        if (expanded.prefix.empty()) {
            return expanded.localName;
        }
        return prefixedNames_.emplace_back(std::string(expanded.prefix) + ":" +
                                           std::string(expanded.localName));
    }

    // The attribute views are gathered in buffers kept from one element to the next, so that
    // an element costs one allocation for all its attributes.
    XMLAttributes attributesOf(const XML_Char** attributes) {
        std::size_t count = 0;
        while (attributes[2 * count] != nullptr) {
            ++count;
        }
        gathered_.clear();
        prefixedNames_.clear();
        prefixedNames_.reserve(count);
        for (const XML_Char** pair = attributes; *pair != nullptr; pair += 2) {
            gathered_.emplace_back(attributeName(pair[0]), pair[1]);
        }
        return XMLAttributes::reordering(gathered_, &builder_.memory());
    }

    void startElement(const XML_Char* name, const XML_Char** attributes) {
        if (++depth_ > settings_.maximumDepth) {
            fail("elements nested deeper than " + std::to_string(settings_.maximumDepth) +
                 " levels");
            return;
        }
        builder_.startElement(elementName(name), attributesOf(attributes));
    }

    void endElement() {
        --depth_;
        builder_.endElement();
    }

    static void XMLCALL onStart(void* userData, const XML_Char* name, const XML_Char** attributes) {
        ExpatSession& self = session(userData);
        self.guarded([&] { self.startElement(name, attributes); });
    }

    static void XMLCALL onEnd(void* userData, const XML_Char*) {
        ExpatSession& self = session(userData);
        self.guarded([&] { self.endElement(); });
    }

    static void XMLCALL onCharacters(void* userData, const XML_Char* text, int length) {
        ExpatSession& self = session(userData);
        if (self.insideCdata_) {
            return;
        }
        self.guarded([&] {
            self.builder_.characters(std::string_view(text, static_cast<std::size_t>(length)));
        });
    }

    static void XMLCALL onCdataStart(void* userData) { session(userData).insideCdata_ = true; }
    static void XMLCALL onCdataEnd(void* userData) { session(userData).insideCdata_ = false; }

    // Refusing every declaration closes both entity expansion (billion laughs) and external
    // entities: no document that needs either is read.
    static void XMLCALL onEntityDeclaration(void* userData, const XML_Char* entityName, int,
                                            const XML_Char*, int, const XML_Char*, const XML_Char*,
                                            const XML_Char*, const XML_Char*) {
        ExpatSession& self = session(userData);
        self.guarded([&] {
            self.fail(std::string("entity declarations are not accepted (entity \"") + entityName +
                      "\")");
        });
    }

    static int XMLCALL onExternalEntityReference(XML_Parser, const XML_Char*, const XML_Char*,
                                                 const XML_Char*, const XML_Char*) {
        return XML_STATUS_ERROR;
    }

    const XMLOptions::ParserSettings& settings_;
    TreeBuilder& builder_;
    std::unique_ptr<XML_ParserStruct, ParserRelease> parser_;
    std::size_t depth_ = 0;
    bool insideCdata_ = false;
    std::optional<std::string> failure_;
    XMLError::Position failurePosition_;
    std::exception_ptr exception_;
    std::vector<XMLAttributes::value_type> gathered_;
    // Reserved before use: views into its strings must not move while they are gathered.
    std::vector<std::string> prefixedNames_;
};

} // namespace

void readXML(std::span<const std::byte> bytes, const XMLOptions::ParserSettings& settings,
             TreeBuilder& builder) {
    ExpatSession session(settings, builder);
    session.read(bytes);
}

} // namespace xmltree::detail
