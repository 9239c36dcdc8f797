#pragma once

#include <memory>
#include <string>

namespace kvnfcpx {

// The address of a scripting object (a unique-ID object specifier): the object held under `key` by
// its container whose unique ID is `uniqueID`. A specifier without a container specifier is held by
// the application.
struct ObjectAddress {
    std::string containerClassDescription;
    std::shared_ptr<const ObjectAddress> containerSpecifier;
    std::string key;
    std::string uniqueID;

    // The scripting form, for example `assets id "SSO-7-3" of documents id "SSO-7-1"`.
    std::string description() const;

    // The object's path on the scripting bus: "/com/korvane/velotrack" followed by
    // "/<key>/<unique ID>" for every level from the application down, with each character a bus
    // path element does not allow replaced by "_".
    std::string busPath() const;

    bool operator==(const ObjectAddress& other) const;
};

// The bus's root object, the application.
inline constexpr const char* scriptingRootPath = "/com/korvane/velotrack";

} // namespace kvnfcpx
