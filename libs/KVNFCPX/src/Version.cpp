#include "kvnfcpx/Version.h"

namespace kvnfcpx {

std::string supportedVersionList() {
    const auto versions = koltutils::allCases<Version>();
    std::string list;
    for (std::size_t i = 0; i < versions.size(); ++i) {
        if (i > 0) {
            list += i + 1 == versions.size() ? " or " : ", ";
        }
        list += stringValue(versions[i]);
    }
    return list;
}

} // namespace kvnfcpx
