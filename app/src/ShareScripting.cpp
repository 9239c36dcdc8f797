#include "ShareScripting.h"

#include <QFileDialog>
#include <koltutils/Log.h>
#include <kvnfcpx/share/FCPShareMakeCommand.h>

namespace velotrack {

std::optional<std::filesystem::path>
QtSavePanel::runModal(const platform::SavePanelOptions& options) {
    QFileDialog dialog(parent_, QString::fromStdString(options.title),
                       QString::fromStdString(options.directory.string()));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.selectFile(QString::fromStdString(options.nameFieldStringValue));
    // The only content type the share command allows is the QuickTime movie.
    if (!options.allowedContentTypes.empty()) {
        dialog.setNameFilter(QStringLiteral("QuickTime movie (*.mov)"));
        dialog.setDefaultSuffix(QStringLiteral("mov"));
    }
    dialog.setOption(QFileDialog::ReadOnly, !options.canCreateDirectories);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    return std::filesystem::path(dialog.selectedFiles().constFirst().toStdString());
}

ShareScripting::ShareScripting(QWidget* dialogParent) {
    kvnfcpx::FCPShareMakeCommand::setSavePanel(std::make_shared<QtSavePanel>(dialogParent));
    std::string error;
    if (!service_.start(std::nullopt, &error)) {
        KOLT_LOG_ERROR("ShareScripting", "Scripting is not served:", error);
    }
}

ShareScripting::~ShareScripting() {
    service_.stop();
    kvnfcpx::FCPShareMakeCommand::setSavePanel(nullptr);
}

} // namespace velotrack
