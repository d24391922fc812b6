#include "ui/Pictures.h"
#include "ui/AboutPicture.h"

#include <QImage>
#include <QPixmap>

#include <QTest>
#include <QWidget>
#include <algorithm>
#include <cmath>

namespace korvane {
namespace {
const QColor kPartColor(0x20, 0xc0, 0x40);
const QColor kWindowColor(0xc0, 0x30, 0x30);

bool IsUniform(const QImage& image, const QRect& area) {
    const QRgb first = image.pixel(area.topLeft());
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            if (image.pixel(x, y) != first) {
                return false;
            }
        }
    }
    return true;
}

int CountColor(const QImage& image, const QColor& color) {
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            count += image.pixelColor(x, y) == color ? 1 : 0;
        }
    }
    return count;
}

void Paint(QWidget& widget, const QColor& color) {
    widget.setAutoFillBackground(true);
    QPalette palette = widget.palette();
    palette.setColor(QPalette::Window, color);
    widget.setPalette(palette);
}

// A stand-in main window with coloured parts at the given places.
std::unique_ptr<QWidget> Window(const QSize& size,
                                const std::vector<std::pair<const char*, QRect>>& parts) {
    auto window = std::make_unique<QWidget>();
    window->resize(size);
    Paint(*window, kWindowColor);
    for (const auto& [name, rect] : parts) {
        auto* part = new QWidget(window.get());
        part->setObjectName(QString::fromLatin1(name));
        part->setGeometry(rect);
        Paint(*part, kPartColor);
    }
    return window;
}

// The strips beside the window's picture where the labels go, below the title.
QRect LeftColumn(const QImage& picture) {
    return QRect(0, 40, 100, picture.height() - 40);
}
QRect RightColumn(const QImage& picture) {
    return QRect(484, 40, 100, picture.height() - 40);
}
} // namespace

class PicturesTest : public QObject {
    Q_OBJECT

  private slots:
    void fixedSizes() {
        QCOMPARE(LogoPicture(QStringLiteral("MIDI files repaired and adjusted")).size(),
                 QSize(292, 83));
        // Drawn larger for a larger font, at the screen's own pixels.
        const QPixmap large =
            LogoPicture(QStringLiteral("MIDI files repaired and adjusted"), 1.5, 2);
        QCOMPARE(large.size(), QSize(876, 249));
        QCOMPARE(large.deviceIndependentSize(), QSizeF(438, 124.5));
        QVERIFY(!IsUniform(large.toImage(), QRect(30, 30, 150, 150))); // the icon, drawn
        QCOMPARE(QuestionMarkPicture().size(), QSize(20, 28));
        QCOMPARE(DrawAboutPicture().size(), QSize(584, 444));
        for (const QSize windowSize :
             {QSize(591, 476), QSize(1200, 300), QSize(200, 900), QSize(1, 1)}) {
            auto window = Window(windowSize, {{"c1001", QRect(0, 0, 1, 1)}});
            const QSize size = DrawAboutPicture(*window).size();
            QCOMPARE(size.width(), 584);
            QVERIFY(size.height() > 100 && size.height() <= 444);
        }
    }

    void aboutPictureAtTheScreensPixelRatio() {
        auto window = Window(QSize(591, 476), {{"c1001", QRect(20, 100, 200, 20)}});
        const QPixmap plain = DrawAboutPicture(*window);
        const QPixmap sharp = DrawAboutPicture(*window, 1.5, 2);
        QCOMPARE(sharp.devicePixelRatio(), 2.0);
        QCOMPARE(sharp.width(), 584 * 3);
        QVERIFY(std::abs(sharp.deviceIndependentSize().height() - plain.height() * 1.5) <= 1);
        QCOMPARE(DrawAboutPicture(1, 2).size(), QSize(1168, 888));
    }

    void noEmptyBandAboveOrBelowTheWindow() {
        auto window = Window(QSize(591, 476), {});
        const QImage picture = DrawAboutPicture(*window).toImage();
        int top = picture.height();
        int bottom = 0;
        for (int y = 0; y < picture.height(); ++y) {
            if (picture.pixelColor(picture.width() / 2, y) == kWindowColor) {
                top = std::min(top, y);
                bottom = y;
            }
        }
        QVERIFY2(top <= 32, qPrintable(QString::number(top))); // right under the title
        QVERIFY2(picture.height() - bottom <= 10, qPrintable(QString::number(bottom)));
    }

    void calloutDotsStayOffTheirParts() {
        const QRect parts[] = {QRect(40, 380, 200, 24), QRect(420, 380, 80, 24)};
        auto window = Window(QSize(591, 476), {{"c1019", parts[0]}, {"c1015", parts[1]}});
        const QImage picture = DrawAboutPicture(*window).toImage();
        // Where each part lies in the picture: the box of its colour, left half or right half.
        for (const bool leftHalf : {true, false}) {
            QRect box;
            for (int y = 0; y < picture.height(); ++y) {
                for (int x = 0; x < picture.width(); ++x) {
                    if (picture.pixelColor(x, y) == kPartColor &&
                        (x < picture.width() / 2) == leftHalf) {
                        box |= QRect(x, y, 1, 1);
                    }
                }
            }
            QVERIFY(box.width() > 10);
            for (int y = box.top(); y <= box.bottom(); ++y) {
                for (int x = box.left(); x <= box.right(); ++x) {
                    const QColor color = picture.pixelColor(x, y);
                    QVERIFY2(!(color.red() > 0xb0 && color.blue() < 0x60 && color.green() < 0x90),
                             qPrintable(QString("%1,%2").arg(x).arg(y)));
                }
            }
        }
    }

    void picturesAreDrawn() {
        const QImage logo =
            LogoPicture(QStringLiteral("MIDI files repaired and adjusted")).toImage();
        QVERIFY(!IsUniform(logo, logo.rect()));
        const QImage mark = QuestionMarkPicture().toImage();
        QCOMPARE(mark.pixelColor(0, 0).alpha(), 0); // the button face shows around the mark
        QVERIFY(mark.pixelColor(10, 23).alpha() > 200);
        QVERIFY(!IsUniform(DrawAboutPicture().toImage(), QRect(0, 0, 584, 444)));
    }

    void iconSizes() {
        const QList<QSize> sizes = KorvaneIcon().availableSizes();
        for (const int size : {16, 32, 48, 128, 256}) {
            QVERIFY2(sizes.contains(QSize(size, size)), qPrintable(QString::number(size)));
            const QImage image = KorvaneIconImage(size);
            QCOMPARE(image.size(), QSize(size, size));
            QCOMPARE(image.pixelColor(0, 0).alpha(), 0);
            QCOMPARE(image.pixelColor(size / 2, size / 2).alpha(), 255);
        }
    }

    void aboutPictureShowsTheWindow() {
        auto window = Window(QSize(591, 476), {});
        const QImage picture = DrawAboutPicture(*window).toImage();
        QVERIFY(CountColor(picture, kWindowColor) > 100 * 100);
        QVERIFY(IsUniform(picture, LeftColumn(picture))); // no part, no callout
        QVERIFY(IsUniform(picture, RightColumn(picture)));
    }

    void calloutsGoBesideTheirParts() {
        auto left = Window(QSize(591, 476), {{"c1001", QRect(20, 100, 200, 20)}});
        QImage picture = DrawAboutPicture(*left).toImage();
        QVERIFY(!IsUniform(picture, LeftColumn(picture)));
        QVERIFY(IsUniform(picture, RightColumn(picture)));

        auto right = Window(QSize(591, 476), {{"c1009", QRect(550, 20, 27, 36)}});
        picture = DrawAboutPicture(*right).toImage();
        QVERIFY(IsUniform(picture, LeftColumn(picture)));
        QVERIFY(!IsUniform(picture, RightColumn(picture)));
    }

    void partsOutsideTheListOrHiddenGetNoCallout() {
        auto window = Window(QSize(591, 476), {{"c1003", QRect(10, 200, 500, 130)},
                                               {"c1002", QRect(500, 150, 60, 20)},
                                               {"c1015", QRect(470, 390, 80, 20)}});
        window->findChild<QWidget*>(QStringLiteral("c1015"))->hide();
        const QImage picture = DrawAboutPicture(*window).toImage();
        QVERIFY(IsUniform(picture, LeftColumn(picture)));
        QVERIFY(IsUniform(picture, RightColumn(picture)));
    }

    void everyPartGetsItsOwnLabel() {
        // All nine parts crowded into one corner: the labels must not cover each other.
        std::vector<std::pair<const char*, QRect>> parts;
        for (const char* name :
             {"c1009", "c1001", "c1007", "c1005", "c1019", "c1004", "c1010", "c1017", "c1015"}) {
            parts.emplace_back(name, QRect(5, 5, 10, 10));
        }
        auto window = Window(QSize(591, 476), parts);
        const QImage picture = DrawAboutPicture(*window).toImage();
        int labelRows = 0;
        for (int y = LeftColumn(picture).top(); y <= LeftColumn(picture).bottom(); ++y) {
            labelRows += IsUniform(picture, QRect(LeftColumn(picture).left(), y, 100, 1)) ? 0 : 1;
        }
        QVERIFY2(labelRows > 9 * 20, qPrintable(QString::number(labelRows)));
        QVERIFY(IsUniform(picture, RightColumn(picture)));
    }
};

} // namespace korvane

QTEST_MAIN(korvane::PicturesTest)

#include "PicturesTest.moc"
