#pragma once

#include <stdexcept>
#include <string>

namespace kvnfcpx {

// Reading or writing an "Asset Collection" document under another type name: domain
// "SimpleAssetManaer" (spelled so), code 204 when reading and 304 when writing.
class AssetCollectionError : public std::runtime_error {
public:
    static constexpr int readCode = 204;
    static constexpr int writeCode = 304;

    explicit AssetCollectionError(int code)
        : std::runtime_error("SimpleAssetManaer error " + std::to_string(code)), code_(code) {}

    static std::string domain() { return "SimpleAssetManaer"; }
    int code() const noexcept { return code_; }

private:
    int code_;
};

} // namespace kvnfcpx
