#include "ui/DialogFit.h"

#include "ui/InstructionLabel.h"

#include <QCheckBox>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <QStyleOptionGroupBox>

namespace korvane {
namespace {
// Each try widens or heightens the units by this share.
constexpr qreal kGrowth = 1.02;
// However the texts measure, the window grows no further than this.
constexpr qreal kLargestGrowth = 3.0;

bool CaptionsFit(const std::vector<ControlCaptions>& captions) {
    for (const ControlCaptions& control : captions) {
        const QFontMetrics metrics(control.control->font());
        const QRect room = CaptionRect(*control.control);
        for (const QString& text : control.texts) {
            if (metrics.horizontalAdvance(text) > room.width() ||
                metrics.height() > room.height()) {
                return false;
            }
        }
    }
    return true;
}

bool InstructionsFit(const InstructionLabel& label, const QStringList& instructions) {
    for (const QString& text : instructions) {
        if (label.TextHeight(text, label.font()) > label.height()) {
            return false;
        }
    }
    return true;
}
} // namespace

DialogBaseUnits FittingBaseUnits(const QFont& font, const std::vector<ControlCaptions>& captions,
                                 const InstructionLabel& label, const QStringList& instructions,
                                 const std::function<void(const DialogBaseUnits&)>& layOut) {
    const DialogBaseUnits own = BaseUnitsOf(font);
    DialogBaseUnits units = own;
    for (;;) {
        layOut(units);
        const bool wide = CaptionsFit(captions);
        const bool tall = InstructionsFit(label, instructions);
        if ((wide && tall) || units.x > own.x * kLargestGrowth ||
            units.y > own.y * kLargestGrowth) {
            return units;
        }
        // A caption needs width; a text that wraps onto too many lines needs both.
        units.x *= kGrowth;
        if (!tall) {
            units.y *= kGrowth;
        }
    }
}

QRect CaptionRect(const QWidget& control) {
    const QStyle& style = *control.style();
    if (const auto* check = qobject_cast<const QCheckBox*>(&control)) {
        QStyleOptionButton option;
        option.initFrom(check);
        return style.subElementRect(QStyle::SE_CheckBoxContents, &option, check);
    }
    if (const auto* button = qobject_cast<const QPushButton*>(&control)) {
        QStyleOptionButton option;
        option.initFrom(button);
        return style.subElementRect(QStyle::SE_PushButtonContents, &option, button);
    }
    if (const auto* group = qobject_cast<const QGroupBox*>(&control)) {
        // The title starts a little way in from the frame and must end before its far side.
        QStyleOptionGroupBox option;
        option.initFrom(group);
        option.text = QString();
        option.subControls = QStyle::SC_GroupBoxLabel | QStyle::SC_GroupBoxFrame;
        const QRect label =
            style.subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxLabel, group);
        const int left = label.left();
        return QRect(left, 0, group->width() - 2 * left, group->height());
    }
    if (const auto* label = qobject_cast<const QLabel*>(&control)) {
        return label->contentsRect();
    }
    return control.rect();
}

} // namespace korvane
