#pragma once

#include <array>
#include <cstddef>
#include <exception>
#include <optional>
#include <string>
#include <string_view>

namespace xmltree {

/// What went wrong in the XML tree. The same code marks a detached error element (its `error`)
/// and travels in the exception thrown when a document cannot be read.
class XMLError : public std::exception {
public:
    enum class Code {
        elementNotFound,
        rootElementMissing,
        parsingFailed,
    };

    struct CaseInfo {
        Code code;
        std::string_view name;
    };

    /// The cases in declaration order with their names; `name()` and `allCases` read this table.
    static constexpr std::array<CaseInfo, 3> cases{{
        {Code::elementNotFound, "elementNotFound"},
        {Code::rootElementMissing, "rootElementMissing"},
        {Code::parsingFailed, "parsingFailed"},
    }};

    static constexpr std::array<Code, cases.size()> allCases = [] {
        std::array<Code, cases.size()> codes{};
        for (std::size_t i = 0; i < cases.size(); ++i) {
            codes[i] = cases[i].code;
        }
        return codes;
    }();

    /// The case's name as written in code, e.g. "parsingFailed".
    static constexpr std::string_view name(Code code) noexcept {
        for (const CaseInfo& info : cases) {
            if (info.code == code) {
                return info.name;
            }
        }
        return {};
    }

    /// Where in the input the reader stopped: line from 1 and column from 0 as the reader
    /// counts them (characters), and the offset of that byte from the start of the input.
    struct Position {
        std::size_t line = 1;
        std::size_t column = 0;
        std::size_t byteOffset = 0;
    };

    /// `reason` says what the reader reported, e.g. "not well-formed (invalid token) at line 3,
    /// column 7"; what() is the case name, followed by ": " and the reason when there is one.
    explicit XMLError(Code code, std::string reason = {});
    /// A failure at a place in the input: the reason is `problem` followed by " at line L,
    /// column C".
    XMLError(Code code, std::string problem, Position position);

    Code code() const noexcept { return code_; }
    const std::string& reason() const noexcept { return reason_; }
    /// The reason without its place; the whole reason when there is no place.
    const std::string& problem() const noexcept { return problem_; }
    const std::optional<Position>& position() const noexcept { return position_; }
    const char* what() const noexcept override { return message_.c_str(); }

private:
    Code code_;
    std::string reason_;
    std::string problem_;
    std::optional<Position> position_;
    std::string message_;
};

/// The code alone, as kept in an element's `error` field.
using XMLErrorCode = XMLError::Code;

} // namespace xmltree
