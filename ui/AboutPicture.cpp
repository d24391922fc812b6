#include "ui/AboutPicture.h"

#include "ui/ControlId.h"
#include "ui/Pictures.h"

#include <QFontMetrics>
#include <QPainter>
#include <QWidget>
#include <QtMath>

#include <algorithm>
#include <vector>

namespace korvane {
namespace {
constexpr int kWidth = 584;
constexpr int kHeight = 444;
constexpr int kMargin = 6;
constexpr int kColumnWidth = 104; // the labels beside the window
constexpr int kTitleHeight = 28;
constexpr int kLabelGap = 6;
// Between a callout's dot and the edge of the part it names.
constexpr double kDotGap = 4.5;

const QColor kBackground(0xf4, 0xf6, 0xfa);
const QColor kInk(0x1a, 0x2a, 0x44);
const QColor kCallout(0xd2, 0x69, 0x1e);

// The parts in the order of AboutTexts::callouts.
constexpr ControlId kParts[] = {kAbout,        kInputPath,   kOutputPath,
                                kVolumeSlider, kStuckNotes,  kDynamicRangeSlider,
                                kPlayer,       kSpeedSlider, kReset};
static_assert(std::size(kParts) == std::size(AboutTexts{}.callouts));

struct Callout {
    QString text;
    QPointF anchor; // the middle of the part in the picture
    QRectF box;     // where the label goes
};

QFont TextFont(int pixels, bool bold) {
    QFont font(QStringLiteral("Sans Serif"));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(pixels);
    font.setBold(bold);
    return font;
}

// A canvas of kWidth x kHeight drawing units, scale pixels each, pixelRatio device pixels per
// pixel.
QImage BlankCanvas(qreal scale, qreal pixelRatio) {
    QImage canvas(qRound(kWidth * scale * pixelRatio), qRound(kHeight * scale * pixelRatio),
                  QImage::Format_RGB32);
    canvas.setDevicePixelRatio(pixelRatio);
    canvas.fill(kBackground);
    return canvas;
}

void DrawTitle(QPainter& painter, const QString& title) {
    painter.setFont(TextFont(15, true));
    painter.setPen(kInk);
    painter.drawText(QRect(kMargin, 0, kWidth - 2 * kMargin, kTitleHeight),
                     Qt::AlignLeft | Qt::AlignVCenter, title);
}

// The window's picture, scaled to fit between the two label columns.
QRectF ShotRect(const QSize& windowSize) {
    const QRectF area(kColumnWidth + 2 * kMargin, kTitleHeight,
                      kWidth - 2 * (kColumnWidth + 2 * kMargin), kHeight - kTitleHeight - kMargin);
    const QSizeF size = QSizeF(windowSize).scaled(area.size(), Qt::KeepAspectRatio);
    // Right under the title: no empty band above the window.
    return QRectF(area.x() + (area.width() - size.width()) / 2, area.y(), size.width(),
                  size.height());
}

std::vector<Callout> FindCallouts(QWidget& window, const QRectF& shot, const QFont& font,
                                  const AboutTexts& texts) {
    const double scale = shot.width() / window.width();
    std::vector<Callout> callouts;
    for (size_t i = 0; i < std::size(kParts); ++i) {
        const auto* widget =
            window.findChild<QWidget*>(QStringLiteral("c%1").arg(static_cast<int>(kParts[i])));
        if (widget == nullptr || widget->isHidden()) {
            continue;
        }
        const QRectF rect(widget->mapTo(&window, QPoint(0, 0)), widget->size());
        // The dot sits just outside the part, on the side of its label, never on its words.
        const bool labelOnLeft = shot.left() + rect.center().x() * scale < shot.center().x();
        const QPointF edge(labelOnLeft ? rect.left() : rect.right(), rect.center().y());
        const QPointF anchor =
            shot.topLeft() + edge * scale + QPointF(labelOnLeft ? -kDotGap : kDotGap, 0);
        const QString text = QString::fromUtf8(texts.callouts[i]);
        const QRect bounds = QFontMetrics(font).boundingRect(QRect(0, 0, kColumnWidth - 8, kHeight),
                                                             Qt::TextWordWrap, text);
        callouts.push_back({text, anchor, QRectF(0, 0, kColumnWidth, bounds.height() + 6)});
    }
    return callouts;
}

// Stacks the labels of one column in the order of their parts, each as near its part as the
// labels above and below it allow.
void PlaceColumn(std::vector<Callout*>& column, double x) {
    std::sort(column.begin(), column.end(),
              [](const Callout* a, const Callout* b) { return a->anchor.y() < b->anchor.y(); });
    double nextTop = kTitleHeight;
    for (Callout* callout : column) {
        const double wanted = callout->anchor.y() - callout->box.height() / 2;
        callout->box.moveTo(x, std::max(wanted, nextTop));
        nextTop = callout->box.bottom() + kLabelGap;
    }
    double lowestBottom = kHeight - kMargin;
    for (auto it = column.rbegin(); it != column.rend(); ++it) {
        if ((*it)->box.bottom() > lowestBottom) {
            (*it)->box.moveBottom(lowestBottom);
        }
        lowestBottom = (*it)->box.top() - kLabelGap;
    }
}

void PlaceCallouts(std::vector<Callout>& callouts, const QRectF& shot) {
    std::vector<Callout*> left;
    std::vector<Callout*> right;
    for (Callout& callout : callouts) {
        (callout.anchor.x() < shot.center().x() ? left : right).push_back(&callout);
    }
    PlaceColumn(left, kMargin);
    PlaceColumn(right, kWidth - kMargin - kColumnWidth);
}

void DrawCallout(QPainter& painter, const Callout& callout) {
    const bool onLeft = callout.box.center().x() < callout.anchor.x();
    const QPointF start(onLeft ? callout.box.right() : callout.box.left(),
                        callout.box.center().y());
    painter.setPen(QPen(Qt::white, 4, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(start, callout.anchor);
    painter.setPen(QPen(kCallout, 1.6, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(start, callout.anchor);
    painter.setBrush(kCallout);
    painter.setPen(QPen(Qt::white, 1.2));
    painter.drawEllipse(callout.anchor, 3.5, 3.5);

    painter.setBrush(Qt::white);
    painter.setPen(QPen(kCallout, 1.2));
    painter.drawRoundedRect(callout.box.adjusted(0.5, 0.5, -0.5, -0.5), 4, 4);
    painter.setPen(kInk);
    painter.drawText(callout.box.adjusted(4, 3, -4, -3), Qt::AlignCenter | Qt::TextWordWrap,
                     callout.text);
}
} // namespace

QPixmap DrawAboutPicture(QWidget& mainWindow, qreal scale, qreal pixelRatio,
                         const AboutTexts& texts) {
    QImage shot = mainWindow.grab().toImage();
    if (shot.isNull() || mainWindow.width() <= 0 || mainWindow.height() <= 0) {
        return DrawAboutPicture(scale, pixelRatio, texts);
    }
    QImage canvas = BlankCanvas(scale, pixelRatio);
    const QRectF shotRect = ShotRect(mainWindow.size());
    QPainter painter(&canvas);
    painter.scale(scale, scale);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    DrawTitle(painter, QString::fromUtf8(texts.glance));
    shot.setDevicePixelRatio(1);
    painter.drawImage(shotRect, shot);
    painter.setPen(QPen(QColor(0x8a, 0x96, 0xa8), 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(shotRect.adjusted(-0.5, -0.5, 0.5, 0.5));

    const QFont font = TextFont(12, true);
    painter.setFont(font);
    std::vector<Callout> callouts = FindCallouts(mainWindow, shotRect, font, texts);
    PlaceCallouts(callouts, shotRect);
    double bottom = shotRect.bottom();
    for (const Callout& callout : callouts) {
        DrawCallout(painter, callout);
        bottom = std::max(bottom, callout.box.bottom());
    }
    painter.end();
    // Only as tall as what it shows: no empty band below the window either.
    const int height = std::min(canvas.height(), qCeil((bottom + kMargin) * scale * pixelRatio));
    return QPixmap::fromImage(canvas.copy(0, 0, canvas.width(), height));
}

QPixmap DrawAboutPicture(qreal scale, qreal pixelRatio, const AboutTexts& texts) {
    QImage canvas = BlankCanvas(scale, pixelRatio);
    QPainter painter(&canvas);
    painter.scale(scale, scale);
    painter.setRenderHint(QPainter::Antialiasing);
    DrawTitle(painter, QString::fromUtf8(texts.title));
    const QPixmap logo = LogoPicture(QString::fromUtf8(texts.tagline));
    painter.drawPixmap((kWidth - logo.width()) / 2, 120, logo);
    painter.setFont(TextFont(13, false));
    painter.setPen(kInk);
    painter.drawText(QRect(kMargin, 230, kWidth - 2 * kMargin, 80),
                     Qt::AlignHCenter | Qt::AlignTop | Qt::TextWordWrap,
                     QString::fromUtf8(texts.aboutText));
    return QPixmap::fromImage(canvas);
}

} // namespace korvane
