#include "ReferencedTimelineGuard.h"

#include "kvnfcpx/ParseLimits.h"

#include <algorithm>
#include <string_view>
#include <unordered_map>
#include <vector>
#include <xmltree/XMLElement.h>

namespace kvnfcpx::detail {

namespace {

constexpr std::size_t overLimit = ReferencedTimelineGuard::maxExpandedElements + 1;

std::size_t saturatingSum(std::size_t lhs, std::size_t rhs) noexcept {
    return std::min(lhs + std::min(rhs, overLimit), overLimit);
}

bool refersToTimeline(std::string_view elementName) noexcept {
    return elementName == "ref-clip" || elementName == "mc-clip";
}

// The number of elements the expansion of a media's timeline walks, nested referenced
// timelines included, saturated at overLimit. Every referencing element of the subtree counts,
// walked or not (a ref-clip inside a title is skipped by the walk), so this is an upper bound.
class ExpansionSize {
public:
    explicit ExpansionSize(const FCPXMLDescription& description) : description_(description) {}

    std::size_t of(const Media& media, std::size_t depth) {
        if (const auto known = sizes_.find(&media); known != sizes_.end()) {
            return known->second;
        }
        // A media on the path refers to itself: its expansion never ends.
        if (depth > maxTimelineNesting ||
            std::find(path_.begin(), path_.end(), &media) != path_.end()) {
            return overLimit;
        }
        path_.push_back(&media);
        std::size_t size = 1;
        if (media.child) {
            size = saturatingSum(size, 1);
            media.child->firstDescendant([&](const xmltree::XMLElement& element) {
                size = saturatingSum(size, 1);
                if (refersToTimeline(element.name())) {
                    size = saturatingSum(size, referencedSize(element, depth));
                }
                return size >= overLimit;
            });
        }
        path_.pop_back();
        sizes_.emplace(&media, size);
        return size;
    }

private:
    std::size_t referencedSize(const xmltree::XMLElement& element, std::size_t depth) {
        const auto ref = element.attribute("ref");
        const Media* media = ref ? description_.media(*ref) : nullptr;
        return media ? of(*media, depth + 1) : 0;
    }

    const FCPXMLDescription& description_;
    std::unordered_map<const Media*, std::size_t> sizes_;
    std::vector<const Media*> path_;
};

} // namespace

ReferencedTimelineGuard::ReferencedTimelineGuard(const FCPXMLDescription& description,
                                                 const Media& media, std::size_t& activeExpansions)
    : activeExpansions_(activeExpansions) {
    admitted_ = activeExpansions_ > 0 || ExpansionSize(description).of(media, 0) < overLimit;
    if (admitted_) {
        ++activeExpansions_;
    }
}

ReferencedTimelineGuard::~ReferencedTimelineGuard() {
    if (admitted_) {
        --activeExpansions_;
    }
}

} // namespace kvnfcpx::detail
