#pragma once

#include "UpdateUserDriver.h"

#include <QPointer>

class QMessageBox;

namespace velotrack {

// Tells the person in a dialog that does not block the window behind it; a newer version comes
// with a button that opens its download page. A new outcome replaces a dialog still showing.
class MessageBoxUserDriver final : public UpdateUserDriver {
public:
    MessageBoxUserDriver() = default;
    ~MessageBoxUserDriver() override;

    void show(const UpdateCheckOutcome& outcome) override;

private:
    QPointer<QMessageBox> dialog_;
};

} // namespace velotrack
