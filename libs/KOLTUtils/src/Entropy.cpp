#include "koltutils/Entropy.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cerrno>
#include <fcntl.h>
#include <random>
#include <stdexcept>
#include <sys/random.h>
#include <unistd.h>

namespace koltutils {
namespace {

std::size_t bitsPerCharacter(std::string_view alphabet) {
    if (alphabet.size() < 2 || alphabet.size() > 256 || !std::has_single_bit(alphabet.size())) {
        throw std::invalid_argument(
            "Entropy: the alphabet size must be a power of two from 2 to 256");
    }
    return static_cast<std::size_t>(std::countr_zero(alphabet.size()));
}

// Fills `bytes` with a read-like call that may return short counts or fail with EINTR.
template <class Reader> bool fillWith(std::span<std::uint8_t> bytes, Reader read) {
    std::size_t filled = 0;
    while (filled < bytes.size()) {
        const ssize_t count = read(bytes.data() + filled, bytes.size() - filled);
        if (count < 0 && errno == EINTR) {
            continue;
        }
        if (count <= 0) {
            return false;
        }
        filled += static_cast<std::size_t>(count);
    }
    return true;
}

bool fillFromGetrandom(std::span<std::uint8_t> bytes) {
    return fillWith(
        bytes, [](std::uint8_t* into, std::size_t count) { return getrandom(into, count, 0); });
}

bool fillFromURandom(std::span<std::uint8_t> bytes) {
    const int descriptor = ::open("/dev/urandom", O_RDONLY | O_CLOEXEC);
    if (descriptor < 0) {
        return false;
    }
    const bool filled = fillWith(bytes, [descriptor](std::uint8_t* into, std::size_t count) {
        return ::read(descriptor, into, count);
    });
    ::close(descriptor);
    return filled;
}

// Last resort when neither kernel source answers (a sandbox without /dev): the library's own
// non-deterministic generator.
void fillFromRandomDevice(std::span<std::uint8_t> bytes) {
    std::random_device device;
    for (auto& byte : bytes) {
        byte = static_cast<std::uint8_t>(device());
    }
}

void fillSecurely(std::span<std::uint8_t> bytes) {
    if (!fillFromGetrandom(bytes) && !fillFromURandom(bytes)) {
        fillFromRandomDevice(bytes);
    }
}

// Identifiers are drawn by the thousand while a timeline is flattened, a few bytes each: like
// the platform's arc4random, small requests are served from a per-thread block of kernel
// randomness rather than a system call each. Every byte is handed out once, and a process
// started by fork() draws a block of its own instead of repeating its parent's.
class RandomPool {
public:
    static constexpr std::size_t largestServed = 64;

    void take(std::span<std::uint8_t> bytes) {
        if (owner_ != ::getpid() || bytes.size() > block_.size() - used_) {
            fillSecurely(block_);
            used_ = 0;
            owner_ = ::getpid();
        }
        std::copy_n(block_.begin() + static_cast<std::ptrdiff_t>(used_), bytes.size(),
                    bytes.begin());
        used_ += bytes.size();
    }

private:
    std::array<std::uint8_t, 4096> block_{};
    std::size_t used_ = 0;
    pid_t owner_ = 0;
};

} // namespace

std::string Entropy::uniqueId() {
    return identifier(uniqueIdBits, uniqueIdAlphabet);
}

std::string Entropy::identifier(double bits, std::string_view alphabet) {
    constexpr double maximumBits = 1 << 16;
    const auto perCharacter = bitsPerCharacter(alphabet);
    if (!(bits > 0)) {
        return {};
    }
    if (bits > maximumBits) {
        throw std::invalid_argument("Entropy: at most 65536 bits per identifier");
    }
    const auto characters = characterCount(bits, perCharacter);
    const auto bytes = secureRandomBytes(byteCount(characters, perCharacter));
    return spell(bytes, characters, alphabet);
}

std::string Entropy::spell(std::span<const std::uint8_t> bytes, std::size_t characters,
                           std::string_view alphabet) {
    const auto perCharacter = bitsPerCharacter(alphabet);
    std::string text;
    text.reserve(characters);
    unsigned buffer = 0;
    std::size_t bufferedBits = 0;
    auto nextByte = bytes.begin();
    while (text.size() < characters) {
        if (bufferedBits < perCharacter) {
            if (nextByte == bytes.end()) {
                break;
            }
            buffer = (buffer << 8) | *nextByte++;
            bufferedBits += 8;
        }
        const auto shift = bufferedBits - perCharacter;
        const auto index = (buffer >> shift) & ((1u << perCharacter) - 1);
        text += alphabet[index];
        bufferedBits = shift;
        buffer &= (1u << bufferedBits) - 1;
    }
    return text;
}

std::vector<std::uint8_t> Entropy::secureRandomBytes(std::size_t count) {
    std::vector<std::uint8_t> bytes(count);
    if (count <= RandomPool::largestServed) {
        thread_local RandomPool pool;
        pool.take(bytes);
    } else {
        fillSecurely(bytes);
    }
    return bytes;
}

} // namespace koltutils
