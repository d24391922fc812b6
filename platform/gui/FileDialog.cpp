#include "platform/gui/FileDialog.h"

#include <QFileDialog>

namespace korvane {
namespace {
FileDialogHook g_fileDialogHook;
} // namespace

std::optional<std::string> ChooseMidiFile(QWidget* parent, const FileDialogRequest& request,
                                          const std::string& initialFolder,
                                          const std::string& initialName) {
    if (g_fileDialogHook) {
        return g_fileDialogHook(initialFolder, initialName);
    }
    QFileDialog dialog(parent, request.title);
    const bool save = request.mode == FileDialogMode::Save;
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    // An input that does not exist is reported by the load, as for a typed path.
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilters(request.filters);
    dialog.setDirectory(QString::fromStdString(initialFolder));
    if (!initialName.empty()) {
        dialog.selectFile(QString::fromStdString(initialName));
    }
    if (dialog.exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    const QStringList chosen = dialog.selectedFiles();
    if (chosen.isEmpty()) {
        return std::nullopt;
    }
    return chosen.first().toStdString();
}

void SetFileDialogHook(FileDialogHook hook) {
    g_fileDialogHook = std::move(hook);
}

} // namespace korvane
