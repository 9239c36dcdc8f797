#include "kvnfcpx/ClipContent.h"

#include <koltutils/Describe.h>

namespace kvnfcpx {

std::string ClipContent::description() const {
    return "ClipContent(" + std::string(koltutils::rawValue(contentType)) + ", ref " + ref +
           ", role " + koltutils::describe(role) + ", srcCh " + koltutils::describe(srcCh) +
           ", lane " + koltutils::describe(lane) + ", " + clipTime.description() + ")";
}

} // namespace kvnfcpx
