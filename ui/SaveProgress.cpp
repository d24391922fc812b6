#include "ui/SaveProgress.h"

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>

namespace korvane {
namespace {
// Often enough to look live, seldom enough to cost the run nothing.
constexpr int kUpdateMs = 100;
} // namespace

SaveProgress::SaveProgress(const QString& text, const QString& cancel, const QLocale& locale,
                           size_t total, QWidget* parent)
    : QDialog(parent), m_total(total), m_text(text), m_locale(locale), m_label(new QLabel(this)),
      m_bar(new QProgressBar(this)), m_cancel(new QPushButton(cancel, this)) {
    setObjectName("saveProgress");
    setWindowTitle("Korvane");
    setWindowModality(Qt::WindowModal);
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::CustomizeWindowHint);
    m_label->setObjectName("saveProgressText");
    m_cancel->setObjectName("saveProgressCancel");
    m_bar->setTextVisible(false);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_label);
    layout->addWidget(m_bar);
    layout->addWidget(m_cancel, 0, Qt::AlignRight);
    setMinimumWidth(320);
    connect(m_cancel, &QPushButton::clicked, this, &SaveProgress::reject);
    auto* timer = new QTimer(this);
    connect(timer, &QTimer::timeout, this, &SaveProgress::Update);
    timer->start(kUpdateMs);
    Update();
}

void SaveProgress::reject() {
    m_stopAsked = true;
    m_cancel->setEnabled(false);
}

void SaveProgress::Update() {
    const size_t total = m_total;
    const size_t saving = std::min(m_converted + 1, total);
    const QString text = m_text.arg(m_locale.toString(static_cast<qulonglong>(saving)),
                                    m_locale.toString(static_cast<qulonglong>(total)));
    m_label->setText(text);
    // A screen reader names the bar by what it counts.
    m_bar->setAccessibleName(text);
    m_bar->setRange(0, static_cast<int>(std::min<size_t>(total, INT32_MAX)));
    m_bar->setValue(static_cast<int>(std::min<size_t>(m_converted, INT32_MAX)));
}

} // namespace korvane
