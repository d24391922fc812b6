// What the window does when it holds several files: the first is loaded for the plot and the
// preview, Save converts them all on a thread of the run's own while the window stays live.
#include "platform/gui/MessageBox.h"
#include "ui/MainDialog.h"
#include "ui/PlayerStrip.h"
#include "ui/SaveProgress.h"

#include <QApplication>
#include <QEventLoop>
#include <QFileInfo>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>

#include <array>
#include <thread>

namespace korvane {
namespace {
QString Words(const char* text) {
    return QString::fromUtf8(text);
}

// The locale whose digit grouping each language's texts use.
QLocale LocaleOf(int language) {
    constexpr std::array<QLocale::Language, 4> kLocales = {QLocale::German, QLocale::English,
                                                           QLocale::Spanish, QLocale::French};
    return static_cast<size_t>(language) < kLocales.size() ? QLocale(kLocales[language])
                                                           : QLocale(QLocale::English);
}

std::string FailureLines(const std::vector<FileCollection::Failure>& failed) {
    std::string lines;
    for (const FileCollection::Failure& failure : failed) {
        lines += failure.path + ": " + failure.message;
        if (!failure.reason.empty()) {
            lines += " (" + failure.reason + ")";
        }
        lines += "\n";
    }
    return lines;
}
} // namespace

void MainDialog::TakeInputs(const std::vector<std::string>& paths) {
    const bool oneFile = paths.size() == 1 && !QFileInfo(QString::fromStdString(paths[0])).isDir();
    if (m_collection == nullptr || oneFile) {
        TakeInputFile(paths.front());
        return;
    }
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const std::vector<std::string> files = m_collection->Gather(paths);
    QApplication::restoreOverrideCursor();
    if (files.size() <= 1) {
        // A folder without MIDI files is refused as the input field refuses a folder.
        TakeInputFile(files.empty() ? paths.front() : files.front());
        return;
    }
    // The first file that loads stands for the collection in the plot and the preview: a
    // broken first file must not drop the others. Those that fail are told when Save reports.
    for (const std::string& file : files) {
        if (TakeInputFile(file, false)) {
            EnterCollection(paths, files.size());
            return;
        }
    }
    TakeInputFile(files.front()); // none loads: the first one's failure is shown
}

void MainDialog::EnterCollection(const std::vector<std::string>& paths, size_t files) {
    m_collectionPaths = paths;
    m_collectionFiles = files;
    ShowInstruction(Instruction::SeveralLoaded);
    m_outputEdit->setEnabled(false);
    m_browseOutputButton->setEnabled(false);
}

void MainDialog::LeaveCollection() {
    if (m_collectionPaths.empty()) {
        return;
    }
    m_collectionPaths.clear();
    m_collectionFiles = 0;
    m_outputEdit->setEnabled(true);
    m_browseOutputButton->setEnabled(m_loaded);
}

void MainDialog::SaveCollection() {
    ReleasePlayer();
    const CollectionTexts& words = CollectionWords();
    SaveProgress progress(Words(words.savingFile), Words(words.cancel), m_collectionFiles, this);
    QEventLoop running;
    FileCollection::Result result;
    std::thread run([&, paths = m_collectionPaths, adjustments = m_adjustments,
                     texts = m_texts != nullptr ? m_texts : LanguageTextsFor(kDefaultLanguage)] {
        result = m_collection->Save(
            paths, adjustments, *texts,
            [&progress](size_t reported, size_t total) {
                progress.m_total = total;
                progress.m_reported = reported;
            },
            [&progress] { return progress.m_stopAsked.load(); });
        QMetaObject::invokeMethod(&running, &QEventLoop::quit, Qt::QueuedConnection);
    });
    progress.show();
    running.exec();
    run.join();
    progress.hide();
    const size_t reached = result.saved + result.failed.size();
    ShowCollectionResult(result, progress.m_total > reached ? progress.m_total - reached : 0);
}

void MainDialog::ShowCollectionResult(const FileCollection::Result& result, size_t notReached) {
    ShowSaved(result.firstInput == m_inputPath ? result.firstOutput : std::nullopt,
              result.firstTickSpeed);
    const CollectionTexts& words = CollectionWords();
    const std::string summary =
        notReached > 0
            ? CollectionText(words.stopped,
                             {result.saved, result.repaired, result.failed.size(), notReached})
            : CollectionText(words.summary, {result.saved, result.repaired, result.failed.size()});
    const bool complete = result.failed.empty() && notReached == 0;
    ShowMessage(summary, complete ? MessageIcon::Information : MessageIcon::Exclamation,
                FailureLines(result.failed));
}

std::string MainDialog::CollectionText(const char* text,
                                       std::initializer_list<size_t> counts) const {
    QString filled = Words(text);
    const QLocale locale = LocaleOf(m_language);
    for (size_t count : counts) {
        filled = filled.arg(locale.toString(static_cast<qulonglong>(count)));
    }
    return filled.toStdString();
}

const CollectionTexts& MainDialog::CollectionWords() const {
    const CollectionTexts* words = CollectionTextsFor(m_language);
    return words != nullptr ? *words : *CollectionTextsFor(kDefaultLanguage);
}

} // namespace korvane
