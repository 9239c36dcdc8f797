#pragma once

namespace kvnfcpx {

struct ParserOptions {
    // When true, assets whose media file is not on disk are left out of the resources.
    bool validateMedia = false;

    friend bool operator==(const ParserOptions&, const ParserOptions&) = default;
};

} // namespace kvnfcpx
