#include "ui/DialogFont.h"

#include "ui/InstructionLabel.h"

#include <QCheckBox>
#include <QFontMetrics>
#include <QGroupBox>
#include <QPushButton>
#include <QStyle>

namespace korvane {
namespace {
constexpr qreal kSmallestPointSize = 6.0;
constexpr qreal kPointSizeStep = 0.5;
// Room kept between a button's frame and its caption, so that the two never touch.
constexpr int kButtonPadding = 2;
// A group box's title starts a little way in from its frame.
constexpr int kGroupTitleMargin = 16;

bool Fits(const QFont& font, const std::vector<Caption>& captions, const InstructionLabel& label,
          const QStringList& instructions) {
    const QFontMetrics metrics(font);
    for (const Caption& caption : captions) {
        if (metrics.horizontalAdvance(caption.text) > CaptionRoom(*caption.control)) {
            return false;
        }
    }
    for (const QString& text : instructions) {
        if (label.TextHeight(text, font) > label.height()) {
            return false;
        }
    }
    return true;
}
} // namespace

QFont FittingDialogFont(QFont font, const std::vector<Caption>& captions,
                        const InstructionLabel& label, const QStringList& instructions) {
    while (font.pointSizeF() > kSmallestPointSize && !Fits(font, captions, label, instructions)) {
        font.setPointSizeF(font.pointSizeF() - kPointSizeStep);
    }
    return font;
}

int CaptionRoom(const QWidget& control) {
    const QStyle& style = *control.style();
    int margin = 0;
    if (qobject_cast<const QCheckBox*>(&control) != nullptr) {
        margin = style.pixelMetric(QStyle::PM_IndicatorWidth) +
                 style.pixelMetric(QStyle::PM_CheckBoxLabelSpacing) + 2;
    } else if (qobject_cast<const QPushButton*>(&control) != nullptr) {
        margin = 2 * (style.pixelMetric(QStyle::PM_DefaultFrameWidth) + kButtonPadding);
    } else if (qobject_cast<const QGroupBox*>(&control) != nullptr) {
        margin = kGroupTitleMargin;
    }
    return control.width() - margin;
}

} // namespace korvane
