#pragma once

#include <QStringList>

#include <functional>
#include <optional>
#include <string>
#include <vector>

class QWidget;

namespace korvane {

// Open: an existing file is chosen. Save: a new name may be typed, and an existing file is
// replaced only once the user has agreed.
enum class FileDialogMode { Open, Save };

// What a file dialog shows: its title, and its filters ("Text (*.txt)"), the first selected.
struct FileDialogRequest {
    FileDialogMode mode = FileDialogMode::Open;
    QString title;
    QStringList filters;
};

// The file dialog. Returns the chosen full path, or nothing when the user cancels. The initial
// folder and name are passed whole, whatever their length.
std::optional<std::string> ChooseMidiFile(QWidget* parent, const FileDialogRequest& request,
                                          const std::string& initialFolder,
                                          const std::string& initialName);

// While a hook is set it answers instead of the dialog ("the next file name"), so tests can
// pick files and see what the dialog would have started with.
using FileDialogHook = std::function<std::optional<std::string>(const std::string& initialFolder,
                                                                const std::string& initialName)>;
void SetFileDialogHook(FileDialogHook hook);

// The input's dialog: several existing files at once, or one folder. Returns the chosen full
// paths, or nothing when the user cancels. A files hook answers instead of it; else a file hook
// does, with its one file.
std::optional<std::vector<std::string>> ChooseMidiFiles(QWidget* parent,
                                                        const FileDialogRequest& request,
                                                        const std::string& initialFolder,
                                                        const std::string& initialName);

using FilesDialogHook = std::function<std::optional<std::vector<std::string>>(
    const std::string& initialFolder, const std::string& initialName)>;
void SetFilesDialogHook(FilesDialogHook hook);

} // namespace korvane
