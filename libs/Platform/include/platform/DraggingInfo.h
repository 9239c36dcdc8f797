#pragma once

#include "platform/Pasteboard.h"

namespace platform {

// What a drop carries: the pasteboard the drag source filled.
class DraggingInfo {
public:
    virtual ~DraggingInfo() = default;
    virtual const Pasteboard& draggingPasteboard() const = 0;
};

} // namespace platform
