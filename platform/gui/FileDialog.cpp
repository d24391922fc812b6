#include "platform/gui/FileDialog.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QStringList>

namespace korvane {
namespace {
FileDialogHook g_fileDialogHook;
FilesDialogHook g_filesDialogHook;

// Open with a folder selected, or with none in a folder, takes that folder as chosen where the
// dialog would go into it: the window then converts the MIDI files it holds. A double click still
// goes in.
class FilesOrFolderDialog : public QFileDialog {
  public:
    using QFileDialog::QFileDialog;

    void accept() override {
        const QStringList chosen = selectedFiles();
        if (fileMode() == QFileDialog::ExistingFiles && chosen.size() == 1 &&
            QFileInfo(chosen.front()).isDir()) {
            QDialog::accept();
            return;
        }
        QFileDialog::accept();
    }
};

std::optional<QStringList> RunMidiFileDialog(QWidget* parent, const FileDialogRequest& request,
                                             QFileDialog::FileMode mode,
                                             const std::string& initialFolder,
                                             const std::string& initialName) {
    FilesOrFolderDialog dialog(parent, request.title);
    const bool save = request.mode == FileDialogMode::Save;
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(mode);
    dialog.setNameFilters(request.filters);
    dialog.setDirectory(QString::fromStdString(initialFolder));
    if (!initialName.empty()) {
        dialog.selectFile(QString::fromStdString(initialName));
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    return dialog.selectedFiles();
}
} // namespace

std::optional<std::string> ChooseMidiFile(QWidget* parent, const FileDialogRequest& request,
                                          const std::string& initialFolder,
                                          const std::string& initialName) {
    if (g_fileDialogHook) {
        return g_fileDialogHook(initialFolder, initialName);
    }
    // An input that does not exist is reported by the load, as for a typed path.
    const std::optional<QStringList> chosen =
        RunMidiFileDialog(parent, request, QFileDialog::AnyFile, initialFolder, initialName);
    if (!chosen) {
        return std::nullopt;
    }
    return chosen->first().toStdString();
}

std::optional<std::vector<std::string>> ChooseMidiFiles(QWidget* parent,
                                                        const FileDialogRequest& request,
                                                        const std::string& initialFolder,
                                                        const std::string& initialName) {
    if (g_filesDialogHook) {
        return g_filesDialogHook(initialFolder, initialName);
    }
    if (g_fileDialogHook) {
        const std::optional<std::string> chosen = g_fileDialogHook(initialFolder, initialName);
        return chosen ? std::optional(std::vector{*chosen}) : std::nullopt;
    }
    const std::optional<QStringList> chosen =
        RunMidiFileDialog(parent, request, QFileDialog::ExistingFiles, initialFolder, initialName);
    if (!chosen) {
        return std::nullopt;
    }
    std::vector<std::string> paths;
    for (const QString& path : *chosen) {
        paths.push_back(path.toStdString());
    }
    return paths;
}

void SetFileDialogHook(FileDialogHook hook) {
    g_fileDialogHook = std::move(hook);
}

void SetFilesDialogHook(FilesDialogHook hook) {
    g_filesDialogHook = std::move(hook);
}

} // namespace korvane
