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
    if (files.empty()) {
        RefuseEmptyFolder(paths);
        return;
    }
    if (files.size() == 1) {
        TakeInputFile(files.front());
        return;
    }
    // The first file that loads stands for the collection in the plot and the preview: a
    // broken first file must not drop the others. Those that fail are told when Save reports.
    for (const std::string& file : files) {
        if (TakeInputFile(file, false)) {
            EnterCollection(paths, files);
            return;
        }
    }
    TakeInputFile(files.front()); // none loads: the first one's failure is shown
}

void MainDialog::RefuseEmptyFolder(const std::vector<std::string>& paths) {
    const QFileInfo folder(QString::fromStdString(paths.front()));
    const bool unread = paths.size() == 1 && folder.isDir() && !folder.isReadable();
    ShowMessage(unread ? Text(&LanguageTexts::msgFolderNotRead) : CollectionWords().noMidiFiles,
                MessageIcon::Exclamation);
    if (m_loaded) {
        // The files held before stay held, and the field names what is loaded.
        m_inputEdit->setText(QString::fromStdString(m_inputPath));
    }
}

void MainDialog::EnterCollection(const std::vector<std::string>& paths,
                                 const std::vector<std::string>& files) {
    m_collectionPaths = paths;
    m_collectionFiles = files.size();
    m_collectionShowsFirst = files.front() == m_inputPath;
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
    m_collectionShowsFirst = true;
    m_outputEdit->setEnabled(true);
    m_browseOutputButton->setEnabled(m_loaded);
}

void MainDialog::SaveCollection() {
    ReleasePlayer();
    const CollectionTexts& words = CollectionWords();
    SaveProgress progress(QString::fromUtf8(words.savingFile), QString::fromUtf8(words.cancel),
                          LocaleOf(m_language), m_collectionFiles, this);
    QEventLoop running;
    FileCollection::Result result;
    std::thread run([&, paths = m_collectionPaths, adjustments = m_adjustments,
                     texts = m_texts != nullptr ? m_texts : LanguageTextsFor(kDefaultLanguage)] {
        result = m_collection->Save(
            paths, adjustments, *texts,
            [&progress](size_t converted, size_t total) {
                progress.m_total = total;
                progress.m_converted = converted;
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
    const bool complete = result.failed.empty() && notReached == 0;
    ShowMessage(SummaryOf(result, notReached),
                complete ? MessageIcon::Information : MessageIcon::Exclamation,
                FailureLines(result.failed));
}

std::string MainDialog::SummaryOf(const FileCollection::Result& result, size_t notReached) const {
    const CollectionTexts& words = CollectionWords();
    QString summary = notReached > 0 ? QString::fromUtf8(words.stopped) : QString();
    summary += Counted(words.saved, result.saved) + Counted(words.repaired, result.repaired) +
               Counted(words.failed, result.failed.size());
    if (notReached > 0) {
        summary += Counted(words.left, notReached);
    }
    return (summary + QString::fromUtf8(words.end)).toStdString();
}

std::string MainDialog::CollectionLoadedText() const {
    const CollectionTexts& words = CollectionWords();
    const QString files = LocaleOf(m_language).toString(static_cast<qulonglong>(m_collectionFiles));
    if (m_collectionShowsFirst) {
        return QString::fromUtf8(words.filesLoaded).arg(files).toStdString();
    }
    const QString shown = QFileInfo(QString::fromStdString(m_inputPath)).fileName();
    return QString::fromUtf8(words.filesLoadedShowing).arg(files, shown).toStdString();
}

QString MainDialog::Counted(const CountedText& text, size_t count) const {
    const bool one = count == 1 || (count == 0 && CollectionWords().zeroIsOne);
    return QString::fromUtf8(one ? text.one : text.other)
        .arg(LocaleOf(m_language).toString(static_cast<qulonglong>(count)));
}

const CollectionTexts& MainDialog::CollectionWords() const {
    const CollectionTexts* words = CollectionTextsFor(m_language);
    return words != nullptr ? *words : *CollectionTextsFor(kDefaultLanguage);
}

} // namespace korvane
