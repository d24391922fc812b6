#include "ui/PlayerStrip.h"
#include "job/ConversionJob.h"
#include "tests/ui/ExampleMidi.h"
#include "ui/ElidedLabel.h"

#include <QFileInfo>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QSlider>
#include <QTemporaryDir>
#include <QTest>

#include <cstdlib>
#include <memory>

namespace korvane {
namespace {} // namespace

class StripTest : public QObject {
    Q_OBJECT
  private slots:
    void init();
    void cleanup();
    void holdsOneFileByName();
    void reportsMissingSoundFont_data();
    void reportsMissingSoundFont();
    void reportsMissingAudioDevice_data();
    void reportsMissingAudioDevice();
    void nextFileIsNamedAfterASoundProblem_data();
    void nextFileIsNamedAfterASoundProblem();
    void playPauseStop();
    void sliderSeeks();
    void endOfFileStopsAndRewinds();
    void command2003StopsAndRewinds();
    void autoStartFlag();
    void repeatFlag();
    void closesWhilePlaying();
    void bytesCarryThePositionOver();
    void bytesArePreviewOrOriginal_data();
    void bytesArePreviewOrOriginal();
    void bytesComeWhenPlayAsksForThem();
    void longTextsAreElidedInTheMiddle_data();
    void longTextsAreElidedInTheMiddle();

  private:
    void AddLanguageColumns();
    // Gives the strip a session rendered here instead of by an audio device.
    FluidSession* RenderHere();
    template <class T> T* Child(const char* name) const {
        return m_strip->findChild<T*>(QString::fromLatin1(name));
    }
    void Click(const char* button) const {
        QTest::mouseClick(Child<QPushButton>(button), Qt::LeftButton);
    }
    int Position() const { return Child<QSlider>("positionSlider")->value(); }
    QString Status() const { return Child<ElidedLabel>("playerStatus")->FullText(); }

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<PlayerStrip> m_strip;
    std::string m_example;
};

void StripTest::init() {
    m_dir = std::make_unique<QTemporaryDir>();
    m_example = (m_dir->path() + "/example.mid").toStdString();
    WriteBytes(m_example, ExampleMidiBytes());
    m_strip = std::make_unique<PlayerStrip>();
    m_strip->show();
}

void StripTest::cleanup() {
    m_strip.reset();
    m_dir.reset();
}

FluidSession* StripTest::RenderHere() {
    auto session = std::make_unique<FluidSession>();
    FluidSession* raw = session.get();
    if (!session->LoadSoundFont(FluidSession::DefaultSoundFonts())) {
        qWarning("no SoundFont installed");
    }
    m_strip->UseSession(std::move(session));
    return raw;
}

void StripTest::holdsOneFileByName() {
    QVERIFY(m_strip->FileName().empty());
    QVERIFY(!Child<QPushButton>("playButton")->isEnabled());
    QCOMPARE(Status(), QString());

    const std::string other = (m_dir->path() + "/other.mid").toStdString();
    for (const std::string& path : {m_example, other, std::string(), m_example, m_example}) {
        m_strip->SetFileName(path);
        QCOMPARE(m_strip->FileName(), path);
        QCOMPARE(Child<QPushButton>("playButton")->isEnabled(), !path.empty());
        QCOMPARE(Child<QSlider>("positionSlider")->isEnabled(), !path.empty());
        QCOMPARE(Status(),
                 path.empty() ? QString() : QFileInfo(QString::fromStdString(path)).fileName());
        QVERIFY(!m_strip->IsPlaying());
    }
}

void StripTest::AddLanguageColumns() {
    QTest::addColumn<int>("language");
    QTest::addColumn<QString>("noSoundFont");
    QTest::addColumn<QString>("noAudioDevice");
    QTest::newRow("German") << 0 << "Kein SoundFont gefunden"
                            << "Kein Audiogerät";
    QTest::newRow("English") << 1 << "No SoundFont found"
                             << "No audio device";
    QTest::newRow("Spanish") << 2 << "No se encontró ningún SoundFont"
                             << "Ningún dispositivo de audio";
    QTest::newRow("French") << 3 << "Aucun SoundFont trouvé"
                            << "Aucun périphérique audio";
}

void StripTest::reportsMissingSoundFont_data() {
    AddLanguageColumns();
}

void StripTest::reportsMissingSoundFont() {
    QFETCH(int, language);
    QFETCH(QString, noSoundFont);
    // Nothing to play with at all: the SoundFont is what the strip reports.
    m_strip->SetSoundFontPaths({(m_dir->path() + "/missing.sf2").toStdString()});
    m_strip->SetAudioDrivers({"bogus"});
    m_strip->SetFileName(m_example);
    m_strip->ApplyLanguage(language);
    for (int press = 0; press < 2; ++press) {
        Click("playButton");
        QCOMPARE(Status(), noSoundFont);
        QVERIFY(!m_strip->IsPlaying());
        QVERIFY(!Child<QPushButton>("pauseButton")->isEnabled());
        QVERIFY(!Child<QPushButton>("stopButton")->isEnabled());
    }
    m_strip->ApplyLanguage(language == 1 ? 0 : 1);
    QVERIFY(Status() != noSoundFont);
    m_strip->ApplyLanguage(language);
    QCOMPARE(Status(), noSoundFont);
    QCOMPARE(m_strip->FileName(), m_example);
}

void StripTest::reportsMissingAudioDevice_data() {
    AddLanguageColumns();
}

void StripTest::reportsMissingAudioDevice() {
    QFETCH(int, language);
    QFETCH(QString, noAudioDevice);
    m_strip->SetAudioDrivers({"bogus"});
    m_strip->ApplyLanguage(language);
    m_strip->SetFileName(m_example);
    QVERIFY(Status() != noAudioDevice); // nothing is set up before Play
    for (int press = 0; press < 2; ++press) {
        Click("playButton");
        QCOMPARE(Status(), noAudioDevice);
        QVERIFY(!m_strip->IsPlaying());
    }
    // The file can still be released and held again.
    m_strip->SetFileName("");
    m_strip->SetFileName(m_example);
    QCOMPARE(m_strip->FileName(), m_example);
}

void StripTest::nextFileIsNamedAfterASoundProblem_data() {
    QTest::addColumn<bool>("soundFontFound");
    QTest::addColumn<QString>("problem");
    QTest::newRow("no SoundFont") << false << "No SoundFont found";
    QTest::newRow("no audio device") << true << "No audio device";
}

void StripTest::nextFileIsNamedAfterASoundProblem() {
    QFETCH(bool, soundFontFound);
    QFETCH(QString, problem);
    if (!soundFontFound) {
        m_strip->SetSoundFontPaths({(m_dir->path() + "/missing.sf2").toStdString()});
    }
    m_strip->SetAudioDrivers({"bogus"});
    m_strip->SetFileName(m_example);
    Click("playButton");
    QCOMPARE(Status(), problem);
    // A load releases the file, a save hands over the new one: the strip says what it holds.
    m_strip->SetFileName("");
    QCOMPARE(Status(), QString());
    const std::string saved = (m_dir->path() + "/savedKRV.mid").toStdString();
    WriteBytes(saved, ExampleMidiBytes());
    m_strip->SetFileName(saved);
    QCOMPARE(Status(), QString("savedKRV.mid"));
    // The problem shows again only when Play fails again.
    Click("playButton");
    QCOMPARE(Status(), problem);
}

void StripTest::playPauseStop() {
    FluidSession* session = RenderHere();
    m_strip->SetFileName(m_example);
    Click("playButton");
    QVERIFY(m_strip->IsPlaying());
    QVERIFY(!Child<QPushButton>("playButton")->isEnabled());
    QVERIFY(Child<QPushButton>("pauseButton")->isEnabled());

    Advance(*session, 1.0); // 192 ticks at 120 bpm
    QTRY_COMPARE(Child<QSlider>("positionSlider")->maximum(), kExampleTicks);
    QTRY_VERIFY(Position() >= 188);
    QVERIFY(Position() <= 196);

    Click("pauseButton");
    QVERIFY(!m_strip->IsPlaying());
    const int paused = Position();
    Advance(*session, 1.0);
    Click("playButton");
    Advance(*session, 0.5);
    QTRY_VERIFY(Position() >= paused + 92);
    QVERIFY(Position() <= paused + 100);

    Click("stopButton");
    QVERIFY(!m_strip->IsPlaying());
    QCOMPARE(Position(), 0);
    QVERIFY(!Child<QPushButton>("stopButton")->isEnabled());
    Click("playButton");
    Advance(*session, 0.5);
    QTRY_VERIFY(Position() >= 92);
    QVERIFY(Position() <= 100);
}

void StripTest::sliderSeeks() {
    FluidSession* session = RenderHere();
    m_strip->SetFileName(m_example);
    Click("playButton");
    Advance(*session, 0.1);
    QTRY_COMPARE(Child<QSlider>("positionSlider")->maximum(), kExampleTicks);
    Click("pauseButton");
    Child<QSlider>("positionSlider")->setSliderPosition(600); // as a drag does
    Click("playButton");
    Advance(*session, 0.25);
    QTRY_VERIFY(Position() >= 644);
    QVERIFY(Position() <= 652);
}

void StripTest::endOfFileStopsAndRewinds() {
    FluidSession* session = RenderHere();
    m_strip->SetFileName(m_example);
    Click("playButton");
    Advance(*session, kExampleSeconds + 5);
    QTRY_VERIFY(!m_strip->IsPlaying());
    QCOMPARE(Position(), 0);
    QVERIFY(Child<QPushButton>("playButton")->isEnabled());
}

void StripTest::command2003StopsAndRewinds() {
    FluidSession* session = RenderHere();
    m_strip->SetFileName(m_example);
    Click("playButton");
    Advance(*session, 1.0);
    QTRY_VERIFY(Position() > 0);
    m_strip->StopAndRewind();
    QVERIFY(!m_strip->IsPlaying());
    QCOMPARE(Position(), 0);
    Click("playButton");
    Advance(*session, 0.5);
    QTRY_VERIFY(Position() >= 92);
    QVERIFY(Position() <= 100);
}

void StripTest::autoStartFlag() {
    RenderHere();
    m_strip->SetAutoStart(true);
    m_strip->SetFileName(m_example);
    QVERIFY(m_strip->IsPlaying());
    m_strip->SetFileName("");
    QVERIFY(!m_strip->IsPlaying());
    m_strip->SetAutoStart(false);
    m_strip->SetFileName(m_example);
    QVERIFY(!m_strip->IsPlaying());
}

void StripTest::repeatFlag() {
    FluidSession* session = RenderHere();
    m_strip->SetRepeat(true);
    m_strip->SetFileName(m_example);
    Click("playButton");
    Advance(*session, 2.5 * kExampleSeconds); // half-way through the third time
    QTRY_VERIFY(Position() >= kExampleTicks / 2 - 8);
    QVERIFY(Position() <= kExampleTicks / 2 + 8);
    QVERIFY(m_strip->IsPlaying());

    m_strip->SetRepeat(false);
    Advance(*session, kExampleSeconds + 5);
    QTRY_VERIFY(!m_strip->IsPlaying());
}

void StripTest::closesWhilePlaying() {
    FluidSession* session = RenderHere();
    m_strip->SetFileName(m_example);
    Click("playButton");
    Advance(*session, 0.5);
    // The file player goes before the session it drives (a sanitizer build catches the reverse).
    m_strip.reset();
}

void StripTest::bytesCarryThePositionOver() {
    FluidSession* session = RenderHere();
    const auto normal = std::make_shared<const std::vector<uint8_t>>(ExampleMidiBytes());
    const auto fast = std::make_shared<const std::vector<uint8_t>>(ExamplePreview(m_example, 200));
    m_strip->HoldBytes(normal, m_example, true, 0);
    Click("playButton");
    Advance(*session, 1.0); // 192 ticks at 120 bpm
    QTRY_COMPARE(Child<QSlider>("positionSlider")->maximum(), kExampleTicks);

    // Twice as fast: every delta halved, so the same music is at half the tick.
    m_strip->HoldBytes(fast, m_example, true, 0.5);
    QVERIFY(m_strip->IsPlaying());
    QVERIFY(m_strip->HeldBytes() == fast);
    Advance(*session, 0.25); // 48 ticks more
    QTRY_COMPARE(Child<QSlider>("positionSlider")->maximum(), kExampleTicks / 2);
    QTRY_VERIFY(Position() >= 140);
    QVERIFY(Position() <= 148);

    // Paused stays paused, at the scaled position.
    Click("pauseButton");
    const int paused = Position();
    m_strip->HoldBytes(normal, m_example, false, 2.0);
    QVERIFY(!m_strip->IsPlaying());
    QVERIFY(Child<QPushButton>("playButton")->isEnabled());
    QVERIFY(std::abs(Position() - 2 * paused) <= 2);
    Click("playButton");
    Advance(*session, 0.5);
    QTRY_VERIFY(Position() >= 2 * paused + 92);
    QVERIFY(Position() <= 2 * paused + 102);

    // Stopped stays stopped, at the start.
    Click("stopButton");
    m_strip->HoldBytes(fast, m_example, true, 0.5);
    QVERIFY(!m_strip->IsPlaying());
    QCOMPARE(Position(), 0);
}

void StripTest::bytesArePreviewOrOriginal_data() {
    QTest::addColumn<int>("language");
    QTest::addColumn<QString>("preview");
    QTest::addColumn<QString>("tooLarge");
    QTest::newRow("German") << 0 << "Vorschau"
                            << "Zu groß für eine Vorschau";
    QTest::newRow("English") << 1 << "Preview"
                             << "Too large to preview";
    QTest::newRow("Spanish") << 2 << "Vista previa"
                             << "Demasiado grande para la vista previa";
    QTest::newRow("French") << 3 << "Aperçu"
                            << "Trop volumineux pour l'aperçu";
}

void StripTest::bytesArePreviewOrOriginal() {
    QFETCH(int, language);
    QFETCH(QString, preview);
    QFETCH(QString, tooLarge);
    m_strip->ApplyLanguage(language);
    const auto bytes = std::make_shared<const std::vector<uint8_t>>(ExampleMidiBytes());
    m_strip->HoldBytes(bytes, m_example, true, 1.0);
    QCOMPARE(Status(), preview + " example.mid");
    QCOMPARE(m_strip->FileName(), m_example);
    QVERIFY(Child<QPushButton>("playButton")->isEnabled());
    m_strip->HoldBytes(bytes, m_example, false, 1.0);
    QCOMPARE(Status(), QString("example.mid"));

    m_strip->ShowTooLarge();
    QCOMPARE(Status(), tooLarge);
    QVERIFY(m_strip->FileName().empty());
    QVERIFY(!Child<QPushButton>("playButton")->isEnabled());
    m_strip->ApplyLanguage(language == 1 ? 0 : 1);
    QVERIFY(Status() != tooLarge);

    // A saved file by name drops what was held in memory.
    m_strip->HoldBytes(bytes, m_example, true, 1.0);
    m_strip->SetFileName(m_example);
    QVERIFY(m_strip->HeldBytes() == nullptr);
    QCOMPARE(Status(), QString("example.mid"));
}

void StripTest::bytesComeWhenPlayAsksForThem() {
    QSignalSpy wanted(m_strip.get(), &PlayerStrip::BytesWanted);
    m_strip->SetAudioDrivers({"bogus"});
    QVERIFY(m_strip->CanPlay());
    m_strip->HoldBytes(nullptr, m_example, true, 0);
    Click("playButton");
    QVERIFY(!m_strip->CanPlay()); // no sound: nothing is asked for
    QCOMPARE(wanted.count(), 0);

    FluidSession* session = RenderHere();
    QVERIFY(m_strip->CanPlay());
    m_strip->HoldBytes(nullptr, m_example, true, 0);
    QVERIFY(Child<QPushButton>("playButton")->isEnabled());
    Click("playButton");
    QCOMPARE(wanted.count(), 1);
    QVERIFY(m_strip->IsPlaying());
    m_strip->HoldBytes(std::make_shared<const std::vector<uint8_t>>(ExampleMidiBytes()), m_example,
                       true, 1.0);
    QVERIFY(m_strip->IsPlaying());
    Advance(*session, 0.5);
    QTRY_VERIFY(Position() >= 92);
    QVERIFY(Position() <= 100);
}

void StripTest::longTextsAreElidedInTheMiddle_data() {
    QTest::addColumn<int>("language");
    QTest::addColumn<bool>("tooLarge");
    for (int language = 0; language < 4; ++language) {
        QTest::newRow(qPrintable(QString("%1 name").arg(language))) << language << false;
        QTest::newRow(qPrintable(QString("%1 too large").arg(language))) << language << true;
    }
}

void StripTest::longTextsAreElidedInTheMiddle() {
    QFETCH(int, language);
    QFETCH(bool, tooLarge);
    m_strip->ApplyLanguage(language);
    m_strip->resize(300, m_strip->height());
    const std::string name = "/music/A very long name of a song that no strip can show.mid";
    if (tooLarge) {
        m_strip->ShowTooLarge();
    } else {
        m_strip->HoldBytes(nullptr, name, true, 0);
    }
    auto* status = Child<ElidedLabel>("playerStatus");
    const QString whole = Status();
    QVERIFY(!whole.isEmpty());
    QCOMPARE(status->toolTip(), whole);
    QCOMPARE(status->accessibleDescription(), whole);
    const QString shown = status->text();
    QVERIFY2(status->fontMetrics().horizontalAdvance(shown) <= status->contentsRect().width(),
             qPrintable(shown));
    if (shown != whole) {
        // Cut in the middle: the start and the end of the text stay.
        const QStringList parts = shown.split(QChar(0x2026));
        QCOMPARE(parts.size(), 2);
        QVERIFY(whole.startsWith(parts[0]) && whole.endsWith(parts[1]));
    }
    // Given room, the whole text shows.
    m_strip->resize(2000, m_strip->height());
    QCOMPARE(status->text(), whole);
    if (!tooLarge) {
        QVERIFY(status->text().endsWith("show.mid"));
    }
}

} // namespace korvane

QTEST_MAIN(korvane::StripTest)

#include "PlayerStripTest.moc"
