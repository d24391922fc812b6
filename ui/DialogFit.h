#pragma once

#include "platform/gui/DialogUnits.h"

#include <QFont>
#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

class QWidget;

namespace korvane {

class InstructionLabel;

// The texts a control may show, one per language.
struct ControlCaptions {
    const QWidget* control;
    QStringList texts;
};

// The window's base units: those of font, widened and heightened in small steps until every
// caption fits its control and every instruction text fits label, as layOut places the
// controls for the units tried. The window grows; the font never shrinks.
DialogBaseUnits FittingBaseUnits(const QFont& font, const std::vector<ControlCaptions>& captions,
                                 const InstructionLabel& label, const QStringList& instructions,
                                 const std::function<void(const DialogBaseUnits&)>& layOut);

// The room a control leaves its caption once its frame, indicator or padding is taken.
QRect CaptionRect(const QWidget& control);

} // namespace korvane
