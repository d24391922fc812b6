#include "ui/LevelView.h"

#include <QPaintEvent>
#include <QPainter>
#include <QPalette>

#include <cstddef>

namespace korvane {

LevelView::LevelView(QWidget* parent) : QFrame(parent) {
    setObjectName("levelFrame");
    // Two frame pixels: a sunken edge outside, a black line inside.
    setFrameStyle(QFrame::Box | QFrame::Sunken);
    setLineWidth(1);
    setMidLineWidth(0);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void LevelView::Redraw(const std::vector<uint8_t>& levels, int dynamicRange, int volume,
                       bool unmappedMarked, const PlottedPeak& peak) {
    // The surface has one pixel per device pixel, so the copy stays 1:1 on scaled screens too.
    const qreal ratio = devicePixelRatioF();
    const QRect client = contentsRect();
    const int width = qRound(client.width() * ratio);
    const int height = qRound(client.height() * ratio);
    DrawLevelPlot(*this, width, height, levels, dynamicRange, volume, unmappedMarked, peak);
}

const QImage& LevelView::Picture() const {
    return m_picture;
}

void LevelView::ShowPicture(int x, int y, int width, int height, int stride,
                            const uint8_t* bottomUpRows) {
    if (m_picture.width() != width || m_picture.height() != height) {
        m_picture = QImage(width, height, QImage::Format_RGB32);
    }
    m_picture.setDevicePixelRatio(devicePixelRatioF());
    for (int row = 0; row < height; ++row) {
        const uint8_t* source =
            bottomUpRows + static_cast<std::ptrdiff_t>(height - 1 - row) * stride;
        auto* target = reinterpret_cast<QRgb*>(m_picture.scanLine(row));
        for (int column = 0; column < width; ++column, source += 3) {
            target[column] = qRgb(source[2], source[1], source[0]);
        }
    }
    m_pictureOrigin = QPoint(x, y);
    update();
}

void LevelView::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    const QRect outer = rect();
    const QRect client = contentsRect();
    // Nothing drawn yet (or a smaller picture): the uncovered client area stays white.
    painter.fillRect(client, Qt::white);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    if (!m_picture.isNull()) {
        painter.setClipRect(client);
        const qreal ratio = m_picture.devicePixelRatio();
        painter.drawImage(client.topLeft() + m_pictureOrigin / ratio, m_picture);
        painter.setClipping(false);
    }
    // Sunken edge (shadow top and left, light bottom and right) around a black line.
    painter.setPen(palette().color(QPalette::Dark));
    painter.drawLine(outer.topLeft(), outer.topRight());
    painter.drawLine(outer.topLeft(), outer.bottomLeft());
    painter.setPen(palette().color(QPalette::Light));
    painter.drawLine(outer.bottomLeft(), outer.bottomRight());
    painter.drawLine(outer.topRight(), outer.bottomRight());
    painter.setPen(Qt::black);
    painter.drawRect(outer.adjusted(1, 1, -2, -2));
}

} // namespace korvane
