#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace koltutils {

// Random identifiers drawn from the platform's secure random generator.
class Entropy {
public:
    Entropy() = delete;

    // Easy to read aloud and to type: no vowels, no look-alike characters.
    static constexpr std::string_view uniqueIdAlphabet = "2346789bdfghjmnpqrtBDFGHJLMNPQRT";
    static constexpr double uniqueIdBits = 45.5068473815918;

    // Ten characters of uniqueIdAlphabet, from 7 random bytes.
    static std::string uniqueId();

    // An identifier of at least `bits` bits of entropy over `alphabet`, whose size must be a
    // power of two from 2 to 256 (each character then stands for log2(size) bits).
    static std::string identifier(double bits, std::string_view alphabet);

    // The number of characters and of random bytes `identifier` needs.
    static constexpr std::size_t characterCount(double bits, std::size_t bitsPerCharacter) {
        return ceilingOf(bits / static_cast<double>(bitsPerCharacter));
    }
    static constexpr std::size_t byteCount(std::size_t characters, std::size_t bitsPerCharacter) {
        return (characters * bitsPerCharacter + 7) / 8;
    }

    // Spells `bytes` with `alphabet`: each character is chosen by the next log2(size) bits,
    // most significant bit of the first byte first. Stops after `characters` characters.
    static std::string spell(std::span<const std::uint8_t> bytes, std::size_t characters,
                             std::string_view alphabet);

    // `count` bytes from getrandom(2), or from /dev/urandom when that fails; requests of up to
    // 64 bytes are served from a per-thread block of those, drawn 4 KiB at a time.
    static std::vector<std::uint8_t> secureRandomBytes(std::size_t count);

private:
    static constexpr std::size_t ceilingOf(double value) {
        const auto truncated = static_cast<std::size_t>(value);
        return static_cast<double>(truncated) < value ? truncated + 1 : truncated;
    }
};

static_assert(Entropy::characterCount(Entropy::uniqueIdBits, 5) == 10);
static_assert(Entropy::byteCount(10, 5) == 7);

} // namespace koltutils
