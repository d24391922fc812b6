#include "ui/ElidedLabel.h"

#include <QEvent>
#include <QFontMetrics>
#include <QResizeEvent>

#include <algorithm>

namespace korvane {

ElidedLabel::ElidedLabel(QWidget* parent) : QLabel(parent) {
    setTextFormat(Qt::PlainText);
    // The label takes the width it is given; its text adapts, never the layout.
    setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    setMinimumWidth(0);
}

void ElidedLabel::SetFullText(const QString& text) {
    m_fullText = text;
    setToolTip(text);
    setAccessibleDescription(text);
    Elide();
}

void ElidedLabel::resizeEvent(QResizeEvent* event) {
    QLabel::resizeEvent(event);
    Elide();
}

void ElidedLabel::changeEvent(QEvent* event) {
    QLabel::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        Elide();
    }
}

void ElidedLabel::Elide() {
    const int room = contentsRect().width();
    setText(fontMetrics().elidedText(m_fullText, Qt::ElideMiddle, std::max(room, 0)));
}

} // namespace korvane
