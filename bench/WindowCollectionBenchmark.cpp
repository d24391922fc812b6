// How long the window's event loop is kept from running while Save converts a folder of small
// files through the collection run: a 1 ms timer on the window's thread records the longest gap
// between its ticks. With a folder given, also writes pictures of the window holding the files,
// of the progress dialog and of the summary (two of the files broken), in English and German.
// Usage: window_collection_benchmark [FILES [PICTURE_FOLDER]]
#include "app/WindowCollection.h"
#include "platform/Profile.h"
#include "platform/gui/MessageBox.h"
#include "ui/MainDialog.h"
#include "ui/ProgramFolderGlobal.h"
#include "ui/SaveProgress.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QMessageBox>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace korvane {
namespace {
const QByteArray kSong = QByteArray::fromHex("4d546864 00000006 0000 0001 0060 4d54726b 0000000c"
                                             "00 903c40 3c 803c40 00 ff2f00");

// A RIFF file without MIDI data: it can not be opened.
const QByteArray kWave = QByteArray::fromHex("52494646 0c000000 57415645 64617461 00000000");

// broken: how many of the files, spread out, can not be converted.
void WriteFolder(const QString& folder, int files, int broken) {
    QDir().mkpath(folder);
    for (int i = 0; i < files; ++i) {
        QFile file(folder + QString("/song%1.mid").arg(i, 5, 10, QChar('0')));
        const QByteArray& bytes =
            broken > 0 && i % (files / broken) == files / broken / 2 ? kWave : kSong;
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(file.fileName()));
            std::exit(1);
        }
    }
}

// The window with a dialog over its middle, as a desktop shows them.
QPixmap Over(QWidget& window, QWidget& dialog) {
    QPixmap picture = window.grab();
    const QPixmap top = dialog.grab();
    QPainter painter(&picture);
    painter.drawPixmap((picture.width() - top.width()) / 2, (picture.height() - top.height()) / 2,
                       top);
    return picture;
}

void SavePicture(const QPixmap& picture, const QString& path) {
    if (!picture.save(path)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
    } else {
        std::printf("picture: %s\n", qPrintable(path));
    }
}

// One Save over the folder; returns the longest gap between the timer's ticks in ms.
double TimedSave(MainDialog& dialog, const QString& pictures, const QString& tag) {
    QElapsedTimer sinceTick;
    qint64 longest = 0;
    bool progressShot = pictures.isEmpty();
    QTimer tick;
    tick.setTimerType(Qt::PreciseTimer);
    QObject::connect(&tick, &QTimer::timeout, [&] {
        longest = std::max(longest, sinceTick.nsecsElapsed());
        sinceTick.restart();
        auto* progress = dialog.findChild<SaveProgress*>("saveProgress");
        auto* bar = progress != nullptr ? progress->findChild<QProgressBar*>() : nullptr;
        if (!progressShot && bar != nullptr && progress->isVisible() && bar->value() > 0) {
            progressShot = true;
            SavePicture(Over(dialog, *progress), pictures + "/progress-" + tag + ".png");
        }
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box != nullptr && box->isVisible()) {
            if (!pictures.isEmpty()) {
                SavePicture(Over(dialog, *box), pictures + "/summary-" + tag + ".png");
            }
            box->accept();
        }
    });
    tick.start(1);
    sinceTick.start();
    QElapsedTimer run;
    run.start();
    dialog.findChild<QPushButton*>("c1002")->click();
    std::printf("%s: save of the folder took %.2f s, longest event-loop block %.1f ms\n",
                qPrintable(tag), run.nsecsElapsed() / 1e9, longest / 1e6);
    return longest / 1e6;
}
} // namespace
} // namespace korvane

int main(int argc, char** argv) {
    using namespace korvane;
    QApplication app(argc, argv);
    const int files = argc > 1 ? std::atoi(argv[1]) : 2000;
    const QString pictures = argc > 2 ? QString(argv[2]) : QString();
    QTemporaryDir dir;
    qputenv("XDG_CONFIG_HOME", dir.filePath("config").toUtf8());
    g_programFolder = dir.filePath("program").toStdString();
    WindowCollection collection;
    const std::vector<std::pair<int, QString>> languages =
        pictures.isEmpty() ? std::vector<std::pair<int, QString>>{{1, "en"}}
                           : std::vector<std::pair<int, QString>>{{1, "en"}, {0, "de"}};
    for (const auto& [language, tag] : languages) {
        const QString folder = dir.filePath("songs-" + tag);
        // The pictures show a summary with files that failed.
        WriteFolder(folder, files, pictures.isEmpty() ? 0 : 2);
        Profile profile;
        MainDialog dialog(profile, {"korvane"});
        dialog.SetFileCollection(&collection);
        dialog.OnInitDialog();
        dialog.SetLanguage(language);
        dialog.show();
        dialog.TakeInputs({folder.toStdString()});
        if (!pictures.isEmpty()) {
            SavePicture(dialog.grab(), pictures + "/loaded-" + tag + ".png");
        }
        TimedSave(dialog, pictures, tag);
    }
    return 0;
}
