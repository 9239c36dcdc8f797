#pragma once

#include <cstddef>
#include <exception>
#include <optional>
#include <string>

namespace kvnfcpx {

// Why a document given by path or as bytes could not be loaded, as the diagnosing loaders of
// FCPXMLDescription (loadFile, loadBytes) report it: which step failed and, for XML, where.
// what() is the reason a user reads after the input's name, e.g. "does not exist" or
// "mismatched tag at line 4, column 2".
class LoadingError : public std::exception {
public:
    enum class Kind {
        // The input could not be read.
        doesNotExist,
        unreadable,
        folderWithoutDocument,
        // The input was read and refused.
        notFCPXMLFile,
        notUTF8,
        notXML,
        notFCPXML,
    };

    // A line from 1 and a column from 0 (characters), in the input as given.
    struct Position {
        std::size_t line = 1;
        std::size_t column = 0;
    };

    LoadingError(Kind kind, std::string reason, std::optional<Position> position = std::nullopt)
        : kind_(kind), reason_(std::move(reason)), position_(position) {}

    Kind kind() const noexcept { return kind_; }
    // False when the input could not be read at all; true when it was read and refused.
    bool wasRead() const noexcept { return kind_ >= Kind::notFCPXMLFile; }
    // Where the XML reader stopped, for notXML.
    const std::optional<Position>& position() const noexcept { return position_; }
    const char* what() const noexcept override { return reason_.c_str(); }

private:
    Kind kind_;
    std::string reason_;
    std::optional<Position> position_;
};

} // namespace kvnfcpx
