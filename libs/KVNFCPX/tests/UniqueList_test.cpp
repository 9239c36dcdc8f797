#include "../src/UniqueList.h"

#include <gtest/gtest.h>
#include <random>
#include <vector>

namespace kvnfcpx::detail {

// Values whose hashes collide often, so that look-ups must settle collisions by ==.
struct Tagged {
    int value = 0;
    int copy = 0; // tells equal values apart without taking part in equality

    friend bool operator==(const Tagged& lhs, const Tagged& rhs) { return lhs.value == rhs.value; }
};

} // namespace kvnfcpx::detail

template <> struct std::hash<kvnfcpx::detail::Tagged> {
    std::size_t operator()(const kvnfcpx::detail::Tagged& tagged) const noexcept {
        return static_cast<std::size_t>(tagged.value % 5);
    }
};

namespace kvnfcpx::detail {
namespace {

// The rules as written: a scan for "already there", and a rebuild keeping first occurrences.
struct PlainList {
    std::vector<Tagged> items;

    void appendUnlessPresent(const Tagged& item) {
        for (const auto& existing : items) {
            if (existing == item) {
                return;
            }
        }
        items.push_back(item);
    }
    void appendAll(const std::vector<Tagged>& more) {
        items.insert(items.end(), more.begin(), more.end());
    }
    void removeLaterDuplicates() {
        std::vector<Tagged> kept;
        for (const auto& item : items) {
            bool seen = false;
            for (const auto& earlier : kept) {
                seen = seen || earlier == item;
            }
            if (!seen) {
                kept.push_back(item);
            }
        }
        items = kept;
    }
};

// Keeps the exact elements (not just equal ones) in the exact order of the plain rules, from
// short lists scanned linearly to long indexed ones, with and without room reserved ahead, over
// random sequences of operations.
TEST(UniqueList, MatchesThePlainRulesElementForElement) {
    std::mt19937 random(20240611);
    for (int round = 0; round < 200; ++round) {
        UniqueList<Tagged> list;
        if (round % 3 == 0) {
            list.reserve(static_cast<std::size_t>(round / 3));
        }
        PlainList plain;
        int copy = 0;
        const auto range = static_cast<unsigned>(3 + round % 40);
        for (int step = 0; step < 60; ++step) {
            const auto operation = random() % 3;
            if (operation == 0) {
                const Tagged item{static_cast<int>(random() % range), ++copy};
                list.appendUnlessPresent(Tagged(item));
                plain.appendUnlessPresent(item);
            } else if (operation == 1) {
                std::vector<Tagged> batch;
                for (auto count = random() % 6; count > 0; --count) {
                    batch.push_back({static_cast<int>(random() % range), ++copy});
                }
                plain.appendAll(batch);
                list.appendAll(std::move(batch));
            } else {
                list.removeLaterDuplicates();
                plain.removeLaterDuplicates();
            }
        }
        const auto items = std::move(list).take();
        ASSERT_EQ(items.size(), plain.items.size()) << "round " << round;
        for (std::size_t i = 0; i < items.size(); ++i) {
            ASSERT_EQ(items[i].copy, plain.items[i].copy) << "round " << round << " at " << i;
        }
    }
}

} // namespace
} // namespace kvnfcpx::detail
