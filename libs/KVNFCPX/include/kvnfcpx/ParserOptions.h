#pragma once

namespace kvnfcpx {

struct ParserOptions {
    // When true, assets whose media file is not on disk are left out of the resources.
    bool validateMedia = false;
    // When true, the group identifiers of a load end in the number of the identifier (0, 1, ...
    // in the order the walk makes them) instead of a random part, so that two loads of one
    // document give equal descriptions. Random by default.
    bool stableIdentifiers = false;
    // When true, a document of version 1.<n> with n above 13 (digits only) is read as 1.13;
    // what the engine does not know in it is skipped as unknown elements are.
    bool acceptNewerVersions = false;

    friend bool operator==(const ParserOptions&, const ParserOptions&) = default;
};

} // namespace kvnfcpx
