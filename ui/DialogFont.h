#pragma once

#include <QFont>
#include <QString>
#include <QStringList>

#include <vector>

class QWidget;

namespace korvane {

class InstructionLabel;

struct Caption {
    const QWidget* control;
    QString text;
};

// One font for the whole window: the largest size, from font's own down to 6 points in half
// points, at which every caption fits its control and every instruction text fits label; the
// smallest when none does.
QFont FittingDialogFont(QFont font, const std::vector<Caption>& captions,
                        const InstructionLabel& label, const QStringList& instructions);

// The width a control leaves its caption once its frame, indicator or padding is taken.
int CaptionRoom(const QWidget& control);

} // namespace korvane
