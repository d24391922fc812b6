#pragma once

#include <QDialog>
#include <QLocale>

#include <atomic>
#include <cstddef>

class QLabel;
class QProgressBar;
class QPushButton;

namespace korvane {

// The progress of a Save over several files, over the window while the run goes on elsewhere:
// "Saving file %1 of %2…" and Cancel. It reads the run's counts a few times a second and never
// waits for the run. Cancel, Escape and the close button all only ask the run to stop; the dialog
// stays until the run has ended, so nothing can be started meanwhile.
class SaveProgress : public QDialog {
    Q_OBJECT
  public:
    // text holds %1 (the file being saved) and %2 (their number), grouped as locale writes them.
    SaveProgress(const QString& text, const QString& cancel, const QLocale& locale, size_t total,
                 QWidget* parent);

    // Written by the run's thread.
    std::atomic<size_t> m_converted{0};
    std::atomic<size_t> m_total;
    // Read by the run's thread.
    std::atomic<bool> m_stopAsked{false};

  public slots:
    void reject() override;

  private:
    void Update();

    const QString m_text;
    const QLocale m_locale;
    QLabel* m_label;
    QProgressBar* m_bar;
    QPushButton* m_cancel;
};

} // namespace korvane
