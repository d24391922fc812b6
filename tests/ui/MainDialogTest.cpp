#include "ui/MainDialog.h"
#include "job/LanguageTable.h"
#include "job/ProfileKeys.h"
#include "platform/Profile.h"
#include "platform/ProgramFolder.h"
#include "platform/TempOutput.h"
#include "platform/gui/DialogUnits.h"
#include "platform/gui/FileDialog.h"
#include "platform/gui/MessageBox.h"
#include "tests/ui/ExampleMidi.h"
#include "tests/ui/TestHome.h"
#include "ui/AboutDialog.h"
#include "ui/AboutPicture.h"
#include "ui/ElidedLabel.h"
#include "ui/LevelView.h"
#include "ui/MainDialogTemplate.h"
#include "ui/PlayerStrip.h"
#include "ui/ProgramFolderGlobal.h"

#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QColor>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QDir>
#include <QDropEvent>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontMetrics>
#include <QGroupBox>
#include <QJsonArray>
#include <QJsonDocument>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QPalette>
#include <QProcess>
#include <QPushButton>
#include <QScreen>
#include <QSlider>
#include <QTemporaryDir>
#include <QTest>
#include <QTextDocumentFragment>
#include <QTimer>
#include <QUrl>

#include <array>
#include <csignal>
#include <deque>
#include <filesystem>
#include <functional>
#include <iostream>
#include <memory>
#include <optional>
#include <sstream>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace korvane {
namespace {
using Bytes = QByteArray;

// Format 0, one track, 96 ticks per quarter: a note on, a note off 60 ticks later, end of track.
const Bytes kSong = QByteArray::fromHex("4d546864 00000006 0000 0001 0060"
                                        "4d54726b 0000000c"
                                        "00 903c40  3c 803c40  00 ff2f00");

// The same song with its one delta time divided by speed / 100.
Bytes SongAtSpeedDelta(const char* deltaHex) {
    return QByteArray::fromHex(QByteArray("4d546864 00000006 0000 0001 0060"
                                          "4d54726b 0000000c"
                                          "00 903c40 ") +
                               deltaHex + " 803c40  00 ff2f00");
}

// kSong in a RIFF "RMID" file, with an INFO list after its data chunk.
const Bytes kRmidSong = QByteArray::fromHex("52494646 3a000000 524d4944 64617461 22000000") +
                        kSong + QByteArray::fromHex("4c495354 04000000 494e464f");

// Collects what is written to standard error while it lives.
class CapturedStandardError {
  public:
    CapturedStandardError() : m_previous(std::cerr.rdbuf(m_text.rdbuf())) {}
    ~CapturedStandardError() { std::cerr.rdbuf(m_previous); }
    std::string Text() const { return m_text.str(); }

  private:
    std::ostringstream m_text;
    std::streambuf* m_previous;
};

struct Message {
    std::string text;
    MessageIcon icon;
    std::string details;
};

// The context menu: the window commands, the original instead of the preview, the adjustment
// items, a separator, About.
constexpr int kMinimizeEntry = 0;
constexpr int kCloseEntry = 1;
constexpr int kHearOriginalEntry = 2;
constexpr int kKeepBarsEntry = 3;
constexpr int kLeaveDrumsEntry = 4;
constexpr int kLoudestEntry = 5;
constexpr int kSeparatorEntry = 6;
constexpr int kAboutEntry = 7;
constexpr int kMenuEntries = 8;

// Captions in the order of kCaptionControlIds, as the template has them.
constexpr std::array<const char*, 11> kTemplateCaptions = {
    "Browse",  "Browse",         "Load From MIDI File",   "Save to File",  "Load", "Save",
    "Volume:", "Dynamic Range:", "Eliminate Stuck Notes", "Adjust Speed:", "Reset"};

QString CaptionOf(QWidget* control) {
    if (auto* button = qobject_cast<QAbstractButton*>(control)) {
        return button->text();
    }
    if (auto* group = qobject_cast<QGroupBox*>(control)) {
        return group->title();
    }
    return qobject_cast<QLabel*>(control)->text();
}
} // namespace

class MainDialogTest : public QObject {
    Q_OBJECT

  private:
    QString Path(const QString& name) const { return m_dir->filePath(name); }
    std::string StdPath(const QString& name) const { return Path(name).toStdString(); }
    QString Folder() const { return m_dir->path() + "/"; }

    void WriteFile(const QString& name, const Bytes& bytes) {
        QFile file(Path(name));
        QVERIFY(file.open(QIODevice::WriteOnly));
        QCOMPARE(file.write(bytes), bytes.size());
    }

    Bytes ReadFile(const QString& name) {
        QFile file(Path(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : Bytes("<missing>");
    }

    MainDialog& Start(std::vector<std::string> arguments = {"korvane"}) {
        m_profile = std::make_unique<Profile>();
        m_dialog = std::make_unique<MainDialog>(*m_profile, std::move(arguments));
        m_dialog->SetExitHook([this](int status) { m_exitStatus = status; });
        m_started = m_dialog->OnInitDialog();
        if (m_started) {
            m_dialog->show();
        }
        return *m_dialog;
    }

    template <class T> T* Control(int id) const {
        T* control = m_dialog->findChild<T*>(QString("c%1").arg(id));
        if (control == nullptr) {
            qFatal("control %d missing", id);
        }
        return control;
    }

    QString Text(int id) const { return Control<QLineEdit>(id)->text(); }
    QString Instruction() const { return Control<QLabel>(kInstruction)->text(); }
    void Click(int id) { QTest::mouseClick(Control<QAbstractButton>(id), Qt::LeftButton); }

    void LoadTyped(const QString& path) {
        Control<QLineEdit>(kInputPath)->setText(path);
        Click(kLoad);
    }

    bool AdjustmentControlsEnabled(bool enabled) const {
        for (ControlId id :
             {kVolumeSlider, kDynamicRangeSlider, kReset, kSpeedSlider, kStuckNotes, kSpeedEdit,
              kSpeedLabel, kPercentLabel, kVolumeLabel, kDynamicRangeLabel, kSave, kBrowseOutput}) {
            if (Control<QWidget>(id)->isEnabled() != enabled) {
                qWarning("control %d enabled is %d", id, !enabled);
                return false;
            }
        }
        return true;
    }

    std::vector<QString> Captions() const {
        std::vector<QString> captions;
        for (int id : kCaptionControlIds) {
            captions.push_back(CaptionOf(Control<QWidget>(id)));
        }
        return captions;
    }

    void ExpectCaptions(const LanguageTexts& texts) const {
        for (size_t i = 0; i < kCaptionControlIds.size(); ++i) {
            QCOMPARE(CaptionOf(Control<QWidget>(kCaptionControlIds[i])),
                     QString::fromUtf8(texts.captions[i]));
        }
    }

    // Picks languageIndex in the About box that the next step opens, or presses Esc when it
    // is negative; records what the box showed on opening.
    void AnswerAboutBox(int languageIndex) {
        QTimer::singleShot(0, this, [this, languageIndex] {
            auto* about = qobject_cast<AboutDialog*>(QApplication::activeModalWidget());
            if (about == nullptr) {
                qFatal("no About box open");
            }
            auto* list = about->findChild<QComboBox*>();
            m_aboutOpenedWith = list->currentIndex();
            if (languageIndex < 0) {
                QTest::keyClick(about, Qt::Key_Escape);
            } else {
                list->setCurrentIndex(languageIndex);
                QTest::keyClick(list, Qt::Key_Return);
            }
        });
    }

    // Right-clicks the window and picks the menu's entry at index, after calling beforePick
    // once the menu is open.
    void ChooseFromContextMenu(int index, const std::function<void()>& beforePick = {}) {
        QTimer::singleShot(0, this, [index, beforePick] {
            auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            if (menu == nullptr) {
                qFatal("no menu open");
            }
            QAction* entry = menu->actions().value(index);
            if (beforePick) {
                beforePick();
            }
            QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(entry).center());
            if (menu->isVisible()) {
                menu->close(); // a click on a disabled entry leaves the menu open
            }
        });
        const QPoint where(300, 5);
        QContextMenuEvent event(QContextMenuEvent::Mouse, where, m_dialog->mapToGlobal(where));
        QApplication::sendEvent(m_dialog.get(), &event);
    }

    // Right-clicks the window, picks the About entry and then languageIndex in the box.
    void ChooseLanguageByContextMenu(int languageIndex) {
        ChooseFromContextMenu(kAboutEntry,
                              [this, languageIndex] { AnswerAboutBox(languageIndex); });
    }

    PlayerStrip& Strip() const { return *Control<PlayerStrip>(kPlayer); }
    QString StripStatus() const {
        return Strip().findChild<ElidedLabel*>("playerStatus")->FullText();
    }
    int StripPosition() const { return Strip().findChild<QSlider*>("positionSlider")->value(); }
    Bytes StripBytes() const {
        const MidiBytes& bytes = Strip().HeldBytes();
        return bytes ? Bytes(reinterpret_cast<const char*>(bytes->data()),
                             static_cast<qsizetype>(bytes->size()))
                     : Bytes("<none>");
    }
    // Gives the strip a session rendered here instead of by an audio device.
    FluidSession* RenderHere() {
        auto session = std::make_unique<FluidSession>();
        FluidSession* raw = session.get();
        session->LoadSoundFont(FluidSession::DefaultSoundFonts());
        Strip().UseSession(std::move(session));
        return raw;
    }
    void PlayStrip() {
        QTest::mouseClick(Strip().findChild<QPushButton*>("playButton"), Qt::LeftButton);
    }
    // Drags a slider's thumb to value and lets go.
    void Release(int id, int value) {
        auto* slider = Control<QSlider>(id);
        slider->setSliderDown(true);
        slider->setValue(value);
        slider->setSliderDown(false);
    }
    // Whether "Hear the original" is enabled and checked in the menu as it opens; clicks it.
    std::pair<bool, bool> ToggleHearTheOriginal() {
        std::pair<bool, bool> shown;
        ChooseFromContextMenu(kHearOriginalEntry, [this, &shown] {
            QAction* item = m_dialog->findChild<QAction*>("hearOriginal");
            shown = {item->isEnabled(), item->isChecked()};
        });
        return shown;
    }

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<Profile> m_profile;
    std::unique_ptr<MainDialog> m_dialog;
    bool m_started = false;
    std::vector<Message> m_messages;
    std::deque<std::optional<std::string>> m_fileAnswers;
    std::vector<std::pair<std::string, std::string>> m_fileRequests;
    std::optional<int> m_exitStatus;
    int m_aboutOpenedWith = -2;

  private slots:
    void init() {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
        UseTestHome(*m_dir);
        m_messages.clear();
        m_fileAnswers.clear();
        m_fileRequests.clear();
        m_exitStatus.reset();
        SetMessageBoxHook(
            [this](const std::string& text, MessageIcon icon, const std::string& details) {
                m_messages.push_back({text, icon, details});
            });
        SetFileDialogHook([this](const std::string& folder, const std::string& name) {
            m_fileRequests.emplace_back(folder, name);
            std::optional<std::string> answer;
            if (!m_fileAnswers.empty()) {
                answer = m_fileAnswers.front();
                m_fileAnswers.pop_front();
            }
            return answer;
        });
        WriteFile("song.mid", kSong);
    }

    void cleanup() {
        m_dialog.reset();
        m_profile.reset();
        SetMessageBoxHook(nullptr);
        SetFileDialogHook(nullptr);
        m_dir.reset();
    }

    void startUpState() {
        MainDialog& dialog = Start();
        QVERIFY(m_started);
        ExpectCaptions(*LanguageTextsFor(1));
        QCOMPARE(Control<QSlider>(kDynamicRangeSlider)->value(), 500);
        QCOMPARE(Control<QSlider>(kVolumeSlider)->value(), 500);
        QCOMPARE(Control<QSlider>(kSpeedSlider)->value(), 250);
        QCOMPARE(Text(kSpeedEdit), QString("100"));
        QVERIFY(!Control<QCheckBox>(kStuckNotes)->isChecked());
        QVERIFY(AdjustmentControlsEnabled(false));
        for (ControlId id :
             {kBrowseInput, kInputPath, kLoad, kOutputPath, kAbout, kPlayer, kInstruction}) {
            QVERIFY2(Control<QWidget>(id)->isEnabled(), qPrintable(QString::number(id)));
        }
        QCOMPARE(Instruction(), QString::fromUtf8(LanguageTextsFor(1)->textWelcome));
        QCOMPARE(Text(kInputPath), QString());
        QCOMPARE(dialog.focusWidget(), Control<QWidget>(kBrowseInput));
        QCOMPARE(dialog.windowTitle(), QString("Korvane"));
        QVERIFY(!Control<QWidget>(kOk)->isVisible());
        QVERIFY(!Control<QWidget>(kCancel)->isVisible());
        QVERIFY(m_messages.empty());
    }

    void layoutFollowsDialogUnits() {
        // At least the desktop font's own units, and every control where the template puts it
        // in the window's units.
        MainDialog& dialog = Start();
        const DialogBaseUnits own = BaseUnitsOf(QApplication::font());
        QVERIFY(dialog.width() >= DialogUnitsToPixelsX(kMainDialogWidth, own));
        QVERIFY(dialog.height() >= DialogUnitsToPixelsY(kMainDialogHeight, own));
        const DialogBaseUnits units{dialog.width() * 4.0 / kMainDialogWidth,
                                    dialog.height() * 8.0 / kMainDialogHeight};
        for (const ControlTemplate& control : kMainDialogTemplate) {
            const QRect expected = DialogUnitsToPixels(
                QRect(control.x, control.y, control.width, control.height), units);
            const QRect actual = m_dialog
                                     ->findChild<QWidget*>(control.id == kNoControlId
                                                               ? QString("logo")
                                                               : QString("c%1").arg(control.id))
                                     ->geometry();
            for (int difference :
                 {actual.left() - expected.left(), actual.top() - expected.top(),
                  actual.right() - expected.right(), actual.bottom() - expected.bottom()}) {
                QVERIFY2(std::abs(difference) <= 1, qPrintable(QString::number(control.id)));
            }
        }
        // Volume: 0 at the top.
        QVERIFY(Control<QSlider>(kVolumeSlider)->invertedAppearance());
    }

    void tabMovesInReadingOrder() {
        MainDialog& dialog = Start();
        LoadTyped(Path("song.mid"));
        QTRY_COMPARE(StripBytes(), kSong); // the strip's buttons take the focus once it holds one
        // The window's own controls (the strip stands for its buttons) as Tab reaches them.
        const auto ownControl = [&dialog](QWidget* widget) {
            while (widget->parentWidget() != &dialog) {
                widget = widget->parentWidget();
            }
            return widget;
        };
        std::vector<QWidget*> order;
        QWidget* widget = Control<QWidget>(kAbout);
        do {
            if ((widget->focusPolicy() & Qt::TabFocus) && widget->isVisibleTo(&dialog) &&
                widget->isEnabled() && (order.empty() || order.back() != ownControl(widget))) {
                order.push_back(ownControl(widget));
            }
            widget = widget->nextInFocusChain();
        } while (widget != Control<QWidget>(kAbout));
        QStringList names;
        for (QWidget* control : order) {
            names << control->objectName();
        }
        QVERIFY2(order.size() == 14, qPrintable(names.join(' ')));
        // Each control is on a lower row than the one before, or further right on the same row.
        for (size_t i = 1; i < order.size(); ++i) {
            const QRect before = order[i - 1]->geometry();
            const QRect here = order[i]->geometry();
            const bool sameRow = here.top() < before.bottom() && before.top() < here.bottom();
            QVERIFY2(sameRow ? here.left() > before.left() : here.top() > before.top(),
                     qPrintable(order[i - 1]->objectName() + " before " + order[i]->objectName()));
        }
        QCOMPARE(order.back(), Control<QWidget>(kPlayer));
    }

    void keysADesktopUserTriesFirst() {
        MainDialog& dialog = Start();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        // Ctrl+S before a load: Save is disabled, and the key says what is missing.
        QTest::keyClick(&dialog, Qt::Key_S, Qt::ControlModifier);
        QVERIFY(!Control<QWidget>(kSave)->isEnabled());
        QCOMPARE(m_messages.size(), size_t{1});
        QCOMPARE(m_messages[0].text, std::string("Please load a MIDI file"));
        m_messages.clear();
        m_fileAnswers.push_back(StdPath("song.mid"));
        QTest::keyClick(&dialog, Qt::Key_O, Qt::ControlModifier);
        QCOMPARE(m_fileRequests.size(), size_t{1});
        QVERIFY(dialog.IsLoaded());
        QTest::keyClick(&dialog, Qt::Key_S, Qt::ControlModifier);
        QCOMPARE(ReadFile("songKRV.mid"), kSong);
        QVERIFY(m_messages.empty());

        AnswerAboutBox(-1);
        QTest::keyClick(&dialog, Qt::Key_F1);
        QCOMPARE(m_aboutOpenedWith, 1);
        dialog.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));

        // Shift+F10 on a slider opens the window's menu; Esc then closes only the menu.
        bool menuOpened = false;
        QTimer::singleShot(0, this, [&menuOpened] {
            auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            menuOpened = menu != nullptr && menu->objectName() == "systemMenu";
            if (menu != nullptr) {
                QTest::keyClick(menu, Qt::Key_Escape);
            }
        });
        Control<QSlider>(kVolumeSlider)->setFocus();
        QTest::keyClick(Control<QSlider>(kVolumeSlider), Qt::Key_F10, Qt::ShiftModifier);
        QVERIFY(menuOpened);
        QVERIFY(dialog.isVisible());
        dialog.activateWindow();
        QTRY_COMPARE(QApplication::activeWindow(), &dialog);

        QTest::keyClick(&dialog, Qt::Key_Q, Qt::ControlModifier);
        QVERIFY(!dialog.isVisible());
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
    }

    // Enter loads from the input field and presses a focused button; elsewhere it never ends the
    // window, Esc does.
    void enterLoadsFromTheInputFieldAndEscEnds() {
        MainDialog& dialog = Start();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        QTest::keyClick(Control<QSlider>(kDynamicRangeSlider), Qt::Key_Enter);
        QVERIFY(dialog.isVisible());
        Control<QLineEdit>(kInputPath)->setText(Path("song.mid"));
        Control<QLineEdit>(kInputPath)->setFocus();
        QTest::keyClick(Control<QLineEdit>(kInputPath), Qt::Key_Return);
        QVERIFY(dialog.IsLoaded());
        QVERIFY(dialog.isVisible());
        Control<QWidget>(kReset)->setFocus();
        Control<QSlider>(kVolumeSlider)->setValue(100);
        QTest::keyClick(Control<QWidget>(kReset), Qt::Key_Return);
        QCOMPARE(Control<QSlider>(kVolumeSlider)->value(), 500);
        QVERIFY(dialog.isVisible());
        QVERIFY(m_messages.empty());
        QTest::keyClick(Control<QLineEdit>(kInputPath), Qt::Key_Escape);
        QVERIFY(!dialog.isVisible());
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
    }

    void loadAndSave() {
        MainDialog& dialog = Start();
        LoadTyped(Path("song.mid"));
        QVERIFY(m_messages.empty());
        QCOMPARE(Text(kOutputPath), Path("songKRV.mid"));
        QCOMPARE(Instruction(), QString::fromUtf8(LanguageTextsFor(1)->textLoaded));
        QVERIFY(AdjustmentControlsEnabled(true));
        QCOMPARE(dialog.PlottedLevels(), (std::vector<uint8_t>{0x40, 0x40}));
        QVERIFY(!QFile::exists(Path("songKRV.mid")));
        QTRY_COMPARE(Control<PlayerStrip>(kPlayer)->FileName(), StdPath("song.mid"));
        QCOMPARE(StripBytes(), kSong);

        Click(kSave);
        QVERIFY(m_messages.empty());
        QCOMPARE(ReadFile("songKRV.mid"), kSong);
        QCOMPARE(Instruction(), QString::fromUtf8(LanguageTextsFor(1)->textSaved));
        QCOMPARE(Control<PlayerStrip>(kPlayer)->FileName(), StdPath("songKRV.mid"));
        QCOMPARE(ReadFile("song.mid"), kSong);
    }

    // Thousands of empty tracks, then a track larger than the input window: the window keeps a
    // level for every note and saves the bytes the command line writes, which keeps none.
    void tinyChunksAndALargeTrackSaveAsOnTheCommandLine() {
        const Bytes note = QByteArray::fromHex("00 903c40 10 803c20");
        const int notes = (9 << 20) / note.size();
        const Bytes end = QByteArray::fromHex("00ff2f00");
        const Bytes trackLength = QByteArray::fromHex("00900004"); // notes * 8 + 4 bytes
        QCOMPARE(notes * note.size() + end.size(), 0x00900004);
        Bytes input = kSong.left(14);
        Bytes expected = input;
        for (int i = 0; i < 3000; ++i) {
            input += QByteArray::fromHex("4d54726b 00000000");
            expected += QByteArray::fromHex("4d54726b 00000004") + end;
        }
        const Bytes track = "MTrk" + trackLength + note.repeated(notes) + end;
        input += track;
        expected += track;
        expected[10] = char(3001 >> 8); // the header counts the tracks written
        expected[11] = char(3001 & 0xFF);
        WriteFile("many.mid", input);

        MainDialog& dialog = Start();
        LoadTyped(Path("many.mid"));
        QVERIFY(m_messages.empty());
        QCOMPARE(dialog.PlottedLevels().size(), size_t(2 * notes));
        Click(kSave);
        QVERIFY(m_messages.empty());
        QCOMPARE(ReadFile("manyKRV.mid"), expected);

        QVERIFY(QFile::remove(Path("manyKRV.mid")));
        QProcess korvane;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.remove("DISPLAY");
        environment.remove("WAYLAND_DISPLAY");
        environment.insert("XDG_CONFIG_HOME", Path("config"));
        korvane.setProcessEnvironment(environment);
        korvane.start(KORVANE_EXE, {"-f", Path("many.mid")});
        QVERIFY(korvane.waitForFinished(60000));
        QCOMPARE(korvane.exitCode(), 0);
        QCOMPARE(ReadFile("manyKRV.mid"), expected);
    }

    void levelSlidersRedrawThePlot() {
        MainDialog& dialog = Start();
        LoadTyped(Path("song.mid"));
        const QImage atDefaults = Control<LevelView>(kLevelView)->Picture();
        Control<QSlider>(kVolumeSlider)->setValue(0);
        QCOMPARE(dialog.TakenAdjustments().m_volume, 0);
        QVERIFY(Control<LevelView>(kLevelView)->Picture() != atDefaults);
        Click(kReset);
        QCOMPARE(Control<LevelView>(kLevelView)->Picture(), atDefaults);
    }

    void speedSliderSetsTheFieldAtBothEnds() {
        Start();
        LoadTyped(Path("song.mid"));
        auto* slider = Control<QSlider>(kSpeedSlider);
        slider->setValue(1000);
        QCOMPARE(Text(kSpeedEdit), QString("400"));
        slider->setValue(3);
        QCOMPARE(Text(kSpeedEdit), QString("1"));
        slider->setValue(0);
        QCOMPARE(Text(kSpeedEdit), QString("0"));
        slider->setValue(1000);
        Click(kSave);
        QCOMPARE(ReadFile("songKRV.mid"), SongAtSpeedDelta("0f"));
    }

    void typedSpeedReachesTheEngine() {
        MainDialog& dialog = Start();
        LoadTyped(Path("song.mid"));
        Control<QLineEdit>(kSpeedEdit)->setText("150");
        // Repaints and focus changes of the slider leave a typed value alone.
        Control<QSlider>(kSpeedSlider)->setFocus();
        Control<QSlider>(kSpeedSlider)->repaint();
        QCOMPARE(Text(kSpeedEdit), QString("150"));
        Click(kSave);
        QVERIFY(m_messages.empty());
        QCOMPARE(dialog.TakenAdjustments().m_speedPercent, 150);
        QCOMPARE(ReadFile("songKRV.mid"), SongAtSpeedDelta("28"));
    }

    // The speed texts every host answers alike (tests/data/speed-texts.json): a committed field
    // takes a good one, and the exchange refuses the others with the prompt.
    void speedTextsAnswerAsEveryHost() {
        MainDialog& dialog = Start();
        LoadTyped(Path("song.mid")); // Save takes the field only once a file is loaded
        QFile file(KORVANE_SPEED_TEXTS);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QJsonArray rows = QJsonDocument::fromJson(file.readAll()).array();
        QVERIFY(!rows.isEmpty());
        auto* edit = Control<QLineEdit>(kSpeedEdit);
        for (const QJsonValue row : rows) {
            const QString text = row[0].toString();
            const int taken = dialog.TakenAdjustments().m_speedPercent;
            m_messages.clear();
            edit->setText(text);
            Q_EMIT edit->editingFinished();
            if (row[1].isNull()) {
                Click(kSave);
                QVERIFY2(!QFile::exists(Path("songKRV.mid")), qPrintable(text));
                QCOMPARE(m_messages.size(), size_t{1});
                QCOMPARE(dialog.TakenAdjustments().m_speedPercent, taken);
            } else {
                QVERIFY2(m_messages.empty(), qPrintable(text));
                QCOMPARE(dialog.TakenAdjustments().m_speedPercent, row[1].toInt());
            }
        }
    }

    void refusedSpeedPromptsOnceAndSavesNothing_data() {
        QTest::addColumn<QString>("typed");
        QTest::newRow("negative") << "-5";
        QTest::newRow("not a number") << "fast";
        QTest::newRow("empty") << "";
        QTest::newRow("too large") << "100001";
        QTest::newRow("trailing text") << "12x";
    }

    void refusedSpeedPromptsOnceAndSavesNothing() {
        QFETCH(QString, typed);
        MainDialog& dialog = Start();
        LoadTyped(Path("song.mid"));
        Control<QLineEdit>(kSpeedEdit)->setText(typed);
        Control<QSlider>(kDynamicRangeSlider)
            ->setValue(700); // redraws take only the slider positions
        QVERIFY(m_messages.empty());
        Click(kSave);
        QCOMPARE(m_messages.size(), size_t{1});
        QCOMPARE(m_messages[0].text, std::string("Please enter an integer between 0 and 100000."));
        QCOMPARE(m_messages[0].icon, MessageIcon::Exclamation);
        QVERIFY(!QFile::exists(Path("songKRV.mid")));
        QCOMPARE(dialog.TakenAdjustments().m_speedPercent, 100);
        QCOMPARE(Instruction(), QString::fromUtf8(LanguageTextsFor(1)->textLoaded));
    }

    void saveBeforeAnyLoadAsksForALoad() {
        MainDialog& dialog = Start();
        Control<QLineEdit>(kOutputPath)->setText(Path("out.mid"));
        // Save is disabled until a load; forced on, it still refuses.
        Control<QWidget>(kSave)->setEnabled(true);
        Click(kSave);
        QCOMPARE(m_messages.size(), size_t{1});
        QCOMPARE(m_messages[0].text, std::string("Please load a MIDI file"));
        QCOMPARE(m_messages[0].icon, MessageIcon::Information);
        QVERIFY(!QFile::exists(Path("out.mid")));
        QVERIFY(!dialog.IsLoaded());
        QCOMPARE(Instruction(), QString::fromUtf8(LanguageTextsFor(1)->textWelcome));
    }

    // A failed load says so and leaves the file loaded before in place: its path, output name,
    // plot, player and Save; Save converts that file.
    void failedLoadAfterAGoodOne() {
        MainDialog& dialog = Start();
        LoadTyped(Path("song.mid"));
        QTRY_COMPARE(StripBytes(), kSong);
        const QImage plot = Control<LevelView>(kLevelView)->Picture();
        Control<QSlider>(kVolumeSlider)->setValue(300);
        LoadTyped(Path("missing.mid"));
        QCOMPARE(m_messages.size(), size_t{1});
        QCOMPARE(m_messages[0].text, std::string("The input MIDI file can not be opened."));
        QCOMPARE(m_messages[0].icon, MessageIcon::Stop);
        QVERIFY(AdjustmentControlsEnabled(true));
        QCOMPARE(Instruction(), QString::fromUtf8(LanguageTextsFor(1)->textLoaded));
        QCOMPARE(Text(kInputPath), Path("song.mid"));
        QCOMPARE(Text(kOutputPath), Path("songKRV.mid"));
        QCOMPARE(dialog.PlottedLevels(), (std::vector<uint8_t>{0x40, 0x40}));
        QVERIFY(Control<LevelView>(kLevelView)->Picture() != plot); // at the volume kept
        QCOMPARE(Control<QSlider>(kVolumeSlider)->value(), 300);
        QCOMPARE(StripStatus(), QString("Preview song.mid"));
        QTest::keyClick(m_dialog.get(), Qt::Key_S, Qt::ControlModifier);
        QCOMPARE(m_messages.size(), size_t{1});
        QVERIFY(QFile::exists(Path("songKRV.mid")));
    }

    void languageChangeKeepsTheSavedText() {
        Start();
        LoadTyped(Path("song.mid"));
        Click(kSave);
        AnswerAboutBox(2);
        Click(kAbout);
        QCOMPARE(Instruction(), QString::fromUtf8(LanguageTextsFor(2)->textSaved));
    }

    // The slider follows a typed value within its range; a value Save would refuse is marked at
    // once, without a box, and unmarked when corrected.
    void speedSliderFollowsTheTypedValue() {
        Start();
        LoadTyped(Path("song.mid"));
        auto* edit = Control<QLineEdit>(kSpeedEdit);
        const QColor base = edit->palette().color(QPalette::Base);
        const struct {
            const char* typed;
            int position;
            bool marked;
        } cases[] = {{"200", 500, false}, {"201", 503, false}, {"1000", 1000, false},
                     {"abc", 1000, true}, {"", 1000, true},    {"0", 0, false}};
        for (const auto& typed : cases) {
            edit->selectAll();
            QTest::keyClick(edit, Qt::Key_Delete);
            QTest::keyClicks(edit, typed.typed);
            QTest::keyClick(edit, Qt::Key_Return);
            QCOMPARE(Text(kSpeedEdit), QString(typed.typed));
            QCOMPARE(Control<QSlider>(kSpeedSlider)->value(), typed.position);
            QCOMPARE(edit->palette().color(QPalette::Base) != base, typed.marked);
            QCOMPARE(edit->toolTip(),
                     typed.marked ? QString("Please enter an integer between 0 and 100000.") : "");
        }
        QVERIFY(m_messages.empty());
    }

    void resetRestoresTheDefaults() {
        MainDialog& dialog = Start();
        LoadTyped(Path("song.mid"));
        Control<QSlider>(kDynamicRangeSlider)->setValue(10);
        Control<QSlider>(kVolumeSlider)->setValue(990);
        Control<QSlider>(kSpeedSlider)->setValue(800);
        Control<QCheckBox>(kStuckNotes)->setChecked(true);
        Click(kReset);
        QCOMPARE(Control<QSlider>(kDynamicRangeSlider)->value(), 500);
        QCOMPARE(Control<QSlider>(kVolumeSlider)->value(), 500);
        QCOMPARE(Control<QSlider>(kSpeedSlider)->value(), 250);
        QCOMPARE(Text(kSpeedEdit), QString("100"));
        QVERIFY(!Control<QCheckBox>(kStuckNotes)->isChecked());
        QCOMPARE(dialog.TakenAdjustments().m_dynamicRange, 500);
        QCOMPARE(dialog.TakenAdjustments().m_volume, 500);
    }

    void germanToFrenchAndBackRestoresEveryText() {
        Profile().WriteProfileInt(kKeyLanguage, 0);
        Start();
        ExpectCaptions(*LanguageTextsFor(0));
        QCOMPARE(Instruction(), QString::fromUtf8(LanguageTextsFor(0)->textWelcome));
        const std::vector<QString> german = Captions();
        Control<QWidget>(kSave)->setEnabled(true);
        Click(kSave); // before any load
        QCOMPARE(m_messages.back().text, std::string("Laden Sie bitte eine MIDI Akte"));

        AnswerAboutBox(3);
        Click(kAbout);
        QCOMPARE(m_aboutOpenedWith, 0);
        ExpectCaptions(*LanguageTextsFor(3));
        QCOMPARE(CaptionOf(Control<QWidget>(kSave)), QString::fromUtf8("Économiser "));
        QCOMPARE(Instruction(), QString::fromUtf8(LanguageTextsFor(3)->textWelcome));
        LoadTyped(Path("missing.mid"));
        QCOMPARE(m_messages.back().text,
                 std::string("Le dossier du MIDI d'entrée ne peut pas être ouvert."));
        QCOMPARE(m_messages.back().details, std::string("No such file or directory"));

        AnswerAboutBox(0);
        Click(kAbout);
        QCOMPARE(m_aboutOpenedWith, 3);
        QCOMPARE(Captions(), german);
        QCOMPARE(Instruction(), QString::fromUtf8(LanguageTextsFor(0)->textWelcome));
        LoadTyped(Path("missing.mid"));
        QCOMPARE(m_messages.back().text, std::string(LanguageTextsFor(0)->msgInputNotOpened));
        QCOMPARE(Profile().GetProfileInt(kKeyLanguage, -1), 0);
    }

    void languageOutsideTheTablesKeepsTemplateTexts() {
        Profile().WriteProfileInt(kKeyLanguage, 7);
        Start();
        for (size_t i = 0; i < kCaptionControlIds.size(); ++i) {
            QCOMPARE(CaptionOf(Control<QWidget>(kCaptionControlIds[i])),
                     QString(kTemplateCaptions[i]));
        }
        QCOMPARE(Instruction(), QString());
        LoadTyped(Path("missing.mid"));
        QCOMPARE(m_messages.size(), size_t{1});
        QCOMPARE(m_messages[0].text, std::string());
        QCOMPARE(m_messages[0].icon, MessageIcon::Stop);
        // The data-exchange prompt still speaks: it is the framework's, not the program's.
        LoadTyped(Path("song.mid"));
        Control<QLineEdit>(kSpeedEdit)->setText("x");
        Click(kSave);
        QCOMPARE(m_messages.back().text,
                 std::string("Please enter an integer between 0 and 100000."));
    }

    void profileIsWrittenOnlyByAChoiceAndReadAtTheNextStart() {
        Start();
        const QString profileFile = Path("config/Korvane.ini");
        Click(kBrowseInput); // cancelled
        QCOMPARE(m_fileRequests.size(), size_t{1});
        QCOMPARE(m_fileRequests[0].first, ExamplesFolder(StdPath("program")));
        QCOMPARE(m_fileRequests[0].second, std::string());
        QVERIFY(!QFile::exists(profileFile));
        QVERIFY(!m_dialog->IsLoaded());

        m_fileAnswers.push_back(StdPath("song.mid"));
        Click(kBrowseInput);
        QVERIFY(m_dialog->IsLoaded());
        QCOMPARE(Text(kInputPath), Path("song.mid"));
        QCOMPARE(Profile().GetProfileString(kKeyInputFolder, ""), Folder().toStdString());
        QCOMPARE(Profile().GetProfileString(kKeyInputName, ""), std::string("song.mid"));

        Click(kBrowseInput); // the next dialog starts where the last pick was
        QCOMPARE(m_fileRequests.back(),
                 std::make_pair(Folder().toStdString(), std::string("song.mid")));

        m_dialog.reset();
        Start();
        QCOMPARE(Text(kInputPath), Folder());
    }

    void outputBrowseProposesTheOutputAndRunsNoPass() {
        Start();
        LoadTyped(Path("song.mid"));
        const std::string longName = std::string(300, 'n') + ".mid";
        m_fileAnswers.push_back(StdPath("chosen/") + longName);
        Click(kBrowseOutput);
        QCOMPARE(m_fileRequests.back(),
                 std::make_pair(ExamplesFolder(StdPath("program")), StdPath("songKRV.mid")));
        QCOMPARE(Text(kOutputPath), Path("chosen/") + QString::fromStdString(longName));
        QCOMPARE(Profile().GetProfileString(kKeyOutputFolder, ""), StdPath("chosen/"));
        QCOMPARE(Profile().GetProfileString(kKeyOutputName, ""), longName);
        QVERIFY(!QFile::exists(Path("songKRV.mid")));
        QCOMPARE(Instruction(), QString::fromUtf8(LanguageTextsFor(1)->textLoaded));
    }

    void aboutBoxEscChangesNothing() {
        Start();
        LoadTyped(Path("song.mid"));
        AnswerAboutBox(-1);
        Click(kAbout);
        QCOMPARE(m_aboutOpenedWith, 1);
        ExpectCaptions(*LanguageTextsFor(1));
        QCOMPARE(Instruction(), QString::fromUtf8(LanguageTextsFor(1)->textLoaded));
        QVERIFY(!QFile::exists(Path("config/Korvane.ini")));
    }

    void aboutBoxByTheContextMenu() {
        Start();
        LoadTyped(Path("song.mid"));
        auto* menu = m_dialog->findChild<QMenu*>("systemMenu");
        QCOMPARE(menu->actions().size(), kMenuEntries);
        QCOMPARE(menu->actions()[kHearOriginalEntry]->text(), QString("Hear the original"));
        QCOMPARE(menu->actions()[kAboutEntry]->text(), QString("&About Korvane..."));
        ChooseLanguageByContextMenu(2);
        QCOMPARE(m_aboutOpenedWith, 1);
        ExpectCaptions(*LanguageTextsFor(2));
        // The text of what the window holds, not the welcome.
        QCOMPARE(Instruction(), QString::fromUtf8(LanguageTextsFor(2)->textLoaded));
        QCOMPARE(Profile().GetProfileInt(kKeyLanguage, -1), 2);
    }

    // The About box's title and picture, its menu entry, the logo's tagline and Qt's own buttons
    // follow the language.
    void aboutBoxMenuEntryAndQtsButtonsSpeakTheLanguage() {
        Start();
        const struct {
            int language;
            const char* title;
            const char* entry;
        } said[] = {{0, "Über Korvane", "Ü&ber Korvane..."},
                    {1, "About Korvane", "&About Korvane..."},
                    {2, "Acerca de Korvane", "&Acerca de Korvane..."},
                    {3, "À propos de Korvane", "À &propos de Korvane..."}};
        const auto logo = [this] {
            return m_dialog->findChild<QLabel*>("logo")->pixmap().toImage();
        };
        const QImage englishLogo = logo();
        for (const auto& [language, title, entry] : said) {
            m_dialog->SetLanguage(language);
            QCOMPARE(m_dialog->findChild<QMenu*>("systemMenu")->actions()[kAboutEntry]->text(),
                     QString::fromUtf8(entry));
            QCOMPARE(logo() == englishLogo, language == 1); // its tagline in the language
            // A screen reader hears the picture's title, its callouts and the list's name.
            QStringList heard;
            QTimer::singleShot(0, this, [&heard] {
                QWidget* about = QApplication::activeModalWidget();
                const auto read = [](QWidget* widget, QAccessible::Text text) {
                    return QAccessible::queryAccessibleInterface(widget)->text(text);
                };
                heard << about->windowTitle()
                      << read(about->findChild<QLabel*>(), QAccessible::Name)
                      << read(about->findChild<QLabel*>(), QAccessible::Description)
                      << QAccessible::queryAccessibleInterface(about->findChild<QComboBox*>())
                             ->relations(QAccessible::Label)
                             .value(0)
                             .first->text(QAccessible::Name);
                QTest::keyClick(about, Qt::Key_Escape);
            });
            Click(kAbout);
            const AboutTexts& words = *AboutTextsFor(language);
            QStringList callouts;
            for (const char* callout : words.callouts) {
                callouts << QString::fromUtf8(callout);
            }
            QCOMPARE(heard,
                     (QStringList{QString::fromUtf8(title), QString::fromUtf8(words.glance),
                                  callouts.join(", "), QString::fromUtf8(words.languageList)}));
            const QImage picture =
                DrawAboutPicture(*m_dialog, 1, 1, *AboutTextsFor(language)).toImage();
            QCOMPARE(picture == DrawAboutPicture(*m_dialog).toImage(), language == 1);
            QMessageBox box;
            box.setDetailedText("details");
            QString details;
            for (QPushButton* button : box.findChildren<QPushButton*>()) {
                details = button != box.button(QMessageBox::Ok) ? button->text() : details;
            }
            QCOMPARE(details == "Show Details...", language == 1);
            QCOMPARE(details, QCoreApplication::translate("QMessageBox", "Show Details..."));
        }
    }

    void contextMenuSeparatesTheWindowCommandsFromAbout_data() {
        QTest::addColumn<int>("language");
        QTest::addColumn<QString>("minimize");
        QTest::addColumn<QString>("close");
        QTest::newRow("German") << 0 << "Mi&nimieren"
                                << "&Schließen";
        QTest::newRow("English") << 1 << "Mi&nimize"
                                 << "&Close";
        QTest::newRow("Spanish") << 2 << "Mi&nimizar"
                                 << "&Cerrar";
        QTest::newRow("French") << 3 << "Réd&uire"
                                << "&Fermer";
    }

    void contextMenuSeparatesTheWindowCommandsFromAbout() {
        QFETCH(int, language);
        QFETCH(QString, minimize);
        QFETCH(QString, close);
        Profile().WriteProfileInt(kKeyLanguage, language);
        Start();
        auto* menu = m_dialog->findChild<QMenu*>("systemMenu");
        const QList<QAction*> entries = menu->actions();
        QCOMPARE(entries.size(), kMenuEntries);
        QCOMPARE(entries[kMinimizeEntry]->text(), minimize);
        QCOMPARE(entries[kCloseEntry]->text(), close);
        QVERIFY(entries[kSeparatorEntry]->isSeparator());
        // The separator takes room between the entries it separates.
        menu->ensurePolished();
        menu->adjustSize();
        const QRect line = menu->actionGeometry(entries[kSeparatorEntry]);
        QVERIFY(line.height() > 0);
        QVERIFY(menu->actionGeometry(entries[kHearOriginalEntry]).bottom() < line.top());
        QVERIFY(line.bottom() < menu->actionGeometry(entries[kAboutEntry]).top());
    }

    void contextMenuMinimizesAndCloses() {
        MainDialog& dialog = Start();
        ChooseFromContextMenu(kMinimizeEntry);
        QTRY_VERIFY(dialog.windowState() & Qt::WindowMinimized);
        QVERIFY(dialog.isVisible());
        dialog.showNormal();
        ChooseFromContextMenu(kCloseEntry);
        QTRY_VERIFY(!dialog.isVisible());
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
    }

    void batchRunMessageIsCentredOnTheScreen() {
        SetMessageBoxHook(nullptr);
        QRect shownAt;
        QTimer watch;
        connect(&watch, &QTimer::timeout, this, [&shownAt, &watch] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                shownAt = box->frameGeometry();
                watch.stop();
                box->accept();
            }
        });
        watch.start(0);
        Start({"korvane", "-f", StdPath("missing.mid")});
        QVERIFY(!m_started);
        QCOMPARE(m_exitStatus, std::optional<int>(1));
        QVERIFY(shownAt.isValid());
        const QPoint offset =
            shownAt.center() - QGuiApplication::primaryScreen()->availableGeometry().center();
        QVERIFY2(offset.manhattanLength() <= 2,
                 qPrintable(QString("box centre off by %1,%2").arg(offset.x()).arg(offset.y())));
    }

    // A reason is read under the message; a list of files waits behind "Show Details...". Enter
    // closes the box either way.
    void reasonUnderTheMessageAndEnterCloses() {
        SetMessageBoxHook(nullptr);
        const struct {
            const char* details;
            const char* informative;
            const char* detailed;
        } boxes[] = {
            {"No space left on device", "No space left on device", ""},
            {"<b>a</b>.mid: not MIDI", "<b>a</b>.mid: not MIDI", ""},
            {"a.mid: not MIDI\nb.mid: not MIDI\n", "", "a.mid: not MIDI\nb.mid: not MIDI"}};
        for (const auto& expected : boxes) {
            QString informative = "<none>";
            QString detailed = "<none>";
            bool closedByEnter = false;
            QTimer watch;
            connect(&watch, &QTimer::timeout, this, [&] {
                if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                    watch.stop();
                    // As shown: markup in a path is read as text.
                    informative = box->informativeText();
                    if (Qt::mightBeRichText(informative)) {
                        informative = QTextDocumentFragment::fromHtml(informative).toPlainText();
                    }
                    detailed = box->detailedText();
                    QTest::keyClick(box, Qt::Key_Return);
                    closedByEnter = !box->isVisible();
                    box->close();
                }
            });
            watch.start(0);
            ShowMessageBox("The output MIDI file can not be written.", MessageIcon::Stop, nullptr,
                           expected.details);
            QCOMPARE(informative, QString(expected.informative));
            QCOMPARE(detailed, QString(expected.detailed));
            QVERIFY(closedByEnter);
        }
    }

    void batchRunInsideInitialisation_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("output");
        QTest::newRow("-f") << QStringList{"-f", "song.mid"} << 0 << ""
                            << "songKRV.mid";
        QTest::newRow("-v takes -f, -f takes the path")
            << QStringList{"-v", "-f", "song.mid"} << 0 << ""
            << "songKRV.mid";
        QTest::newRow("missing input")
            << QStringList{"-file", "missing.mid"} << 1 << "The input MIDI file can not be opened."
            << "";
        QTest::newRow("-v alone") << QStringList{"-verbose", "1"} << 1
                                  << "The output MIDI file can not be created."
                                  << "";
    }

    void batchRunInsideInitialisation() {
        QFETCH(QStringList, arguments);
        QFETCH(int, status);
        QFETCH(QString, message);
        QFETCH(QString, output);
        std::vector<std::string> args = {"korvane"};
        for (const QString& argument : arguments) {
            args.push_back(argument.endsWith(".mid") ? StdPath(argument) : argument.toStdString());
        }
        Start(args);
        QVERIFY(!m_started);
        QVERIFY(!m_dialog->isVisible());
        QCOMPARE(m_exitStatus, std::optional<int>(status));
        if (message.isEmpty()) {
            QVERIFY(m_messages.empty());
        } else {
            QCOMPARE(m_messages.size(), size_t{1});
            QCOMPARE(QString::fromStdString(m_messages[0].text), message);
            QCOMPARE(m_messages[0].icon, MessageIcon::Stop);
        }
        if (!output.isEmpty()) {
            QCOMPARE(ReadFile(output), kSong);
        }
    }

    void batchRunAsAProcessNeverShowsTheWindow_data() {
        QTest::addColumn<QString>("platform");
        QTest::addColumn<bool>("converted");
        QTest::newRow("offscreen") << "offscreen" << true;
        // Proof that the run went the window's way: without a usable Qt platform it cannot.
        QTest::newRow("no such platform") << "korvane-no-such-platform" << false;
    }

    void batchRunAsAProcessNeverShowsTheWindow() {
        QFETCH(QString, platform);
        QFETCH(bool, converted);
        QProcess korvane;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("QT_QPA_PLATFORM", platform);
        environment.insert("DISPLAY", ":korvane-test");
        environment.insert("XDG_CONFIG_HOME", Path("config"));
        environment.insert("XDG_CACHE_HOME", Path("cache"));
        korvane.setProcessEnvironment(environment);
        korvane.start(KORVANE_EXE, {"-f", Path("song.mid")});
        QVERIFY(korvane.waitForFinished(60000));
        if (converted) {
            QCOMPARE(korvane.exitStatus(), QProcess::NormalExit);
            QCOMPARE(korvane.exitCode(), 0);
            QCOMPARE(ReadFile("songKRV.mid"), kSong);
        } else {
            QVERIFY(korvane.exitStatus() != QProcess::NormalExit || korvane.exitCode() != 0);
            QVERIFY(!QFile::exists(Path("songKRV.mid")));
        }
    }

    void pathOnTheCommandLineIsTakenAsIfChosen() {
        CapturedStandardError standardError;
        Start({"korvane", StdPath("song.mid"), StdPath("other.mid")});
        QVERIFY(m_started);
        QTRY_VERIFY(m_dialog->IsLoaded());
        QCOMPARE(Text(kInputPath), Path("song.mid"));
        QCOMPARE(Profile().GetProfileString(kKeyInputName, ""), std::string("song.mid"));
        QVERIFY(m_messages.empty());
        QCOMPARE(standardError.Text(),
                 std::string("korvane: the window opens the first file only; 1 other file "
                             "ignored\n"));
    }

    void oneFileOnTheCommandLineSaysNothing() {
        CapturedStandardError standardError;
        Start({"korvane", StdPath("song.mid")});
        QTRY_VERIFY(m_dialog->IsLoaded());
        QCOMPARE(standardError.Text(), std::string());
    }

    void rmiFileLoadsItsMidiDataAndSavesAsMid() {
        WriteFile("song.rmi", kRmidSong);
        CapturedStandardError standardError;
        Start({"korvane", StdPath("song.rmi"), StdPath("song.mid"), StdPath("x.mid")});
        QTRY_VERIFY(m_dialog->IsLoaded());
        QVERIFY(m_messages.empty());
        QCOMPARE(Text(1001), Path("song.rmi"));
        QCOMPARE(Text(1007), Path("songKRV.mid"));
        QCOMPARE(m_dialog->PlottedLevels(), (std::vector<uint8_t>{0x40, 0x40}));
        QVERIFY(standardError.Text().find("; 2 other files ignored\n") != std::string::npos);
        Click(1002);
        QVERIFY(m_messages.empty());
        QCOMPARE(ReadFile("songKRV.mid"), kSong);
        QCOMPARE(ReadFile("song.rmi"), kRmidSong);
        QCOMPARE(Control<PlayerStrip>(1010)->FileName(), StdPath("songKRV.mid"));
    }

    void riffFileWithoutMidiDataIsNoMidiFile() {
        WriteFile("sound.rmi", QByteArray::fromHex("52494646 0c000000 57415645 64617461 00000000"));
        Start();
        LoadTyped(Path("sound.rmi"));
        QCOMPARE(m_messages.size(), size_t{1});
        QCOMPARE(m_messages[0].text, std::string(LanguageTextsFor(1)->msgNotMidi));
        QVERIFY(!m_dialog->IsLoaded());
    }

    void fileDialogsListMidiFilesThenAllFiles_data() {
        QTest::addColumn<int>("language");
        QTest::addColumn<QStringList>("filters");
        const QString patterns = " (*.mid *.midi *.kar *.smf *.rmi)";
        QTest::newRow("German") << 0 << QStringList{"MIDI-Dateien" + patterns, "Alle Dateien (*)"};
        QTest::newRow("English") << 1 << QStringList{"MIDI files" + patterns, "All files (*)"};
        QTest::newRow("Spanish") << 2
                                 << QStringList{"Archivos MIDI" + patterns,
                                                "Todos los archivos (*)"};
        QTest::newRow("French") << 3
                                << QStringList{"Fichiers MIDI" + patterns, "Tous les fichiers (*)"};
    }

    void fileDialogsListMidiFilesThenAllFiles() {
        QFETCH(int, language);
        QFETCH(QStringList, filters);
        Profile().WriteProfileInt(kKeyLanguage, language);
        Start();
        LoadTyped(Path("song.mid"));
        SetFileDialogHook(nullptr);
        struct Seen {
            QStringList filters;
            QString selected;
            QFileDialog::AcceptMode mode = QFileDialog::AcceptOpen;
            QString title;
        };
        Seen seen;
        QTimer poll;
        connect(&poll, &QTimer::timeout, this, [&seen] {
            if (auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget())) {
                seen = {dialog->nameFilters(), dialog->selectedNameFilter(), dialog->acceptMode(),
                        dialog->windowTitle()};
                dialog->reject();
            }
        });
        poll.start(10);
        const ControlTexts& texts = *ControlTextsFor(language);
        Click(kBrowseInput);
        QCOMPARE(seen.filters, filters);
        QCOMPARE(seen.selected, filters[0]);
        QCOMPARE(seen.mode, QFileDialog::AcceptOpen);
        QCOMPARE(seen.title, QString::fromUtf8(texts.browseInputDescription));
        seen = {};
        // The output is a new file: a save dialog, which asks before it replaces one.
        Click(kBrowseOutput);
        QCOMPARE(seen.filters, filters);
        QCOMPARE(seen.mode, QFileDialog::AcceptSave);
        QCOMPARE(seen.title, QString::fromUtf8(texts.browseOutputDescription));
    }

    void dropTakesEveryMidiFileName_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("taken");
        for (const char* name : {"a.mid", "b.MIDI", "c.kar", "d.Smf", "e.rmi"}) {
            QTest::newRow(name) << QString(name) << true;
        }
        for (const char* name : {"f.txt", "g.mid.bak", "midi"}) {
            QTest::newRow(name) << QString(name) << false;
        }
    }

    void dropTakesEveryMidiFileName() {
        QFETCH(QString, name);
        QFETCH(bool, taken);
        WriteFile(name, kSong);
        MainDialog& dialog = Start();
        QMimeData mime;
        mime.setUrls({QUrl::fromLocalFile(Path(name))});
        QDragEnterEvent enter(QPoint(300, 300), Qt::CopyAction, &mime, Qt::LeftButton,
                              Qt::NoModifier);
        QApplication::sendEvent(&dialog, &enter);
        QCOMPARE(enter.isAccepted(), taken);
        if (taken) {
            QDropEvent drop(QPoint(300, 300), Qt::CopyAction, &mime, Qt::LeftButton,
                            Qt::NoModifier);
            QApplication::sendEvent(&dialog, &drop);
            QTRY_VERIFY(dialog.IsLoaded());
            QCOMPARE(Text(kInputPath), Path(name));
        }
    }

    void droppedRmiFileIsTakenAsIfChosen() {
        WriteFile("SONG.RMI", kRmidSong);
        MainDialog& dialog = Start();
        QMimeData mime;
        mime.setUrls({QUrl::fromLocalFile(Path("SONG.RMI"))});
        const QPoint where(300, 300);
        QDragEnterEvent enter(where, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&dialog, &enter);
        QVERIFY(enter.isAccepted());
        QDropEvent drop(where, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&dialog, &drop);
        QTRY_VERIFY(dialog.IsLoaded());
        QVERIFY(m_messages.empty());
        QCOMPARE(Text(1001), Path("SONG.RMI"));
        QCOMPARE(Text(1007), Path("SONGKRV.mid"));
    }

    void droppedMidiFileIsTakenAsIfChosen() {
        MainDialog& dialog = Start();
        QMimeData mime;
        mime.setUrls(
            {QUrl::fromLocalFile(Path("notes.txt")), QUrl::fromLocalFile(Path("song.mid"))});
        const QPoint where(300, 300);
        QDragEnterEvent enter(where, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&dialog, &enter);
        QVERIFY(enter.isAccepted());
        QDropEvent drop(where, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&dialog, &drop);
        QTRY_VERIFY(dialog.IsLoaded());
        QCOMPARE(Text(kInputPath), Path("song.mid"));
        QCOMPARE(Profile().GetProfileString(kKeyInputFolder, ""), Folder().toStdString());
    }

    void hostilePathsGetTheCommandLinesAnswers() {
        const QString fifo = Path("pipe.mid");
        QCOMPARE(::mkfifo(fifo.toUtf8().constData(), 0600), 0);
        QCOMPARE(::symlink("loop.mid", StdPath("other.mid").c_str()), 0);
        QCOMPARE(::symlink("other.mid", StdPath("loop.mid").c_str()), 0);
        // A FIFO named on the command line neither hangs the start nor the first load.
        Start({"korvane", fifo.toStdString()});
        QVERIFY(m_started);
        QTRY_COMPARE(m_messages.size(), size_t{1});
        QCOMPARE(m_messages[0].text, std::string("The input MIDI file can not be opened."));
        LoadTyped(Path("song.mid"));
        QCOMPARE(m_messages.size(), size_t{1});
        for (const QString& output : {fifo, Path("loop.mid")}) {
            Control<QLineEdit>(kOutputPath)->setText(output);
            Click(kSave);
            QCOMPARE(m_messages.back().text,
                     std::string("The output MIDI file can not be created."));
            QCOMPARE(m_messages.back().icon, MessageIcon::Stop);
        }
        QCOMPARE(m_messages.size(), size_t{3});
        QCOMPARE(QFileInfo(fifo).isFile(), false);
        QVERIFY(QFileInfo(Path("loop.mid")).isSymLink());
    }

    void failedSaveShowsItsMessageWithNoTemporaryBeside_data() {
        QTest::addColumn<bool>("named");
        QTest::newRow("unnamed temporary") << false;
        QTest::newRow("named temporary") << true;
    }

    void failedSaveShowsItsMessageWithNoTemporaryBeside() {
        QFETCH(bool, named);
        Bytes big = QByteArray::fromHex("4d546864 00000006 0000 0001 0060 4d54726b 00124f84");
        for (int i = 0; i < 300000; ++i) {
            big += QByteArray::fromHex("01 903c50");
        }
        big += QByteArray::fromHex("00ff2f00");
        WriteFile("big.mid", big);
        MainDialog& dialog = Start();
        LoadTyped(Path("big.mid"));
        QVERIFY(dialog.IsLoaded());
        const QStringList before = QDir(m_dir->path()).entryList(QDir::AllEntries | QDir::Hidden);
        std::vector<QStringList> seen;
        SetMessageBoxHook([&](const std::string& text, MessageIcon, const std::string&) {
            m_messages.push_back({text, MessageIcon::Stop, {}});
            seen.push_back(QDir(m_dir->path()).entryList(QDir::AllEntries | QDir::Hidden));
        });
        TempOutput::ForceNamed(named);
        rlimit saved{};
        ::getrlimit(RLIMIT_FSIZE, &saved);
        rlimit limit = saved;
        limit.rlim_cur = 100000; // a write past it fails as on a full disk
        const auto handler = std::signal(SIGXFSZ, SIG_IGN);
        ::setrlimit(RLIMIT_FSIZE, &limit);
        Click(kSave);
        ::setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, handler);
        TempOutput::ForceNamed(false);
        QCOMPARE(seen.size(), size_t{1});
        QCOMPARE(m_messages.back().text, std::string("The output MIDI file can not be written."));
        QCOMPARE(seen[0], before);
    }

    // A save while the saved file plays: the strip lets go of it before it is replaced and holds
    // the new file, stopped, once it is complete.
    void saveWhilePlayingReleasesAndHoldsTheNewFile() {
        WriteFile("example.mid", Bytes(reinterpret_cast<const char*>(ExampleMidiBytes().data()),
                                       static_cast<qsizetype>(ExampleMidiBytes().size())));
        Start();
        FluidSession* session = RenderHere();
        LoadTyped(Path("example.mid"));
        Click(kSave);
        const Bytes first = ReadFile("exampleKRV.mid");
        PlayStrip();
        Advance(*session, 0.5);
        QVERIFY(Strip().IsPlaying());
        Release(kSpeedSlider, 125); // 50 %
        Click(kSave);
        QVERIFY(m_messages.empty());
        QVERIFY(ReadFile("exampleKRV.mid") != first);
        QCOMPARE(Strip().FileName(), StdPath("exampleKRV.mid"));
        QVERIFY(!Strip().IsPlaying());
        // At 50 % every delta time, and so the whole file, is twice as long.
        PlayStrip();
        Advance(*session, 1.0);
        QTRY_COMPARE(Strip().findChild<QSlider*>("positionSlider")->maximum(), 2 * kExampleTicks);
    }

    void previewPlaysOnAtTheSameMusicalPosition() {
        WriteFile("example.mid", Bytes(reinterpret_cast<const char*>(ExampleMidiBytes().data()),
                                       static_cast<qsizetype>(ExampleMidiBytes().size())));
        Start();
        FluidSession* session = RenderHere();
        LoadTyped(Path("example.mid"));
        QTRY_COMPARE(StripStatus(), QString("Preview example.mid"));
        PlayStrip();
        Advance(*session, 1.0); // 192 ticks at 120 bpm
        QTRY_VERIFY(StripPosition() >= 188);

        Release(kSpeedSlider, 500); // 200 %: the same music at half the tick
        QCOMPARE(Text(kSpeedEdit), QString("200"));
        const std::vector<uint8_t> fast = ExamplePreview(StdPath("example.mid"), 200);
        QTRY_VERIFY(Strip().HeldBytes() != nullptr && *Strip().HeldBytes() == fast);
        QVERIFY(Strip().IsPlaying());
        Advance(*session, 0.25); // 48 ticks more
        QTRY_VERIFY(StripPosition() >= 140);
        QVERIFY(StripPosition() <= 150);
    }

    void previewFollowsEveryCommittedControl() {
        Start();
        LoadTyped(Path("song.mid"));
        QTRY_COMPARE(StripBytes(), kSong);
        // The repair's Note Off before the Note On, at speed 150 %.
        const Bytes repaired = QByteArray::fromHex("4d546864 00000006 0000 0001 0060"
                                                   "4d54726b 00000010"
                                                   "00 803c40 00 903c40 28 803c40 00 ff2f00");
        Control<QLineEdit>(kSpeedEdit)->setFocus();
        Control<QLineEdit>(kSpeedEdit)->selectAll();
        QTest::keyClicks(Control<QLineEdit>(kSpeedEdit), "150");
        QTest::keyClick(Control<QLineEdit>(kSpeedEdit), Qt::Key_Return);
        QTRY_COMPARE(StripBytes(), SongAtSpeedDelta("28"));
        Control<QLineEdit>(kSpeedEdit)->setText("fast"); // refused: the last good speed stays
        Click(kStuckNotes);
        QTRY_COMPARE(StripBytes(), repaired);
        Click(kReset);
        QTRY_COMPARE(StripBytes(), kSong);
        // Keys move a slider without a release; the preview follows once it rests.
        Control<QSlider>(kVolumeSlider)->setFocus();
        QTest::keyClick(Control<QSlider>(kVolumeSlider), Qt::Key_End);
        QTRY_VERIFY(StripBytes() != kSong);
        QVERIFY(m_messages.empty());
    }

    void hearTheOriginalByTheContextMenu() {
        Start();
        QCOMPARE(ToggleHearTheOriginal(), std::make_pair(false, false)); // nothing loaded
        QCOMPARE(Strip().FileName(), std::string());
        LoadTyped(Path("song.mid"));
        Release(kSpeedSlider, 500);
        QTRY_COMPARE(StripBytes(), SongAtSpeedDelta("1e"));
        QCOMPARE(ToggleHearTheOriginal(), std::make_pair(true, false));
        QCOMPARE(StripBytes(), kSong);
        QCOMPARE(StripStatus(), QString("song.mid"));
        QCOMPARE(ToggleHearTheOriginal(), std::make_pair(true, true));
        QCOMPARE(StripBytes(), SongAtSpeedDelta("1e"));
        QCOMPARE(StripStatus(), QString("Preview song.mid"));

        ToggleHearTheOriginal();
        Click(kSave);
        QCOMPARE(ReadFile("songKRV.mid"), SongAtSpeedDelta("1e"));
        QCOMPARE(Strip().FileName(), StdPath("songKRV.mid"));
        QCOMPARE(StripStatus(), QString("songKRV.mid"));
        QVERIFY(Strip().HeldBytes() == nullptr);
        QCOMPARE(ToggleHearTheOriginal(), std::make_pair(true, false)); // unchecked by the save
        QCOMPARE(StripBytes(), kSong);
        LoadTyped(Path("song.mid"));
        QTRY_COMPARE(StripStatus(), QString("Preview song.mid"));
        QCOMPARE(ToggleHearTheOriginal(), std::make_pair(true, false)); // and by the load
    }

    void failedSaveKeepsThePreview() {
        Start();
        LoadTyped(Path("song.mid"));
        Release(kSpeedSlider, 125); // 50 %
        QTRY_COMPARE(StripBytes(), SongAtSpeedDelta("78"));
        auto* plot = Control<LevelView>(kLevelView);
        const QImage picture = plot->Picture();
        const QString description = plot->accessibleDescription();
        const QString instruction = Instruction();
        Control<QLineEdit>(kOutputPath)->setText(Path("no/such/folder/out.mid"));
        Click(kSave);
        QCOMPARE(m_messages.size(), size_t{1});
        QCOMPARE(StripStatus(), QString("Preview song.mid"));
        QCOMPARE(StripBytes(), SongAtSpeedDelta("78"));
        // The file is still loaded: its plot, the plot's words and the text stay as they were.
        QCOMPARE(plot->Picture(), picture);
        QCOMPARE(plot->accessibleDescription(), description);
        QVERIFY(description != QString::fromUtf8(ControlTextsFor(1)->levelPlotEmpty));
        QCOMPARE(Instruction(), instruction);
    }

    void savedTextGoesWhenTheStripLeavesTheSavedFile() {
        Start();
        LoadTyped(Path("song.mid"));
        QTRY_COMPARE(StripBytes(), kSong);
        const QString loaded = QString::fromUtf8(LanguageTextsFor(1)->textLoaded);
        const QString saved = QString::fromUtf8(LanguageTextsFor(1)->textSaved);
        Click(kSave);
        QCOMPARE(Instruction(), saved);
        Release(kSpeedSlider, 500);
        QTRY_COMPARE(StripStatus(), QString("Preview song.mid"));
        QCOMPARE(Instruction(), loaded);
        Click(kSave);
        QCOMPARE(Instruction(), saved);
        ToggleHearTheOriginal();
        QCOMPARE(StripStatus(), QString("song.mid"));
        QCOMPARE(Instruction(), loaded);
    }

    void tooLargeToPreviewLeavesEverythingElse() {
        MainDialog& dialog = Start();
        dialog.SetPreviewMemoryLimit(2 * kSong.size() - 1);
        LoadTyped(Path("song.mid"));
        QTRY_COMPARE(StripStatus(), QString("Too large to preview"));
        QVERIFY(AdjustmentControlsEnabled(true));
        // Nothing to hear the original beside.
        QCOMPARE(ToggleHearTheOriginal(), std::make_pair(false, false));
        QCOMPARE(StripStatus(), QString("Too large to preview"));
        Click(kSave);
        QVERIFY(m_messages.empty());
        QCOMPARE(ReadFile("songKRV.mid"), kSong);
        // The saved file would cost the player what the preview would: refused the same way.
        QCOMPARE(StripStatus(), QString("Too large to preview"));
        QCOMPARE(Strip().FileName(), std::string());
        QCOMPARE(ToggleHearTheOriginal(), std::make_pair(false, false));
        dialog.SetPreviewMemoryLimit(2 * kSong.size());
        Click(kSave);
        QCOMPARE(StripStatus(), QString("songKRV.mid"));
    }

    void previewingWritesNoFileAndLeavesTheProfile() {
        QVERIFY(QDir().mkpath(Path("tmp")));
        const QByteArray savedTmp = qgetenv("TMPDIR");
        qputenv("TMPDIR", Path("tmp").toUtf8());
        Start();
        LoadTyped(Path("song.mid"));
        QTRY_COMPARE(StripBytes(), kSong);
        Release(kVolumeSlider, 200);
        QTRY_VERIFY(StripBytes() != kSong);
        ToggleHearTheOriginal();
        Release(kSpeedSlider, 100);
        QTest::qWait(50);
        qputenv("TMPDIR", savedTmp);
        QCOMPARE(QDir(m_dir->path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
                 (QStringList{"song.mid", "tmp"}));
        QVERIFY(QDir(Path("tmp")).isEmpty());
    }

    void previewTextsSpeakTheLanguage_data() {
        QTest::addColumn<int>("language");
        QTest::addColumn<QString>("preview");
        QTest::addColumn<QString>("hearOriginal");
        QTest::newRow("German") << 0 << "Vorschau song.mid"
                                << "Original anhören";
        QTest::newRow("English") << 1 << "Preview song.mid"
                                 << "Hear the original";
        QTest::newRow("Spanish") << 2 << "Vista previa song.mid"
                                 << "Escuchar el original";
        QTest::newRow("French") << 3 << "Aperçu song.mid"
                                << "Écouter l'original";
    }

    void previewTextsSpeakTheLanguage() {
        QFETCH(int, language);
        QFETCH(QString, preview);
        QFETCH(QString, hearOriginal);
        Profile().WriteProfileInt(kKeyLanguage, language);
        Start();
        LoadTyped(Path("song.mid"));
        QTRY_COMPARE(StripStatus(), preview);
        QCOMPARE(m_dialog->findChild<QAction*>("hearOriginal")->text(), hearOriginal);
    }

    void adjustmentItemsSpeakTheLanguage_data() {
        QTest::addColumn<int>("language");
        QTest::addColumn<QStringList>("names");
        QTest::newRow("German") << 0
                                << QStringList{"Takte behalten (Tempo ändern)",
                                               "Schlagzeug unverändert lassen",
                                               "Lauteste Note auf volle Stärke"};
        QTest::newRow("English") << 1
                                 << QStringList{"Keep the bars (change the tempo)",
                                                "Leave drums as they are",
                                                "Loudest note to full level"};
        QTest::newRow("Spanish") << 2
                                 << QStringList{"Mantener los compases (cambiar el tempo)",
                                                "Dejar la batería como está",
                                                "Nota más fuerte a nivel máximo"};
        QTest::newRow("French") << 3
                                << QStringList{"Garder les mesures (changer le tempo)",
                                               "Laisser la batterie telle quelle",
                                               "Note la plus forte au niveau maximal"};
    }

    // What a screen reader says for each of the menu's adjustment items.
    void adjustmentItemsSpeakTheLanguage() {
        QFETCH(int, language);
        QFETCH(QStringList, names);
        Profile().WriteProfileInt(kKeyLanguage, language);
        Start();
        QStringList spoken;
        ChooseFromContextMenu(kSeparatorEntry, [&spoken] {
            QAccessibleInterface* menu =
                QAccessible::queryAccessibleInterface(QApplication::activePopupWidget());
            for (int entry : {kKeepBarsEntry, kLeaveDrumsEntry, kLoudestEntry}) {
                spoken << menu->child(entry)->text(QAccessible::Name);
            }
        });
        QCOMPARE(spoken, names);
    }

    void adjustmentSettingsAreRemembered() {
        Start();
        auto* keepBars = m_dialog->findChild<QAction*>("keepBars");
        auto* leaveDrums = m_dialog->findChild<QAction*>("leaveDrums");
        QVERIFY(!keepBars->isChecked() && !leaveDrums->isChecked());
        ChooseFromContextMenu(kKeepBarsEntry);
        ChooseFromContextMenu(kLeaveDrumsEntry);
        QCOMPARE(Profile().GetProfileInt(kKeyKeepBars, -1), 1);
        QCOMPARE(Profile().GetProfileInt(kKeyLeaveDrums, -1), 1);
        m_dialog.reset();
        Start();
        QVERIFY(m_dialog->findChild<QAction*>("keepBars")->isChecked());
        QVERIFY(m_dialog->findChild<QAction*>("leaveDrums")->isChecked());
        // Reset leaves them; a second choice clears one for good.
        LoadTyped(Path("song.mid"));
        Click(kReset);
        QVERIFY(m_dialog->findChild<QAction*>("keepBars")->isChecked());
        ChooseFromContextMenu(kKeepBarsEntry);
        QCOMPARE(Profile().GetProfileInt(kKeyKeepBars, -1), 0);
    }

    void keptBarsAndDrumsReachTheSavedFile() {
        Profile().WriteProfileInt(kKeyKeepBars, 1);
        Profile().WriteProfileInt(kKeyLeaveDrums, 1);
        // Tempo 500000, a drum note at velocity 0x40 after 0x60 ticks.
        WriteFile("drums.mid", QByteArray::fromHex("4d546864 00000006 0000 0001 0060"
                                                   "4d54726b 0000000f"
                                                   "00 ff5103 07a120  60 993c40  00 ff2f00"));
        Start();
        LoadTyped(Path("drums.mid"));
        Release(kVolumeSlider, 0);
        Control<QLineEdit>(kSpeedEdit)->setText("80");
        Click(kSave);
        // Deltas as read, tempo 625000, the drums' velocity as read.
        QCOMPARE(ReadFile("drumsKRV.mid"),
                 QByteArray::fromHex("4d546864 00000006 0000 0001 0060"
                                     "4d54726b 0000000f"
                                     "00 ff5103 098968  60 993c40  00 ff2f00"));
    }

    // The drums' levels stay as read on the plot; turned off again, they follow the sliders.
    void leftDrumsArePlottedUnchanged() {
        // A piano note at 0x20 and a drum note at 0x40.
        WriteFile("band.mid", QByteArray::fromHex("4d546864 00000006 0000 0001 0060"
                                                  "4d54726b 0000000c"
                                                  "00 903c20  00 992440  00 ff2f00"));
        Start();
        LoadTyped(Path("band.mid"));
        ChooseFromContextMenu(kLeaveDrumsEntry);
        Release(kVolumeSlider, 1000);
        QCOMPARE(Control<QWidget>(kLevelView)->accessibleDescription(),
                 QString("Levels of 2 events, from 1 to 64"));
        ChooseFromContextMenu(kLeaveDrumsEntry);
        QCOMPARE(Control<QWidget>(kLevelView)->accessibleDescription(),
                 QString("Levels of 2 events, from 1 to 1"));
    }

    // A setting: the plot, the description and the saved file show the Note Ons with the gain
    // that brings the loudest to 127; Note Offs and the Volume slider stay as they were.
    void loudestNoteItemPutsAGainOnTheNoteOns() {
        WriteFile("gain.mid", QByteArray::fromHex("4d546864 00000006 0000 0001 0060"
                                                  "4d54726b 00000014"
                                                  "00 903c40  00 903e20  3c 803c40  00 803e40"
                                                  "00 ff2f00"));
        Start();
        LoadTyped(Path("gain.mid"));
        auto* view = Control<QWidget>(kLevelView);
        QCOMPARE(view->accessibleDescription(), QString("Levels of 4 events, from 32 to 64"));
        const QImage before = Control<LevelView>(kLevelView)->Picture();
        ChooseFromContextMenu(kLoudestEntry);
        QVERIFY(m_dialog->findChild<QAction*>("loudestToFull")->isChecked());
        QCOMPARE(Profile().GetProfileInt(kKeyLoudestToFull, -1), 1);
        // 64 × 127 / 64 = 127 and 32 × 127 / 64 = 63.5, rounded up.
        QCOMPARE(view->accessibleDescription(), QString("Levels of 4 events, from 64 to 127"));
        QVERIFY(Control<LevelView>(kLevelView)->Picture() != before);
        QCOMPARE(Control<QSlider>(kVolumeSlider)->value(), 500);
        // A setting of the user's: a new load keeps it.
        LoadTyped(Path("gain.mid"));
        QCOMPARE(view->accessibleDescription(), QString("Levels of 4 events, from 64 to 127"));
        Click(kSave);
        QCOMPARE(ReadFile("gainKRV.mid"),
                 QByteArray::fromHex("4d546864 00000006 0000 0001 0060"
                                     "4d54726b 00000014"
                                     "00 903c7f  00 903e40  3c 803c40  00 803e40  00 ff2f00"));
        ChooseFromContextMenu(kLoudestEntry);
        QCOMPARE(view->accessibleDescription(), QString("Levels of 4 events, from 32 to 64"));
        QCOMPARE(Profile().GetProfileInt(kKeyLoudestToFull, -1), 0);
    }

    void startRemovesTheSetupFolderButNotWhatItsLinksPointAt() {
        namespace fs = std::filesystem;
        const fs::path setup = StdPath("cache/KorvaneSetup");
        const fs::path outside = StdPath("outside");
        fs::create_directories(setup / "sub");
        fs::create_directories(outside);
        QFile::copy(Path("song.mid"), Path("outside/keep.mid"));
        QFile::copy(Path("song.mid"), Path("cache/KorvaneSetup/sub/old.mid"));
        fs::create_directory_symlink(outside, setup / "link");
        Start();
        QVERIFY(!fs::exists(fs::symlink_status(setup)));
        QCOMPARE(ReadFile("outside/keep.mid"), kSong);
    }
};

} // namespace korvane

QTEST_MAIN(korvane::MainDialogTest)

#include "MainDialogTest.moc"
