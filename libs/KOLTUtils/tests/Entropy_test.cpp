#include "koltutils/Entropy.h"

#include <array>
#include <gtest/gtest.h>
#include <set>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace koltutils {
namespace {

TEST(Entropy, SpellsFiveBitGroupsMostSignificantBitFirst) {
    const auto alphabet = Entropy::uniqueIdAlphabet;
    EXPECT_EQ(Entropy::spell(std::array<std::uint8_t, 7>{}, 10, alphabet), "2222222222");
    EXPECT_EQ(Entropy::spell(std::array<std::uint8_t, 7>{0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF},
                             10, alphabet),
              "TTTTTTTTTT");
    // 00001 00010 00011 00100 | 00101 00110 00111 01000 | 11111 10000:
    // the groups run across byte boundaries in reading order.
    const std::array<std::uint8_t, 7> counting{0x08, 0x86, 0x42, 0x98, 0xE8, 0xFC, 0x00};
    EXPECT_EQ(Entropy::spell(counting, 10, alphabet), "346789bdTq");
    // Three-bit alphabet: 101 011 10|0 ...
    EXPECT_EQ(Entropy::spell(std::array<std::uint8_t, 1>{0xAE}, 2, "abcdefgh"), "fd");
    // Too few bytes give fewer characters instead of reading past the end.
    EXPECT_EQ(Entropy::spell(std::array<std::uint8_t, 1>{0xFF}, 10, alphabet), "T");
}

TEST(Entropy, UniqueIdIsTenCharactersOfTheAlphabetAndVaries) {
    std::set<std::string> seen;
    // Enough identifiers to draw several blocks of randomness.
    for (int round = 0; round < 2000; ++round) {
        const auto id = Entropy::uniqueId();
        ASSERT_EQ(id.size(), 10u);
        EXPECT_EQ(id.find_first_not_of(Entropy::uniqueIdAlphabet), std::string::npos) << id;
        seen.insert(id);
    }
    EXPECT_EQ(seen.size(), 2000u);
}

TEST(Entropy, AForkedChildDrawsOtherIdentifiersThanItsParent) {
    (void)Entropy::uniqueId();
    int channel[2];
    ASSERT_EQ(pipe(channel), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        const auto id = Entropy::uniqueId();
        _exit(write(channel[1], id.data(), id.size()) == static_cast<ssize_t>(id.size()) ? 0 : 1);
    }
    close(channel[1]);
    std::string fromChild(10, ' ');
    const auto received = read(channel[0], fromChild.data(), fromChild.size());
    close(channel[0]);
    waitpid(child, nullptr, 0);
    ASSERT_EQ(received, 10);
    EXPECT_NE(fromChild, Entropy::uniqueId());
}

TEST(Entropy, CountsFollowRequestedBits) {
    EXPECT_EQ(Entropy::characterCount(Entropy::uniqueIdBits, 5), 10u);
    EXPECT_EQ(Entropy::characterCount(50.0, 5), 10u);
    EXPECT_EQ(Entropy::characterCount(50.5, 5), 11u);
    EXPECT_EQ(Entropy::byteCount(10, 5), 7u);
    EXPECT_EQ(Entropy::byteCount(8, 5), 5u);
    EXPECT_EQ(Entropy::identifier(16, "01").size(), 16u);
    EXPECT_EQ(Entropy::identifier(0, "01"), "");
    EXPECT_THROW(Entropy::identifier(10, "abc"), std::invalid_argument);
    EXPECT_EQ(Entropy::secureRandomBytes(33).size(), 33u);
}

} // namespace
} // namespace koltutils
