// Writes the program icon as PNG files in the folder layout of the hicolor icon theme:
// <folder>/<size>x<size>/apps/korvane.png. Run by the build; the files are installed.
#include "ui/Pictures.h"

#include <QDir>
#include <QString>

#include <cstdio>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <icon theme folder>\n", argv[0]);
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    for (const int size : {16, 32, 48, 128, 256}) {
        const QString apps = QStringLiteral("%1/%2x%2/apps").arg(folder).arg(size);
        const QString file = apps + QStringLiteral("/korvane.png");
        if (!QDir().mkpath(apps) || !korvane::KorvaneIconImage(size).save(file, "PNG")) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(file));
            return 1;
        }
    }
    return 0;
}
