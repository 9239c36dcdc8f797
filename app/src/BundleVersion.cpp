#include "BundleVersion.h"

#include <cctype>
#include <cstddef>
#include <optional>

namespace velotrack {
namespace {

enum class TokenKind { number, text };

struct Token {
    TokenKind kind;
    std::string_view text;
};

bool isDigit(char character) noexcept {
    return std::isdigit(static_cast<unsigned char>(character)) != 0;
}
bool isSeparator(char character) noexcept {
    const auto byte = static_cast<unsigned char>(character);
    return std::ispunct(byte) != 0 || std::isspace(byte) != 0;
}

// Walks a version text one number or text run at a time, skipping separators.
class Tokens {
public:
    explicit Tokens(std::string_view text) noexcept : rest_(text) {}

    std::optional<Token> next() noexcept {
        while (!rest_.empty() && isSeparator(rest_.front())) {
            rest_.remove_prefix(1);
        }
        if (rest_.empty()) {
            return std::nullopt;
        }
        const bool number = isDigit(rest_.front());
        std::size_t length = 0;
        while (length < rest_.size() && !isSeparator(rest_[length]) &&
               isDigit(rest_[length]) == number) {
            ++length;
        }
        const Token token{number ? TokenKind::number : TokenKind::text, rest_.substr(0, length)};
        rest_.remove_prefix(length);
        return token;
    }

private:
    std::string_view rest_;
};

// Digits of any length, without converting them (and so without overflow).
std::strong_ordering compareNumbers(std::string_view left, std::string_view right) noexcept {
    const auto withoutLeadingZeros = [](std::string_view digits) {
        const auto first = digits.find_first_not_of('0');
        return first == std::string_view::npos ? std::string_view{} : digits.substr(first);
    };
    left = withoutLeadingZeros(left);
    right = withoutLeadingZeros(right);
    if (left.size() != right.size()) {
        return left.size() <=> right.size();
    }
    return left.compare(right) <=> 0;
}

std::strong_ordering compareTokens(const Token& left, const Token& right) noexcept {
    if (left.kind != right.kind) {
        // "1.0.1" (a number) is newer than "1.0b" (a suffix) at the same place.
        return left.kind == TokenKind::number ? std::strong_ordering::greater
                                              : std::strong_ordering::less;
    }
    if (left.kind == TokenKind::number) {
        return compareNumbers(left.text, right.text);
    }
    return left.text.compare(right.text) <=> 0;
}

// The version that has one more component than the other: newer when that component is a number
// ("1.0.1" after "1.0"), older when it is a suffix ("1.0b1" before "1.0").
std::strong_ordering compareExtraComponent(const Token& extra) noexcept {
    return extra.kind == TokenKind::number ? std::strong_ordering::greater
                                           : std::strong_ordering::less;
}

} // namespace

std::strong_ordering compareBundleVersions(std::string_view left, std::string_view right) noexcept {
    Tokens leftTokens(left);
    Tokens rightTokens(right);
    while (true) {
        const auto leftToken = leftTokens.next();
        const auto rightToken = rightTokens.next();
        if (!leftToken && !rightToken) {
            return std::strong_ordering::equal;
        }
        if (!rightToken) {
            return compareExtraComponent(*leftToken);
        }
        if (!leftToken) {
            return 0 <=> compareExtraComponent(*rightToken);
        }
        if (const auto order = compareTokens(*leftToken, *rightToken); order != 0) {
            return order;
        }
    }
}

} // namespace velotrack
