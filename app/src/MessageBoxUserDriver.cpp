#include "MessageBoxUserDriver.h"

#include "platform/Workspace.h"

#include <QMessageBox>
#include <QPushButton>

namespace velotrack {

MessageBoxUserDriver::~MessageBoxUserDriver() {
    delete dialog_.data();
}

void MessageBoxUserDriver::show(const UpdateCheckOutcome& outcome) {
    delete dialog_.data();
    const auto icon = outcome.kind == UpdateCheckOutcome::Kind::failed ? QMessageBox::Warning
                                                                       : QMessageBox::Information;
    auto* dialog = new QMessageBox(icon, QString::fromStdString(outcome.title),
                                   QString::fromStdString(outcome.message));
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    if (outcome.downloadPage) {
        auto* download = dialog->addButton(QStringLiteral("Download"), QMessageBox::AcceptRole);
        const auto page = *outcome.downloadPage;
        QObject::connect(download, &QPushButton::clicked,
                         [page] { platform::Workspace::shared().openURL(page); });
        dialog->addButton(QStringLiteral("Later"), QMessageBox::RejectRole);
    } else {
        dialog->addButton(QMessageBox::Ok);
    }
    dialog_ = dialog;
    dialog->open();
}

} // namespace velotrack
