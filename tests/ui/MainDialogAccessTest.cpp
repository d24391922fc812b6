// What the window tells a screen reader and how it looks: accessible names and descriptions in
// every language, the plot's description, the volume groove's fill, one font size, hanging
// indents.

#include "job/LanguageTable.h"
#include "job/ProfileKeys.h"
#include "platform/Profile.h"
#include "platform/gui/MessageBox.h"
#include "tests/ui/TestHome.h"
#include "ui/InstructionLabel.h"
#include "ui/LevelDescription.h"
#include "ui/MainDialog.h"
#include "ui/MainDialogTemplate.h"
#include "ui/PlayerStrip.h"
#include "ui/ProgramFolderGlobal.h"

#include <QAccessible>
#include <QFile>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QTemporaryDir>
#include <QTest>

#include <memory>
#include <vector>

namespace korvane {
namespace {
// Format 0, one track: a note on and its note off, both at velocity 64.
const QByteArray kSong = QByteArray::fromHex("4d546864 00000006 0000 0001 0060"
                                             "4d54726b 0000000c"
                                             "00 903c40  3c 803c40  00 ff2f00");

QString Name(QWidget* widget) {
    return QAccessible::queryAccessibleInterface(widget)->text(QAccessible::Name);
}

QString Description(QWidget* widget) {
    return QAccessible::queryAccessibleInterface(widget)->text(QAccessible::Description);
}

// Every visible control of the tree below node that takes the focus.
void CollectFocusable(QAccessibleInterface* node, std::vector<QAccessibleInterface*>& found) {
    for (int i = 0; i < node->childCount(); ++i) {
        QAccessibleInterface* child = node->child(i);
        if (child->state().focusable && !child->state().invisible) {
            found.push_back(child);
        }
        CollectFocusable(child, found);
    }
}

// A pixel of the slider's highlighted fill rather than its grey groove or handle.
bool IsFill(QRgb pixel) {
    return qBlue(pixel) > qRed(pixel) + 40;
}

// Rows of the groove's middle column that show the fill.
int FilledRows(const QImage& slider) {
    int rows = 0;
    for (int y = 0; y < slider.height(); ++y) {
        rows += IsFill(slider.pixel(slider.width() / 2, y)) ? 1 : 0;
    }
    return rows;
}

void AddLanguageColumn() {
    QTest::addColumn<int>("language");
    int language = 0;
    for (const char* name : {"German", "English", "Spanish", "French"}) {
        QTest::newRow(name) << language++;
    }
}
} // namespace

class MainDialogAccessTest : public QObject {
    Q_OBJECT

  private:
    QString Path(const QString& name) const { return m_dir->filePath(name); }

    MainDialog& Start(int language) {
        Profile().WriteProfileInt(kKeyLanguage, language);
        m_profile = std::make_unique<Profile>();
        m_dialog = std::make_unique<MainDialog>(*m_profile, std::vector<std::string>{"korvane"});
        if (!m_dialog->OnInitDialog()) {
            qFatal("no batch run expected");
        }
        m_dialog->show();
        return *m_dialog;
    }

    template <class T = QWidget> T* Control(int id) const {
        T* control = m_dialog->findChild<T*>(QString("c%1").arg(id));
        if (control == nullptr) {
            qFatal("control %d missing", id);
        }
        return control;
    }

    template <class T = QWidget> T* PlayerChild(const char* name) const {
        return Control<PlayerStrip>(kPlayer)->findChild<T*>(name);
    }

    QByteArray HeldBytes() const {
        const MidiBytes& bytes = Control<PlayerStrip>(kPlayer)->HeldBytes();
        return bytes ? QByteArray(reinterpret_cast<const char*>(bytes->data()),
                                  static_cast<qsizetype>(bytes->size()))
                           .toHex()
                     : QByteArray();
    }

    void Load() {
        Control<QLineEdit>(kInputPath)->setText(Path("song.mid"));
        Control<QPushButton>(kLoad)->click();
    }

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<Profile> m_profile;
    std::unique_ptr<MainDialog> m_dialog;

  private slots:
    void init() {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
        UseTestHome(*m_dir);
        SetMessageBoxHook([](const std::string& text, MessageIcon, const std::string&) {
            qFatal("unexpected message: %s", text.c_str());
        });
        QFile song(Path("song.mid"));
        QVERIFY(song.open(QIODevice::WriteOnly));
        QCOMPARE(song.write(kSong), kSong.size());
    }

    void cleanup() {
        m_dialog.reset();
        m_profile.reset();
        SetMessageBoxHook(nullptr);
        m_dir.reset();
    }

    void everyFocusableControlIsNamed_data() {
        AddLanguageColumn();
        // Captions stay the template's, but a screen reader still hears names.
        QTest::newRow("outside the tables") << 7;
    }

    void everyFocusableControlIsNamed() {
        QFETCH(int, language);
        Start(language);
        Load();
        std::vector<QAccessibleInterface*> focusable;
        CollectFocusable(QAccessible::queryAccessibleInterface(m_dialog.get()), focusable);
        // Two path fields and the speed field, six buttons, three sliders, the check box, and
        // the player's three buttons and position slider.
        QCOMPARE(focusable.size(), size_t{17});
        for (QAccessibleInterface* control : focusable) {
            QVERIFY2(!control->text(QAccessible::Name).isEmpty(),
                     qPrintable(control->object()->objectName()));
        }
    }

    void namesAndDescriptionsSpeakTheLanguage_data() { AddLanguageColumn(); }

    void namesAndDescriptionsSpeakTheLanguage() {
        QFETCH(int, language);
        Start(language);
        const ControlTexts& texts = *ControlTextsFor(language);
        const std::vector<std::pair<QWidget*, const char*>> names = {
            {Control(kInputPath), texts.inputPath},
            {Control(kOutputPath), texts.outputPath},
            {Control(kAbout), texts.about},
            {Control(kDynamicRangeSlider), texts.dynamicRange},
            {Control(kVolumeSlider), texts.volume},
            {Control(kSpeedSlider), texts.speed},
            {Control(kSpeedEdit), texts.speedPercent},
            {Control(kLevelView), texts.levelPlot},
            {PlayerChild("playButton"), texts.play},
            {PlayerChild("pauseButton"), texts.pause},
            {PlayerChild("stopButton"), texts.stop},
            {PlayerChild("positionSlider"), texts.playbackPosition},
        };
        for (const auto& [control, name] : names) {
            QCOMPARE(Name(control), QString::fromUtf8(name));
        }
        const std::vector<std::pair<QWidget*, const char*>> descriptions = {
            {Control(kBrowseInput), texts.browseInputDescription},
            {Control(kBrowseOutput), texts.browseOutputDescription},
            {Control(kReset), texts.resetDescription},
            {Control(kDynamicRangeSlider), texts.dynamicRangeDescription},
            {Control(kVolumeSlider), texts.volumeDescription},
            {Control(kSpeedSlider), texts.speedDescription},
        };
        for (const auto& [control, description] : descriptions) {
            QCOMPARE(Description(control), QString::fromUtf8(description));
        }
        // Buttons with a caption are named by it.
        QCOMPARE(Name(Control(kLoad)), QString::fromUtf8(LanguageTextsFor(language)->captions[4]));
    }

    void namesFollowALanguageChange() {
        Start(1);
        QCOMPARE(Name(Control(kVolumeSlider)), QString("Volume"));
        QCOMPARE(Name(PlayerChild("playButton")), QString("Play"));
        m_profile->WriteProfileInt(kKeyLanguage, 0);
        m_dialog->SetLanguage(0);
        QCOMPARE(Name(Control(kVolumeSlider)), QString("Lautstärke"));
        QCOMPARE(Name(PlayerChild("playButton")), QString("Wiedergabe"));
        QCOMPARE(Description(Control(kLevelView)), QString("Keine MIDI-Datei geladen"));
    }

    void plotDescribesWhatItShows() {
        Start(1);
        QCOMPARE(Description(Control(kLevelView)), QString("No MIDI file loaded"));
        Load();
        QCOMPARE(Description(Control(kLevelView)), QString("Levels of 2 events, from 64 to 64"));
        // The loudest setting raises every level to the top.
        Control<QSlider>(kVolumeSlider)->setValue(0);
        QCOMPARE(Description(Control(kLevelView)), QString("Levels of 2 events, from 127 to 127"));
    }

    void plotDescriptionWritesNumbersAsTheLanguageDoes_data() {
        QTest::addColumn<int>("language");
        QTest::addColumn<QString>("description");
        QTest::newRow("German") << 0 << "Pegel von 1.234 Ereignissen, von 12 bis 118";
        QTest::newRow("English") << 1 << "Levels of 1,234 events, from 12 to 118";
        QTest::newRow("Spanish") << 2 << "Niveles de 1234 eventos, de 12 a 118";
        QTest::newRow("French") << 3
                                << QString::fromUtf8(
                                       "Niveaux de 1\u202f234 événements, de 12 à 118");
    }

    void plotDescriptionWritesNumbersAsTheLanguageDoes() {
        QFETCH(int, language);
        QFETCH(QString, description);
        // Level 0 (a note off written as a note on) is not plotted, so it is not the lowest.
        std::vector<uint8_t> levels(1234, 64);
        levels[3] = 0;
        levels[10] = 12;
        levels[500] = 118;
        QCOMPARE(
            DescribeLevels(SummarizeLevels(levels), 500, 500, *ControlTextsFor(language), language),
            description);
    }

    void volumeGrooveFillsFromTheBottomUpToTheHandle() {
        Start(1);
        Load();
        auto* slider = Control<QSlider>(kVolumeSlider);
        int previousFill = slider->height();
        // From the loudest setting (0, handle at the top) to the softest (1000, at the bottom).
        for (int position : {0, 250, 500, 750, 1000}) {
            slider->setValue(position);
            const QImage image = slider->grab().toImage();
            const int fill = FilledRows(image);
            QVERIFY2(fill < previousFill, qPrintable(QString("at %1: %2 rows filled, before %3")
                                                         .arg(position)
                                                         .arg(fill)
                                                         .arg(previousFill)));
            previousFill = fill;
            const int middle = image.width() / 2;
            const int nearBottom = image.height() - 6;
            const int nearTop = 5;
            QCOMPARE(IsFill(image.pixel(middle, nearBottom)), position < 1000);
            QVERIFY2(!IsFill(image.pixel(middle, nearTop)), qPrintable(QString::number(position)));
        }
        QCOMPARE(previousFill, 0);
    }

    // Through the interfaces Qt hands a screen reader (QAccessible; atspi_sliders.py reads the
    // same over the real AT-SPI bus): the sliders read in the units their labels show and a value
    // set moves the slider and the preview as keys do.
    void slidersReadInTheirLabelsUnits() {
        Start(1);
        Load();
        const auto value = [this](int id) {
            return QAccessible::queryAccessibleInterface(Control(id))->valueInterface();
        };
        const struct {
            int id;
            double shown;
            double top;
        } sliders[] = {{kVolumeSlider, 500, 1000}, {kSpeedSlider, 100, 400}};
        for (const auto& slider : sliders) {
            QCOMPARE(value(slider.id)->currentValue().toDouble(), slider.shown);
            QCOMPARE(value(slider.id)->minimumValue().toDouble(), 0.0);
            QCOMPARE(value(slider.id)->maximumValue().toDouble(), slider.top);
        }
        Control<QSlider>(kVolumeSlider)->setValue(0); // the top: loudest
        QCOMPARE(value(kVolumeSlider)->currentValue().toDouble(), 1000.0);
        value(kVolumeSlider)->setCurrentValue(500);
        QCOMPARE(Control<QSlider>(kVolumeSlider)->value(), 500);
        value(kSpeedSlider)->setCurrentValue(200);
        QCOMPARE(Control<QSlider>(kSpeedSlider)->value(), 500);
        QCOMPARE(Control<QLineEdit>(kSpeedEdit)->text(), QString("200"));
        const QByteArray atDoubleSpeed =
            QByteArray::fromHex("4d546864 00000006 0000 0001 0060 4d54726b 0000000c"
                                "00 903c40 1e 803c40 00 ff2f00");
        QTRY_VERIFY(HeldBytes() == atDoubleSpeed.toHex());
    }

    // The Browse buttons are told apart, the player strip is named, and neither the logo nor the
    // buttons there only for Enter and Esc are found.
    void namedApartAndNothingHiddenFound() {
        const struct {
            int language;
            const char* input;
            const char* output;
        } said[] = {
            {0, "Eingabedatei suchen", "Ausgabedatei suchen"},
            {1, "Browse for the input file", "Browse for the output file"},
            {2, "Buscar el archivo de entrada", "Buscar el archivo de salida"},
            {3, "Parcourir pour le fichier d'entrée", "Parcourir pour le fichier de sortie"}};
        for (const auto& [language, input, output] : said) {
            Start(language);
            QCOMPARE(Name(Control(kBrowseInput)), QString::fromUtf8(input));
            QCOMPARE(Name(Control(kBrowseOutput)), QString::fromUtf8(output));
            QCOMPARE(Name(Control(kPlayer)), QString::fromUtf8(ControlTextsFor(language)->player));
        }
        QAccessibleInterface* window = QAccessible::queryAccessibleInterface(m_dialog.get());
        QStringList found;
        for (int i = 0; i < window->childCount(); ++i) {
            found << window->child(i)->object()->objectName();
        }
        QVERIFY(found.contains(QString("c%1").arg(kBrowseInput)));
        for (const QString& hidden :
             {QString("logo"), QString("c%1").arg(kOk), QString("c%1").arg(kCancel)}) {
            QVERIFY2(!found.contains(hidden), qPrintable(hidden));
        }
    }

    void instructionReadsWithoutItsLayout() {
        Start(1);
        const QString heard =
            QAccessible::queryAccessibleInterface(Control<InstructionLabel>(kInstruction))
                ->text(QAccessible::Name);
        QVERIFY(!heard.isEmpty());
        QCOMPARE(heard, heard.simplified());
    }

    void instructionWrapsUnderItsFirstWord() {
        Start(1);
        const QString indent = "      ";
        Control<InstructionLabel>(kInstruction)
            ->setText(
                "\n" + indent +
                "A line far too long for the instruction text, so that it wraps twice or more "
                "and every line after the first would start at the left edge without an indent.");
        auto* label = Control<InstructionLabel>(kInstruction);
        const QImage image = label->grab().toImage();
        const int indentWidth = QFontMetrics(label->font()).horizontalAdvance(indent);
        const QRgb background = image.pixel(0, 0);
        int lines = 0;
        bool inkAbove = false;
        for (int y = 0; y < image.height(); ++y) {
            bool ink = false;
            for (int x = 0; x < image.width(); ++x) {
                if (image.pixel(x, y) != background) {
                    QVERIFY2(x >= indentWidth - 1,
                             qPrintable(QString("ink at %1,%2").arg(x).arg(y)));
                    ink = true;
                }
            }
            lines += ink && !inkAbove ? 1 : 0;
            inkAbove = ink;
        }
        QVERIFY2(lines >= 3, qPrintable(QString::number(lines)));
    }
};

} // namespace korvane

QTEST_MAIN(korvane::MainDialogAccessTest)

#include "MainDialogAccessTest.moc"
