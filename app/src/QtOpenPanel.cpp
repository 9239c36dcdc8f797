#include "QtOpenPanel.h"

#include <QFileDialog>

namespace velotrack {

std::optional<std::vector<std::filesystem::path>>
QtOpenPanel::runModal(const Configuration& configuration) {
    QFileDialog dialog(parent_, QString::fromStdString(configuration.message),
                       configuration.directoryURL
                           ? QString::fromStdString(configuration.directoryURL->string())
                           : QString());
    if (configuration.canChooseDirectories && !configuration.canChooseFiles) {
        dialog.setFileMode(QFileDialog::Directory);
        dialog.setOption(QFileDialog::ShowDirsOnly, true);
    } else {
        dialog.setFileMode(configuration.allowsMultipleSelection ? QFileDialog::ExistingFiles
                                                                 : QFileDialog::ExistingFile);
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    std::vector<std::filesystem::path> chosen;
    for (const QString& file : dialog.selectedFiles()) {
        chosen.emplace_back(file.toStdString());
        if (!configuration.allowsMultipleSelection) {
            break;
        }
    }
    return chosen;
}

} // namespace velotrack
