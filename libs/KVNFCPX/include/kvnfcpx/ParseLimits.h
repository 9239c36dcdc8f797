#pragma once

#include <cstddef>

namespace kvnfcpx {

// How many timeline walks may be active inside one another: one per level of nested containers
// (spine, gap, clip, connected clip, ...), counting the walks of the inner timelines of
// compound, multicam and sync clips. Real projects nest a dozen levels at most; what lies deeper
// is skipped with an error line, so that a hostile or self-referring document cannot exhaust
// the stack.
inline constexpr std::size_t maxTimelineNesting = 256;

} // namespace kvnfcpx
