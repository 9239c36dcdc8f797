#include "koltutils/DescribedError.h"

#include "MainBundleIdentifier.h"

namespace koltutils {

const std::string& DescribedError::domain() {
    static const std::string name = detail::mainBundleIdentifier().value_or("KOLTUtils");
    return name;
}

} // namespace koltutils
