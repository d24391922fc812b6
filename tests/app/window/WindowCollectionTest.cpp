#include "app/WindowCollection.h"
#include "app/CollectionRun.h"
#include "job/ConversionJob.h"
#include "job/LanguageTable.h"
#include "job/ProfileKeys.h"
#include "platform/Profile.h"
#include "platform/gui/FileDialog.h"
#include "platform/gui/MessageBox.h"
#include "tests/ui/ExampleMidi.h"
#include "tests/ui/TestHome.h"
#include "ui/ControlId.h"
#include "ui/MainDialog.h"
#include "ui/PlayerStrip.h"
#include "ui/ProgramFolderGlobal.h"
#include "ui/SaveProgress.h"

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QDirIterator>
#include <QDropEvent>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMimeData>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QSlider>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QUrl>

#include <memory>
#include <sstream>

namespace korvane {
namespace {
// Format 0, one track: a note at the given velocity, 60 ticks long, end of track.
QByteArray Song(int velocity) {
    return QByteArray::fromHex("4d546864 00000006 0000 0001 0060 4d54726b 0000000c 00 903c") +
           QByteArray(1, static_cast<char>(velocity)) + QByteArray::fromHex("3c 803c40 00 ff2f00");
}

// The same without End of Track: saved with the track closed, a repair.
QByteArray UnendedSong(int velocity) {
    return QByteArray::fromHex("4d546864 00000006 0000 0001 0060 4d54726b 00000008 00 903c") +
           QByteArray(1, static_cast<char>(velocity)) + QByteArray::fromHex("3c 803c40");
}

// A RIFF file that holds no MIDI data: it can not be opened.
const QByteArray kWave = QByteArray::fromHex("52494646 0c000000 57415645 64617461 00000000");

void Write(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), bytes.size());
}

QByteArray Read(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

// Every file below folder, hidden ones too, by path relative to it.
QStringList FilesBelow(const QString& folder) {
    QStringList files;
    QDirIterator it(folder, QDir::Files | QDir::Hidden | QDir::System,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        files << QDir(folder).relativeFilePath(it.next());
    }
    files.sort();
    return files;
}

// Fifty files, two of them broken and five needing a repair, in a sub-folder too, and a hidden
// file the walk leaves out.
void WriteCollection(const QString& folder) {
    for (int i = 0; i < 50; ++i) {
        const QString name =
            QString(i < 40 ? "song%1.mid" : "sub/song%1.mid").arg(i, 2, 10, QChar('0'));
        Write(folder + "/" + name, i == 10 || i == 45 ? kWave
                                   : i % 10 == 3      ? UnendedSong(i + 20)
                                                      : Song(i + 20));
    }
    Write(folder + "/.hidden.mid", Song(99));
}

struct Message {
    std::string text;
    MessageIcon icon;
    std::string details;
};
} // namespace

class WindowCollectionTest : public QObject {
    Q_OBJECT

  private:
    QString Path(const QString& name) const { return m_dir->filePath(name); }

    void Start(std::vector<std::string> arguments = {"korvane"}) {
        m_profile = std::make_unique<Profile>();
        m_dialog = std::make_unique<MainDialog>(*m_profile, std::move(arguments));
        m_dialog->SetFileCollection(&m_collection);
        QVERIFY2(m_dialog->OnInitDialog(), "no batch run");
        m_dialog->show();
    }

    template <class T> T* Control(int id) const {
        return m_dialog->findChild<T*>(QString("c%1").arg(id));
    }
    QString Instruction() const { return Control<QLabel>(kInstruction)->text(); }
    void Click(int id) { QTest::mouseClick(Control<QAbstractButton>(id), Qt::LeftButton); }

    void Drop(const QList<QUrl>& urls) {
        QMimeData mime;
        mime.setUrls(urls);
        const QPoint where(300, 300);
        QDragEnterEvent enter(where, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(m_dialog.get(), &enter);
        QVERIFY(enter.isAccepted());
        QDropEvent drop(where, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(m_dialog.get(), &drop);
    }

    static QString LoadedText(int files) {
        // Counts are grouped as English writes them: "2,000".
        return QString::fromUtf8(CollectionTextsFor(1)->filesLoaded)
            .arg(QLocale(QLocale::English).toString(files));
    }

    bool CollectionShown(int files, const QString& first) const {
        return m_dialog->IsLoaded() && Instruction() == LoadedText(files) &&
               Control<QLineEdit>(kInputPath)->text() == first &&
               !Control<QLineEdit>(kOutputPath)->isEnabled() &&
               !Control<QWidget>(kBrowseOutput)->isEnabled();
    }

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<Profile> m_profile;
    std::unique_ptr<MainDialog> m_dialog;
    WindowCollection m_collection;
    std::vector<Message> m_messages;

  private slots:
    void init() {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
        UseTestHome(*m_dir);
        m_messages.clear();
        SetMessageBoxHook(
            [this](const std::string& text, MessageIcon icon, const std::string& details) {
                m_messages.push_back({text, icon, details});
            });
    }

    void cleanup() {
        m_dialog.reset();
        m_profile.reset();
        SetMessageBoxHook(nullptr);
        SetFilesDialogHook(nullptr);
        m_dir.reset();
    }

    // A dropped folder is converted with the window's settings exactly as a command-line run
    // over the same folder converts it.
    void droppedFolderSavesAsTheCommandLineDoes() {
        const QString window = Path("window");
        const QString commandLine = Path("cli");
        WriteCollection(window);
        WriteCollection(commandLine);
        Start();
        Drop({QUrl::fromLocalFile(window)});
        QTRY_VERIFY(CollectionShown(50, window + "/song00.mid"));
        QVERIFY(m_messages.empty());
        Control<QSlider>(kVolumeSlider)->setValue(300);
        Control<QSlider>(kDynamicRangeSlider)->setValue(700);
        Control<QLineEdit>(kSpeedEdit)->setText("150");
        Click(kSave);

        QCOMPARE(m_messages.size(), size_t{1});
        QCOMPARE(QString::fromStdString(m_messages[0].text),
                 QString("48 files saved, 5 of them repaired; 2 could not be converted."));
        QCOMPARE(m_messages[0].icon, MessageIcon::Exclamation);
        const std::string notOpened = LanguageTextsFor(1)->msgNotMidi;
        QCOMPARE(m_messages[0].details, (window + "/song10.mid: ").toStdString() + notOpened +
                                            "\n" + (window + "/sub/song45.mid: ").toStdString() +
                                            notOpened + "\n");
        QCOMPARE(QString::fromStdString(Control<PlayerStrip>(kPlayer)->FileName()),
                 window + "/song00KRV.mid");

        std::ostringstream errors;
        const CommandLine cli = ParseCommandLine({"korvane", "--volume=300", "--dynamic-range=700",
                                                  "--speed=150", commandLine.toStdString()});
        QCOMPARE(RunCollection(cli, *LanguageTextsFor(1), errors), 1);
        const QStringList files = FilesBelow(window);
        QCOMPARE(files, FilesBelow(commandLine));
        QCOMPARE(files.filter("KRV.mid").size(), 48);
        QVERIFY(!files.contains(".hiddenKRV.mid"));
        for (const QString& file : files) {
            QCOMPARE(Read(window + "/" + file).toHex(), Read(commandLine + "/" + file).toHex());
        }
    }

    void threeFilesFromTheCommandLineAreHeldTogether() {
        for (const char* name : {"a.mid", "b.mid", "c.mid"}) {
            Write(Path(name), Song(64));
        }
        Start({"korvane", Path("a.mid").toStdString(), Path("b.mid").toStdString(),
               Path("c.mid").toStdString()});
        QTRY_VERIFY(CollectionShown(3, Path("a.mid")));
        Click(kSave);
        QCOMPARE(m_messages.size(), size_t{1});
        QCOMPARE(m_messages[0].text,
                 std::string("3 files saved, 0 of them repaired; 0 could not be converted."));
        QCOMPARE(m_messages[0].icon, MessageIcon::Information);
        QCOMPARE(m_messages[0].details, std::string());
        for (const char* name : {"aKRV.mid", "bKRV.mid", "cKRV.mid"}) {
            QCOMPARE(Read(Path(name)), Song(64));
        }
    }

    // A broken first file does not drop the others: the first file that loads stands for them
    // and the broken one is told when Save reports. When none loads, the first one's failure
    // is shown, once.
    void brokenFirstFileKeepsTheCollection() {
        Write(Path("bad/a.mid"), kWave);
        Write(Path("bad/b.mid"), kWave);
        Write(Path("lib/a.mid"), kWave);
        Write(Path("lib/b.mid"), Song(64));
        Write(Path("lib/c.mid"), Song(65));
        Start();
        Drop({QUrl::fromLocalFile(Path("bad"))});
        QTRY_COMPARE(m_messages.size(), size_t{1});
        QCOMPARE(m_messages[0].text, std::string(LanguageTextsFor(1)->msgNotMidi));
        QCOMPARE(Control<QLineEdit>(kInputPath)->text(), Path("bad/a.mid"));
        QVERIFY(!m_dialog->IsLoaded());

        m_messages.clear();
        Drop({QUrl::fromLocalFile(Path("lib"))});
        QTRY_VERIFY(m_dialog->IsLoaded());
        QCOMPARE(Instruction(), QString::fromUtf8(CollectionTextsFor(1)->filesLoadedShowing)
                                    .arg(QString("3"), QString("b.mid")));
        QCOMPARE(Control<QLineEdit>(kInputPath)->text(), Path("lib/b.mid"));
        QVERIFY(m_messages.empty());
        Click(kSave);
        QCOMPARE(m_messages.size(), size_t{1});
        QCOMPARE(m_messages[0].text,
                 std::string("2 files saved, 0 of them repaired; 1 could not be converted."));
        QCOMPARE(Read(Path("lib/cKRV.mid")), Song(65));
        QCOMPARE(QString::fromStdString(Control<PlayerStrip>(kPlayer)->FileName()),
                 Path("lib/bKRV.mid"));
    }

    // A folder typed in the input field is taken on Enter. One file saved and one failed are said
    // in the singular, the text names the file shown when the first did not load, and a folder
    // without MIDI files says so and leaves the files held.
    void singleCountsTheFileShownAndAnEmptyFolder() {
        const struct {
            int language;
            const char* loaded;
            const char* summary;
            const char* empty;
        } said[] = {
            {0,
             "2 MIDI-Dateien sind geladen. Kurve und Player zeigen b.mid; Speichern wandelt alle "
             "um.",
             "1 Datei gespeichert, davon 0 repariert; 1 konnte nicht umgewandelt werden.",
             "Der Ordner enthält keine MIDI-Dateien."},
            {1,
             "2 MIDI files are loaded. The plot and the player show b.mid; Save converts them "
             "all.",
             "1 file saved, 0 of them repaired; 1 could not be converted.",
             "The folder holds no MIDI files."},
            {2,
             "2 archivos MIDI están cargados. El gráfico y el reproductor muestran b.mid; al "
             "guardar se convierten todos.",
             "1 archivo guardado, 0 de ellos reparados; 1 no se pudo convertir.",
             "La carpeta no contiene archivos MIDI."},
            {3,
             "2 fichiers MIDI sont chargés. Le graphique et le lecteur montrent b.mid ; "
             "l'enregistrement les convertit tous.",
             "1 fichier enregistré, dont 0 réparé ; 1 n'a pas pu être converti.",
             "Le dossier ne contient aucun fichier MIDI."}};
        Write(Path("lib/a.mid"), kWave);
        Write(Path("lib/b.mid"), Song(64));
        QVERIFY(QDir().mkpath(Path("empty")));
        Start();
        QVERIFY(QTest::qWaitForWindowActive(m_dialog.get()));
        const auto enter = [this](const QString& typed) {
            Control<QLineEdit>(kInputPath)->setText(typed);
            Control<QLineEdit>(kInputPath)->setFocus();
            QTest::keyClick(Control<QLineEdit>(kInputPath), Qt::Key_Return);
        };
        enter(Path("lib"));
        for (const auto& [language, loaded, summary, empty] : said) {
            m_dialog->SetLanguage(language);
            QCOMPARE(Instruction(), QString::fromUtf8(loaded));
            m_messages.clear();
            Click(kSave);
            enter(Path("empty"));
            QCOMPARE(m_messages.size(), size_t{2});
            QCOMPARE(QString::fromStdString(m_messages[0].text), QString::fromUtf8(summary));
            QCOMPARE(m_messages[0].icon, MessageIcon::Exclamation);
            QCOMPARE(QString::fromStdString(m_messages[1].text), QString::fromUtf8(empty));
            QCOMPARE(Control<QLineEdit>(kInputPath)->text(), Path("lib/b.mid"));
        }
    }

    // A folder alone from the command line (the desktop entry's --window %F) is gathered too.
    void folderFromTheCommandLineIsGathered() {
        WriteCollection(Path("lib"));
        Start({"korvane", Path("lib").toStdString()});
        QTRY_VERIFY(CollectionShown(50, Path("lib/song00.mid")));
    }

    // The input's file dialog takes a folder too: Open with the folder selected.
    void fileDialogTakesAFolder() {
        WriteCollection(Path("lib"));
        Start();
        bool stayedOpen = false;
        QTimer poll;
        connect(&poll, &QTimer::timeout, this, [this, &poll, &stayedOpen] {
            if (auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget())) {
                poll.stop();
                dialog->findChild<QLineEdit*>("fileNameEdit")->setText(Path("lib"));
                dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Open)->click();
                stayedOpen = dialog->isVisible(); // gone into the folder instead
                if (stayedOpen) {
                    dialog->reject();
                }
            }
        });
        poll.start(10);
        Click(kBrowseInput);
        QVERIFY(!stayedOpen);
        QVERIFY(CollectionShown(50, Path("lib/song00.mid")));
    }

    // Several files chosen at once make a collection; one file chosen later is one file again.
    void fileDialogTakesSeveralFiles() {
        Write(Path("a.mid"), Song(64));
        Write(Path("b.mid"), Song(65));
        std::vector<std::vector<std::string>> answers = {
            {Path("a.mid").toStdString(), Path("b.mid").toStdString()},
            {Path("b.mid").toStdString()}};
        SetFilesDialogHook([&answers](const std::string&, const std::string&) {
            std::vector<std::string> answer = answers.front();
            answers.erase(answers.begin());
            return std::optional(answer);
        });
        Start();
        Click(kBrowseInput);
        QVERIFY(CollectionShown(2, Path("a.mid")));
        m_dialog->SetLanguage(0); // the text of the files held, in the new language
        QCOMPARE(Instruction(), QString::fromUtf8(CollectionTextsFor(0)->filesLoaded).arg(2));
        m_dialog->SetLanguage(1);
        Click(kBrowseInput);
        QCOMPARE(Instruction().toStdString(), std::string(LanguageTextsFor(1)->textLoaded));
        QCOMPARE(Control<QLineEdit>(kOutputPath)->text(), Path("bKRV.mid"));
        QVERIFY(Control<QLineEdit>(kOutputPath)->isEnabled());
        QVERIFY(Control<QWidget>(kBrowseOutput)->isEnabled());
        Click(kSave);
        QVERIFY(m_messages.empty());
        QVERIFY(!QFile::exists(Path("aKRV.mid")));
        QCOMPARE(Read(Path("bKRV.mid")), Song(65));
    }

    // With the bars kept the saved ticks are the original's: the original takes over where the
    // saved file plays, as after a Save of one file.
    void originalTakesOverAtTheSavedFilesTicks() {
        const std::vector<uint8_t> example = ExampleMidiBytes();
        const QByteArray bytes(reinterpret_cast<const char*>(example.data()),
                               static_cast<qsizetype>(example.size()));
        Write(Path("lib/a.mid"), bytes);
        Write(Path("lib/b.mid"), bytes);
        Profile().WriteProfileInt(kKeyKeepBars, 1);
        Start();
        auto session = std::make_unique<FluidSession>();
        FluidSession* rendered = session.get();
        session->LoadSoundFont(FluidSession::DefaultSoundFonts());
        Control<PlayerStrip>(kPlayer)->UseSession(std::move(session));
        Drop({QUrl::fromLocalFile(Path("lib"))});
        QTRY_VERIFY(CollectionShown(2, Path("lib/a.mid")));
        QTRY_VERIFY(Control<PlayerStrip>(kPlayer)->HeldBytes() != nullptr); // the preview
        Control<QLineEdit>(kSpeedEdit)->setText("200");
        Click(kSave);
        QCOMPARE(Control<PlayerStrip>(kPlayer)->FileName(), Path("lib/aKRV.mid").toStdString());
        QTest::mouseClick(Control<PlayerStrip>(kPlayer)->findChild<QPushButton*>("playButton"),
                          Qt::LeftButton);
        Advance(*rendered, 0.5); // 192 ticks at the doubled tempo
        auto* position = Control<PlayerStrip>(kPlayer)->findChild<QSlider*>("positionSlider");
        QTRY_VERIFY(position->value() >= 188);
        m_dialog->findChild<QAction*>("hearOriginal")->trigger();
        QVERIFY(*Control<PlayerStrip>(kPlayer)->HeldBytes() == example);
        QVERIFY2(position->value() >= 188 && position->value() <= 200,
                 qPrintable(QString::number(position->value())));
    }

    // The count shown is of the files converted, told before their outputs are named: it never
    // falls behind the outputs on disk, and each group is counted while it is made durable.
    void progressCountsFilesBeforeTheyAreNamed() {
        const QString folder = Path("many");
        for (int i = 0; i < 1500; ++i) {
            Write(folder + QString("/f%1.mid").arg(i, 4, 10, QChar('0')), Song(64));
        }
        const auto named = [&folder] {
            return static_cast<size_t>(QDir(folder).entryList({"*KRV.mid"}, QDir::Files).size());
        };
        size_t countedAhead = 0; // calls that counted files whose outputs have no name yet
        m_collection.Save(
            {folder.toStdString()}, Adjustments{}, *LanguageTextsFor(1),
            [&](size_t converted, size_t) { countedAhead += converted > named(); },
            [] { return false; });
        QVERIFY(countedAhead > 0);

        QDir(folder).removeRecursively();
        for (int i = 0; i < 1500; ++i) {
            Write(folder + QString("/f%1.mid").arg(i, 4, 10, QChar('0')), Song(64));
        }
        Start();
        Drop({QUrl::fromLocalFile(folder)});
        QTRY_VERIFY(CollectionShown(1500, folder + "/f0000.mid"));
        size_t polls = 0;
        QTimer poll;
        connect(&poll, &QTimer::timeout, this, [&] {
            auto* progress = m_dialog->findChild<SaveProgress*>("saveProgress");
            if (progress != nullptr && progress->isVisible()) {
                const size_t onDisk = named(); // looked at first: the count only grows
                QVERIFY2(progress->m_converted >= onDisk, qPrintable(QString::number(onDisk)));
                ++polls;
            }
        });
        poll.start(1);
        Click(kSave);
        poll.stop();
        QVERIFY(polls > 0);
        QCOMPARE(named(), size_t{1500});
    }

    // Cancel stops the run between files: what was saved is whole, nothing else is there.
    void cancelLeavesOnlyWholeOutputs() {
        const QString folder = Path("many");
        for (int i = 0; i < 2000; ++i) {
            Write(folder + QString("/f%1.mid").arg(i, 4, 10, QChar('0')), Song(64));
        }
        Write(Path("reference.mid"), Song(64));
        Adjustments louder;
        louder.m_volume = 300;
        ConversionJob job;
        QVERIFY(job.RunConversion({.inputPath = Path("reference.mid").toStdString(),
                                   .outputPath = Path("expected.mid").toStdString(),
                                   .adjustments = louder,
                                   .output = OutputTo::File})
                    .Completed());
        const QByteArray expected = Read(Path("expected.mid"));

        Start();
        Drop({QUrl::fromLocalFile(folder)});
        QTRY_VERIFY(CollectionShown(2000, folder + "/f0000.mid"));
        Control<QSlider>(kVolumeSlider)->setValue(300);
        QString shownAtCancel;
        QString barHeard; // what a screen reader names the progress bar
        QTimer poll;
        connect(&poll, &QTimer::timeout, this, [&] {
            auto* progress = m_dialog->findChild<SaveProgress*>("saveProgress");
            // At once: files convert faster than they are reported, so a later Cancel may
            // find them all done.
            if (progress != nullptr && progress->isVisible() && shownAtCancel.isEmpty()) {
                shownAtCancel = progress->findChild<QLabel*>("saveProgressText")->text();
                barHeard =
                    QAccessible::queryAccessibleInterface(progress->findChild<QProgressBar*>())
                        ->text(QAccessible::Name);
                QTest::mouseClick(progress->findChild<QPushButton*>("saveProgressCancel"),
                                  Qt::LeftButton);
            }
        });
        poll.start(1);
        Click(kSave);
        poll.stop();

        QVERIFY(QRegularExpression("^Saving file \\d{1,3}(,\\d{3})? of 2,000\u2026$")
                    .match(shownAtCancel)
                    .hasMatch());
        QCOMPARE(barHeard, shownAtCancel);
        QCOMPARE(m_messages.size(), size_t{1});
        // Told as stopped, with the files never reached, counts grouped as English writes them.
        const QRegularExpressionMatch summary =
            QRegularExpression(
                "^Saving was stopped\\. (\\d{1,3}|\\d,\\d{3}) files? saved, 0 of them "
                "repaired; 0 could not be converted; (\\d{1,3}|\\d,\\d{3}) (?:were|was) left "
                "unconverted\\.$")
                .match(QString::fromStdString(m_messages[0].text));
        QVERIFY2(summary.hasMatch(), m_messages[0].text.c_str());
        QCOMPARE(m_messages[0].icon, MessageIcon::Exclamation);
        const int saved = summary.captured(1).remove(',').toInt();
        QCOMPARE(summary.captured(2).remove(',').toInt(), 2000 - saved);
        const QStringList outputs = FilesBelow(folder).filter("KRV.mid");
        QCOMPARE(outputs.size(), saved);
        QCOMPARE(FilesBelow(folder).size(), 2000 + saved); // no temporary left behind
        for (const QString& output : outputs) {
            QVERIFY2(Read(folder + "/" + output) == expected, qPrintable(output));
        }
    }
};

} // namespace korvane

QTEST_MAIN(korvane::WindowCollectionTest)
#include "WindowCollectionTest.moc"
