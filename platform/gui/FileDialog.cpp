#include "platform/gui/FileDialog.h"

#include <QFileDialog>
#include <QStringList>

namespace korvane {
namespace {
FileDialogHook g_fileDialogHook;
} // namespace

std::optional<std::string> ChooseMidiFile(QWidget* parent, const std::string& initialFolder,
                                          const std::string& initialName) {
    if (g_fileDialogHook) {
        return g_fileDialogHook(initialFolder, initialName);
    }
    QFileDialog dialog(parent);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::AnyFile);
    // A RIFF-wrapped MIDI file loads like any other and is saved as a plain one.
    dialog.setNameFilter("MIDI File (*.mid *.rmi)");
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
