#pragma once

#include "kvnfcpx/share/ObjectAddress.h"

#include <string>

namespace kvnfcpx {

// A document the shared document controller holds. The share command works only with the share
// document kind; any other kind is passed over.
class ScriptDocument {
public:
    ScriptDocument() = default;
    virtual ~ScriptDocument() = default;
    ScriptDocument(const ScriptDocument&) = delete;
    ScriptDocument& operator=(const ScriptDocument&) = delete;

    virtual std::string className() const = 0;
    virtual std::string uniqueID() const = 0;
    // The document under the application's "documents" by its unique ID.
    ObjectAddress objectSpecifier() const {
        return ObjectAddress{"NSApplication", nullptr, "documents", uniqueID()};
    }
};

} // namespace kvnfcpx
