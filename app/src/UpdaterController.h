#pragma once

#include "Updater.h"

#include <functional>
#include <memory>

namespace velotrack {

// Owns the application's updater for the life of the process. The delegate is the application's
// and must outlive the controller.
class UpdaterController {
public:
    using UpdaterFactory = std::function<std::unique_ptr<Updater>(UpdaterDelegate& delegate)>;

    UpdaterController(UpdaterDelegate& delegate, const UpdaterFactory& makeUpdater)
        : updater_(makeUpdater(delegate)) {}

    Updater& updater() noexcept { return *updater_; }

private:
    std::unique_ptr<Updater> updater_;
};

} // namespace velotrack
