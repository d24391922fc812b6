#include "ui/AboutDialog.h"

#include "platform/gui/DataExchange.h"
#include "platform/gui/Ddx.h"
#include "platform/gui/DialogUnits.h"

#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QShowEvent>

#include <algorithm>

namespace korvane {
namespace {
const QRect kDialogUnits(0, 0, 405, 311);
const QRect kPictureUnits(7, 30, 391, 274);
const QRect kLanguageListUnits(331, 7, 67, 67);
const QSizeF kPictureSize(584, 444);

const char* const kLanguageNames[] = {"Deutsch", "English", "Español", "Français"};

// The list keeps its entries in alphabetical order, whatever order they are added in.
void AddSorted(QComboBox& list, const QString& text) {
    int position = 0;
    while (position < list.count() &&
           QString::localeAwareCompare(list.itemText(position), text) < 0) {
        ++position;
    }
    list.insertItem(position, text);
}
} // namespace

qreal AboutDialog::PictureScale() {
    const QRect room = DialogUnitsToPixels(kPictureUnits, BaseUnitsOf(QApplication::font()));
    return std::max(
        1.0, std::min(room.width() / kPictureSize.width(), room.height() / kPictureSize.height()));
}

AboutDialog::AboutDialog(const QPixmap& picture, QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("About Korvane"));
    // The desktop's font, as in the main window; the box grows with it.
    setFont(QApplication::font());
    const DialogBaseUnits units = BaseUnitsOf(font());

    // Like a bitmap static, the picture control takes the picture's size at its position.
    auto* pictureLabel = m_picture = new QLabel(this);
    pictureLabel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    pictureLabel->setLineWidth(1);
    pictureLabel->setPixmap(picture);
    const int frame = 2 * pictureLabel->frameWidth();
    const QSize pictureSize = picture.deviceIndependentSize().toSize() + QSize(frame, frame);
    // As wide as its layout, or the picture and its margins if wider; as tall as the picture.
    const QRect box = DialogUnitsToPixels(kDialogUnits, units);
    const int margin = DialogUnitsToPixelsX(kPictureUnits.x(), units);
    const int top = DialogUnitsToPixelsY(kPictureUnits.y(), units);
    const int width = std::max(box.width(), pictureSize.width() + 2 * margin);
    // The picture keeps its shape, so it fills its room one way only: centred across the box.
    pictureLabel->setGeometry(QRect(QPoint((width - pictureSize.width()) / 2, top), pictureSize));
    setFixedSize(width, top + pictureSize.height() + margin);

    m_languageList = new QComboBox(this);
    m_languageList->setObjectName(QStringLiteral("c%1").arg(kLanguageList));
    for (const char* name : kLanguageNames) {
        AddSorted(*m_languageList, QString::fromUtf8(name));
    }
    const QRect listRect = DialogUnitsToPixels(kLanguageListUnits, units);
    m_languageList->setGeometry(listRect.x(), listRect.y(), listRect.width(),
                                m_languageList->sizeHint().height());
    // The list's label, right beside it, names it for a screen reader too.
    m_listLabel = new QLabel(this);
    m_listLabel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_listLabel->setBuddy(m_languageList);
    m_listLabel->setGeometry(margin, listRect.y(), listRect.x() - 2 * margin,
                             m_languageList->sizeHint().height());
    m_languageList->setFocus();
    // Only a pick in the drop-down chooses through the list itself; keys on the closed list and
    // the wheel, which would choose as well, are taken first.
    m_languageList->installEventFilter(this);
    connect(m_languageList, &QComboBox::activated, this, &AboutDialog::OnLanguageChanged);
}

void AboutDialog::Describe(const QString& pictureName, const QString& pictureText,
                           const QString& listName) {
    m_picture->setAccessibleName(pictureName);
    m_picture->setAccessibleDescription(pictureText);
    m_listLabel->setText(listName);
}

bool AboutDialog::eventFilter(QObject* watched, QEvent* event) {
    if (watched != m_languageList) {
        return QDialog::eventFilter(watched, event);
    }
    if (event->type() == QEvent::Wheel) {
        return true;
    }
    return event->type() == QEvent::KeyPress && OnListKey(static_cast<const QKeyEvent&>(*event));
}

bool AboutDialog::OnListKey(const QKeyEvent& key) {
    if (key.modifiers() & Qt::AltModifier) {
        return false; // Alt+Down opens the drop-down
    }
    const int last = m_languageList->count() - 1;
    const int current = m_languageList->currentIndex();
    int target = current;
    switch (key.key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space:
        if (current >= 0) {
            OnLanguageChanged();
        }
        return true;
    case Qt::Key_Up:
    case Qt::Key_Left:
        target = std::max(current - 1, 0);
        break;
    case Qt::Key_Down:
    case Qt::Key_Right:
        target = std::min(current + 1, last);
        break;
    case Qt::Key_Home:
    case Qt::Key_PageUp:
        target = 0;
        break;
    case Qt::Key_End:
    case Qt::Key_PageDown:
        target = last;
        break;
    default:
        // Typing would choose by the first letter; Esc and Tab go on to the box.
        return !key.text().isEmpty() && key.text().front().isPrint();
    }
    m_languageList->setCurrentIndex(target);
    return true;
}

void AboutDialog::DoDataExchange(DataExchange& dx) {
    DDX_CBIndex(dx, m_languageList, m_languageIndex);
}

void AboutDialog::showEvent(QShowEvent* event) {
    if (!event->spontaneous()) {
        DataExchange::Run(false, this, [this](DataExchange& dx) { DoDataExchange(dx); });
    }
    QDialog::showEvent(event);
}

void AboutDialog::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        event->accept(); // Enter never ends the box
        return;
    }
    QDialog::keyPressEvent(event);
}

void AboutDialog::OnLanguageChanged() {
    DataExchange::Run(true, this, [this](DataExchange& dx) { DoDataExchange(dx); });
    accept();
}

} // namespace korvane
