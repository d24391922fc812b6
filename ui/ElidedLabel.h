#pragma once

#include <QLabel>
#include <QString>

class QResizeEvent;

namespace korvane {

// A one-line text that never runs past its edge: too long for its width, it is shortened in the
// middle with "…", and the whole text is its tooltip and accessible description.
class ElidedLabel : public QLabel {
    Q_OBJECT
  public:
    explicit ElidedLabel(QWidget* parent = nullptr);

    void SetFullText(const QString& text);
    const QString& FullText() const { return m_fullText; }

  protected:
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

  private:
    void Elide();

    QString m_fullText;
};

} // namespace korvane
