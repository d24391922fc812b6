#include "ui/LevelView.h"
#include "gfx/LevelPlot.h"
#include "tests/gfx/CapturedPicture.h"

#include <QEvent>
#include <QImage>
#include <QPixmap>
#include <QtTest>

#include <vector>

namespace korvane {
namespace {

// Counts the paint events a widget receives.
class PaintCounter : public QObject {
  public:
    bool eventFilter(QObject* /*watched*/, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            ++m_paints;
        }
        return false;
    }
    int m_paints = 0;
};

std::vector<uint8_t> SomeLevels() {
    std::vector<uint8_t> levels;
    for (int i = 0; i < 3000; ++i) {
        levels.push_back(static_cast<uint8_t>((i * 37) % 140));
    }
    return levels;
}

QImage Expected(int width, int height, const std::vector<uint8_t>& levels, int dynamicRange,
                int volume) {
    CapturedPicture captured;
    DrawLevelPlot(captured, width, height, levels, dynamicRange, volume);
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const COLORREF c = captured.At(x, y);
            image.setPixel(x, y, qRgb(GetRValue(c), GetGValue(c), GetBValue(c)));
        }
    }
    return image;
}

} // namespace

class LevelViewTest : public QObject {
    Q_OBJECT
  private slots:
    void keepsThePlotOfItsClientArea() {
        LevelView view;
        view.resize(524, 144);
        QCOMPARE(view.contentsRect().size(), QSize(520, 140));
        const std::vector<uint8_t> levels = SomeLevels();
        view.Redraw(levels, 700, 350);
        QCOMPARE(view.Picture().size(), QSize(520, 140));
        QCOMPARE(view.Picture().convertToFormat(QImage::Format_RGB32),
                 Expected(520, 140, levels, 700, 350));
    }

    void paintsThePictureOneToOneInsideABlackFrame() {
        LevelView view;
        view.resize(124, 84);
        view.Redraw(SomeLevels(), 500, 500);
        const QImage shown = view.grab().toImage().convertToFormat(QImage::Format_RGB32);
        QCOMPARE(shown.size(), QSize(124, 84));
        QCOMPARE(shown.copy(view.contentsRect()),
                 view.Picture().convertToFormat(QImage::Format_RGB32));
        QCOMPARE(QColor(shown.pixel(1, 1)), QColor(Qt::black));
        QCOMPARE(QColor(shown.pixel(122, 82)), QColor(Qt::black));
        QCOMPARE(QColor(shown.pixel(60, 1)), QColor(Qt::black));
    }

    void emptyLevelsShowTheReferenceLineOnly() {
        LevelView view;
        view.resize(104, 132); // client area 100 x 128: y0 = 64
        view.Redraw({}, 500, 500);
        const QImage& picture = view.Picture();
        for (int y = 0; y < picture.height(); ++y) {
            for (int x = 0; x < picture.width(); ++x) {
                const QRgb expected =
                    y == 64 && x % 24 < 18 ? qRgb(200, 0, 0) : qRgb(255, 255, 255);
                QCOMPARE(picture.pixel(x, y), expected);
            }
        }
    }

    void redrawSchedulesAPaint() {
        LevelView view;
        view.resize(124, 84);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        PaintCounter counter;
        view.installEventFilter(&counter);
        view.Redraw(SomeLevels(), 500, 500);
        QTRY_VERIFY(counter.m_paints > 0);
    }

    void tooSmallForAClientAreaKeepsThePicture() {
        LevelView view;
        view.resize(104, 132);
        view.Redraw(SomeLevels(), 500, 500);
        const QImage before = view.Picture();
        view.resize(3, 3);
        view.Redraw(SomeLevels(), 0, 0);
        QCOMPARE(view.Picture(), before);
        view.grab(); // painting with a picture larger than the client area is clipped
    }
};

} // namespace korvane

QTEST_MAIN(korvane::LevelViewTest)

#include "LevelViewTest.moc"
