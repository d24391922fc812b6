#pragma once

#include <QDialog>

class QComboBox;
class QKeyEvent;
class QLabel;
class QPixmap;
class QShowEvent;

namespace korvane {

class DataExchange;

// The language list's control ID; it carries the objectName "c1024".
inline constexpr int kLanguageList = 1024;

// The About box: a picture explaining the main window and the language list.
// The arrow keys move through the list without choosing; Enter or Space on the list, or a click
// in its drop-down, chooses a language and closes the box at once with the new index in
// m_languageIndex. Esc and the close box end it with the index unchanged; Enter elsewhere does
// nothing.
class AboutDialog : public QDialog {
    Q_OBJECT

  public:
    explicit AboutDialog(const QPixmap& picture, QWidget* parent = nullptr);

    // What a screen reader hears: the picture's title and its callouts as text; and the language
    // list's label.
    void Describe(const QString& pictureName, const QString& pictureText, const QString& listName);

    // How much larger than its 584 x 444 pixels the picture is drawn for the desktop's font.
    static qreal PictureScale();

    // The selected language, 0 German to 3 French; outside 0..3 nothing is selected.
    int m_languageIndex = 0;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

  private:
    void DoDataExchange(DataExchange& dx);
    void OnLanguageChanged();
    // A key on the closed list: true when it moved through the list or chose.
    bool OnListKey(const QKeyEvent& key);

    QComboBox* m_languageList = nullptr;
    QLabel* m_picture = nullptr;
    QLabel* m_listLabel = nullptr;
};

} // namespace korvane
