#include "ui/Pictures.h"

#include <QFont>
#include <QFontMetrics>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include <array>

namespace korvane {
namespace {
const QColor kDeepBlue(0x1d, 0x3b, 0x6e);
const QColor kBlue(0x2f, 0x6f, 0xb3);
const QColor kOrange(0xf0, 0x8a, 0x24);

QImage TransparentImage(int width, int height) {
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

// The largest bold font whose rendering of text fits the box.
QFont FittingFont(const QString& text, const QSizeF& box, bool italic) {
    QFont font(QStringLiteral("Sans Serif"));
    font.setStyleHint(QFont::SansSerif);
    font.setBold(true);
    font.setItalic(italic);
    for (int pixels = static_cast<int>(box.height()); pixels > 6; --pixels) {
        font.setPixelSize(pixels);
        const QRect bounds = QFontMetrics(font).tightBoundingRect(text);
        if (bounds.width() <= box.width() && bounds.height() <= box.height()) {
            break;
        }
    }
    return font;
}

void DrawText(QPainter& painter, const QRectF& box, const QString& text, const QColor& color,
              bool italic) {
    painter.setFont(FittingFont(text, box.size(), italic));
    painter.setPen(color);
    painter.drawText(box, Qt::AlignLeft | Qt::AlignVCenter, text);
}
} // namespace

QImage KorvaneIconImage(int size) {
    QImage image = TransparentImage(size, size);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(size / 64.0, size / 64.0); // drawn on a 64 x 64 grid

    QLinearGradient background(0, 0, 0, 64);
    background.setColorAt(0, kBlue);
    background.setColorAt(1, kDeepBlue);
    painter.setPen(Qt::NoPen);
    painter.setBrush(background);
    painter.drawRoundedRect(QRectF(2, 2, 60, 60), 12, 12);

    // A row of level bars, as the main window plots the velocities of a file.
    constexpr std::array<double, 5> kHeights = {22, 34, 44, 28, 38};
    for (size_t i = 0; i < kHeights.size(); ++i) {
        const QRectF bar(10 + 9.5 * static_cast<double>(i), 54 - kHeights[i], 6.5, kHeights[i]);
        painter.setBrush(QColor(0xe8, 0xf1, 0xfb));
        painter.drawRoundedRect(bar, 1.5, 1.5);
        painter.setBrush(kOrange);
        painter.drawRoundedRect(QRectF(bar.x(), bar.y(), bar.width(), 5), 1.5, 1.5);
    }
    return image;
}

QPixmap LogoPicture(const QString& tagline, qreal scale, qreal pixelRatio) {
    QImage image((QSizeF(kLogoSize) * scale * pixelRatio).toSize(),
                 QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(pixelRatio);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.scale(scale, scale);

    QLinearGradient background(0, 0, kLogoSize.width(), kLogoSize.height());
    background.setColorAt(0, Qt::white);
    background.setColorAt(1, QColor(0xd6, 0xe4, 0xf5));
    painter.fillRect(QRect(QPoint(), kLogoSize), background);
    // The icon drawn at the pixels it covers, so it stays sharp at any scale.
    QImage icon = KorvaneIconImage(qRound(65 * scale * pixelRatio));
    icon.setDevicePixelRatio(scale * pixelRatio);
    painter.drawImage(QPointF(9, 9), icon);

    DrawText(painter, QRectF(86, 6, 198, 48), QStringLiteral("Korvane"), kDeepBlue, true);
    DrawText(painter, QRectF(88, 56, 194, 18), tagline, kBlue, false);
    painter.setPen(QPen(kOrange, 2));
    painter.drawLine(QPointF(88, 55), QPointF(282, 55));
    return QPixmap::fromImage(image);
}

QPixmap QuestionMarkPicture() {
    QImage image = TransparentImage(20, 28);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);

    QPainterPath hook;
    hook.moveTo(5, 8.5);
    hook.arcTo(QRectF(5, 3.5, 10, 10), 180, -270); // over the top, round to below the middle
    hook.lineTo(10, 17.5);
    painter.setPen(QPen(kBlue, 3.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.drawPath(hook);
    painter.setPen(Qt::NoPen);
    painter.setBrush(kBlue);
    painter.drawEllipse(QPointF(10, 23.5), 2.2, 2.2);
    return QPixmap::fromImage(image);
}

QIcon KorvaneIcon() {
    QIcon icon;
    for (const int size : {16, 32, 48, 128, 256}) {
        icon.addPixmap(QPixmap::fromImage(KorvaneIconImage(size)));
    }
    return icon;
}

} // namespace korvane
