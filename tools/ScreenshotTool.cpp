// Writes PNG pictures of the main window in every language: at the start, with an example loaded,
// saved, after a failed load over it, with a folder of copies of it loaded and after a Save of
// them cancelled at once (with the message boxes and the progress those show), with the example
// at a few slider settings, with the player strip holding a preview and after a save (and the
// About box's picture), so that anyone can look at the window without running it. Usage:
// korvane_screenshots [OUTPUT_FOLDER [EXAMPLE.mid [POINT_SIZE]]], the last the desktop font's
// size to draw the window with instead of the desktop's own.

#include "app/WindowCollection.h"
#include "job/LanguageTable.h"
#include "job/ProfileKeys.h"
#include "platform/Profile.h"
#include "platform/ProgramFolder.h"
#include "platform/gui/MessageBox.h"
#include "ui/AboutPicture.h"
#include "ui/ControlId.h"
#include "ui/MainDialog.h"
#include "ui/PlayerStrip.h"
#include "ui/ProgramFolderGlobal.h"
#include "ui/SaveProgress.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFont>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSlider>
#include <QTemporaryDir>
#include <QTimer>

#include <array>
#include <functional>
#include <iostream>

namespace korvane {
namespace {
constexpr std::array<const char*, 4> kLanguageTags = {"de", "en", "es", "fr"};

// Any message but an expected one fails the run.
MessageBoxHook g_unexpectedMessage;

struct SliderSetting {
    const char* name;
    int dynamicRange;
    int volume;
};

constexpr std::array<SliderSetting, 3> kSettings = {{
    {"narrow", 150, 500},
    {"wide", 900, 500},
    {"louder", 500, 200},
}};

// The first example the file dialogs would offer.
QString FirstExample() {
    const QDir examples(QString::fromStdString(ExamplesFolder(g_programFolder)));
    const QStringList files = examples.entryList({"*.mid"}, QDir::Files, QDir::Name);
    return files.isEmpty() ? QString() : examples.filePath(files.first());
}

template <class T> T* Control(MainDialog& dialog, int id) {
    return dialog.findChild<T*>(QString("c%1").arg(id));
}

// The copies of the example a folder holds for the pictures of several files: as many as in a
// large collection, so that counts show their digit grouping.
constexpr int kCopies = 2160;

bool Save(QWidget& widget, const QDir& folder, const QString& name) {
    const QString path = folder.filePath(name + ".png");
    if (!widget.grab().save(path)) {
        std::cerr << "korvane_screenshots: cannot write " << path.toStdString() << "\n";
        return false;
    }
    std::cout << path.toStdString() << "\n";
    return true;
}

void Load(MainDialog& dialog, const QString& example) {
    Control<QLineEdit>(dialog, kInputPath)->setText(example);
    Control<QPushButton>(dialog, kLoad)->click();
}

// Keeps the window's events going until the strip holds a preview, for at most a few seconds.
bool WaitForPreview(MainDialog& dialog) {
    const PlayerStrip* strip = Control<PlayerStrip>(dialog, kPlayer);
    const QDeadlineTimer deadline(5000);
    while (strip->HeldBytes() == nullptr && !deadline.hasExpired()) {
        QApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    return strip->HeldBytes() != nullptr;
}

// The strip with a preview at 150 %, then with the saved file. The example is copied to scratch
// first, so the save writes nothing beside the program.
bool ShootPreviewAndSave(Profile& profile, const QString& example, const QDir& scratch,
                         const QDir& folder) {
    const QString copy = scratch.filePath("Example.mid");
    QFile::remove(copy);
    if (!QFile::copy(example, copy)) {
        std::cerr << "korvane_screenshots: cannot copy " << example.toStdString() << "\n";
        return false;
    }
    profile.WriteProfileInt(kKeyLanguage, kDefaultLanguage);
    MainDialog dialog(profile, {"korvane"});
    dialog.OnInitDialog();
    dialog.show();
    Load(dialog, copy);
    auto* speed = Control<QSlider>(dialog, kSpeedSlider);
    speed->setSliderDown(true);
    speed->setValue(375); // 150 %
    speed->setSliderDown(false);
    const MidiBytes loaded = Control<PlayerStrip>(dialog, kPlayer)->HeldBytes();
    bool ok = WaitForPreview(dialog);
    const QDeadlineTimer deadline(5000);
    while (Control<PlayerStrip>(dialog, kPlayer)->HeldBytes() == loaded && !deadline.hasExpired()) {
        QApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    ok = ok && Save(dialog, folder, "window-en-preview");
    Control<QPushButton>(dialog, kSave)->click();
    return Save(dialog, folder, "window-en-preview-saved") && ok;
}

// Saves into the scratch folder, so that the examples stay as they are.
void SaveOutput(MainDialog& dialog, const QDir& scratch) {
    Control<QLineEdit>(dialog, kOutputPath)->setText(scratch.filePath("saved.mid"));
    Control<QPushButton>(dialog, kSave)->click();
}

// Runs action with the real message boxes: the first one shown is drawn as name and closed, as
// expected, so it does not count as a failure of the tool.
bool ShootMessage(const QDir& folder, const QString& name, const std::function<void()>& action) {
    bool shot = false;
    QTimer look;
    QObject::connect(&look, &QTimer::timeout, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            shot = !shot && Save(*box, folder, name);
            box->accept();
        }
    });
    SetMessageBoxHook(nullptr);
    look.start(10);
    action();
    look.stop();
    SetMessageBoxHook(g_unexpectedMessage);
    return shot;
}

// A load that fails over the file loaded: the window keeps that file.
bool ShootFailedLoad(MainDialog& dialog, const QDir& scratch, const QDir& folder,
                     const QString& tag) {
    const QString name = "window-" + tag + "-failed-load";
    const bool told = ShootMessage(folder, name + "-message",
                                   [&] { Load(dialog, scratch.filePath("missing.mid")); });
    return Save(dialog, folder, name) && told;
}

// The folder of copies of the example, made once.
QString CopiesFolder(const QString& example, const QDir& scratch) {
    const QDir copies(scratch.filePath("Songs"));
    if (!copies.exists()) {
        QDir().mkpath(copies.path());
        for (int i = 1; i <= kCopies; ++i) {
            QFile::copy(example, copies.filePath(QString("Song%1.mid").arg(i)));
        }
    }
    return copies.path();
}

// Save over the copies, cancelled as soon as its progress shows: the progress, the summary and the
// window after it. The outputs made are removed, so each language starts from the same folder.
bool ShootCancelledSave(MainDialog& dialog, const QString& copies, const QDir& folder,
                        const QString& tag) {
    const QString name = "window-" + tag + "-cancelled-save";
    bool progressShot = false;
    QTimer cancel;
    QObject::connect(&cancel, &QTimer::timeout, [&] {
        auto* progress = dialog.findChild<SaveProgress*>("saveProgress");
        if (progress != nullptr && progress->isVisible() && !progressShot) {
            progressShot = Save(*progress, folder, "window-" + tag + "-saving");
            progress->reject();
        }
    });
    cancel.start(1);
    const bool told = ShootMessage(folder, name + "-message",
                                   [&] { Control<QPushButton>(dialog, kSave)->click(); });
    cancel.stop();
    for (const QString& output : QDir(copies).entryList({"*KRV.mid"}, QDir::Files)) {
        QFile::remove(QDir(copies).filePath(output));
    }
    return Save(dialog, folder, name) && told && progressShot;
}

bool ShootCollection(MainDialog& dialog, const QString& copies, const QDir& folder,
                     const QString& tag) {
    dialog.TakeInputs({copies.toStdString()});
    const bool ok = Save(dialog, folder, "window-" + tag + "-several-loaded");
    return ShootCancelledSave(dialog, copies, folder, tag) && ok;
}

bool ShootLanguage(Profile& profile, int language, const QString& example, const QDir& folder,
                   const QDir& scratch) {
    profile.WriteProfileInt(kKeyLanguage, language);
    MainDialog dialog(profile, {"korvane"});
    const WindowCollection collection;
    dialog.SetFileCollection(&collection);
    dialog.OnInitDialog();
    dialog.show();
    const QString tag = kLanguageTags[static_cast<size_t>(language)];
    bool ok = Save(dialog, folder, "window-" + tag + "-start");
    Load(dialog, example);
    ok = Save(dialog, folder, "window-" + tag + "-loaded") && ok;
    SaveOutput(dialog, scratch);
    ok = Save(dialog, folder, "window-" + tag + "-saved") && ok;
    ok = ShootFailedLoad(dialog, scratch, folder, tag) && ok;
    ok = ShootCollection(dialog, CopiesFolder(example, scratch), folder, tag) && ok;
    Load(dialog, example);
    const QString aboutPath = folder.filePath("about-picture-" + tag + ".png");
    ok = DrawAboutPicture(dialog, 1, 1, *AboutTextsFor(language)).save(aboutPath) && ok;
    std::cout << aboutPath.toStdString() << "\n";
    if (language != kDefaultLanguage) {
        return ok;
    }
    for (const SliderSetting& setting : kSettings) {
        Control<QSlider>(dialog, kDynamicRangeSlider)->setValue(setting.dynamicRange);
        Control<QSlider>(dialog, kVolumeSlider)->setValue(setting.volume);
        ok = Save(dialog, folder, QString("window-en-loaded-") + setting.name) && ok;
    }
    return ok;
}
} // namespace

int Main(int argc, char** argv) {
    QApplication app(argc, argv);
    const QStringList args = QApplication::arguments();
    // A profile and set-up folder of their own, so the user's are never touched.
    QTemporaryDir scratch(QDir::tempPath() + "/Korvane-XXXXXX");
    qputenv("XDG_CACHE_HOME", scratch.path().toUtf8());
    Profile profile(scratch.filePath("Korvane.ini").toStdString());
    g_programFolder = ProgramFolder();

    const QDir folder(args.value(1, "screenshots"));
    const QString example = args.size() > 2 ? args[2] : FirstExample();
    if (args.size() > 3) {
        QFont font = QApplication::font();
        font.setPointSize(args[3].toInt());
        QApplication::setFont(font);
    }
    if (!QDir().mkpath(folder.path()) || example.isEmpty()) {
        std::cerr << "usage: korvane_screenshots [OUTPUT_FOLDER [EXAMPLE.mid [POINT_SIZE]]]\n"
                     "(no example given and none found beside the program)\n";
        return 2;
    }
    bool failed = false;
    g_unexpectedMessage = [&failed](const std::string& text, MessageIcon, const std::string&) {
        std::cerr << "korvane_screenshots: " << text << "\n";
        failed = true;
    };
    SetMessageBoxHook(g_unexpectedMessage);
    bool ok = true;
    for (int language = 0; language < static_cast<int>(kLanguageTags.size()); ++language) {
        ok = ShootLanguage(profile, language, example, folder, QDir(scratch.path())) && ok;
    }
    ok = ShootPreviewAndSave(profile, example, QDir(scratch.path()), folder) && ok;
    return ok && !failed ? 0 : 1;
}
} // namespace korvane

int main(int argc, char** argv) {
    return korvane::Main(argc, argv);
}
