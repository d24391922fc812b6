#pragma once

#include <QLabel>

class QPaintEvent;
class QPainter;

namespace korvane {

// Control 1011, the instruction text. Each line's leading spaces indent it, and a line too long
// for the control wraps under its own first word (a hanging indent) instead of at the left edge.
class InstructionLabel : public QLabel {
    Q_OBJECT
  public:
    explicit InstructionLabel(QWidget* parent = nullptr);

    // The height text takes in this control's width when set in font.
    int TextHeight(const QString& text, const QFont& font) const;

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    // Lays text out and, when painter is given, draws it; returns the bottom of its last line.
    qreal LayOut(const QString& text, const QFont& font, QPainter* painter) const;
};

} // namespace korvane
