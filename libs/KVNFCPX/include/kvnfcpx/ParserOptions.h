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
    // When true, the load lets go of the project's main timeline item by item as it walks it:
    // the description's document then keeps every element but the items of that timeline.
    // For programs that need the description rather than the tree: a large project's tree is
    // mostly its main timeline, whose memory then goes back as its clips are made.
    bool releaseMainTimeline = false;

    friend bool operator==(const ParserOptions&, const ParserOptions&) = default;
};

} // namespace kvnfcpx
