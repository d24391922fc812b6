#pragma once

#include <QDialog>

class QComboBox;
class QKeyEvent;
class QPixmap;
class QShowEvent;

namespace korvane {

class DataExchange;

// The language list's control ID; it carries the objectName "c1024".
inline constexpr int kLanguageList = 1024;

// The About box: a picture explaining the main window and the language list.
// Choosing a language closes the box at once with the new index in m_languageIndex; Esc and
// the close box end it with the index unchanged; Enter does nothing.
class AboutDialog : public QDialog {
    Q_OBJECT

  public:
    explicit AboutDialog(const QPixmap& picture, QWidget* parent = nullptr);

    // The selected language, 0 German to 3 French; outside 0..3 nothing is selected.
    int m_languageIndex = 0;

  protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

  private:
    void DoDataExchange(DataExchange& dx);
    void OnLanguageChanged();

    QComboBox* m_languageList = nullptr;
};

} // namespace korvane
