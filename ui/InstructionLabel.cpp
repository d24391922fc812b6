#include "ui/InstructionLabel.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QTextLayout>

#include <cmath>

namespace korvane {
namespace {
qsizetype LeadingSpaces(const QString& line) {
    qsizetype count = 0;
    while (count < line.size() && line[count] == ' ') {
        ++count;
    }
    return count;
}
} // namespace

InstructionLabel::InstructionLabel(QWidget* parent) : QLabel(parent) {
    setTextFormat(Qt::PlainText);
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setWordWrap(true);
}

int InstructionLabel::TextHeight(const QString& text, const QFont& font) const {
    return static_cast<int>(std::ceil(LayOut(text, font, nullptr)));
}

void InstructionLabel::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    painter.setPen(
        palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::WindowText));
    LayOut(text(), font(), &painter);
}

qreal InstructionLabel::LayOut(const QString& text, const QFont& font, QPainter* painter) const {
    const QFontMetricsF metrics(font, this);
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    qreal y = 0;
    qreal bottom = 0;
    for (const QString& line : text.split('\n')) {
        const qsizetype spaces = LeadingSpaces(line);
        const qreal indent = metrics.horizontalAdvance(line.left(spaces));
        QTextLayout layout(line.mid(spaces), font, this);
        layout.setTextOption(option);
        layout.beginLayout();
        bool empty = true;
        for (QTextLine row = layout.createLine(); row.isValid(); row = layout.createLine()) {
            row.setLineWidth(std::max<qreal>(width() - indent, 1));
            row.setPosition(QPointF(indent, y));
            y += metrics.lineSpacing();
            empty = false;
        }
        layout.endLayout();
        if (empty) {
            y += metrics.lineSpacing();
            continue;
        }
        bottom = y;
        if (painter != nullptr) {
            layout.draw(painter, QPointF(0, 0));
        }
    }
    // Line breaks at the end take no room: nothing is drawn there.
    return bottom;
}

} // namespace korvane
