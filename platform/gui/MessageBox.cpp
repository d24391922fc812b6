#include "platform/gui/MessageBox.h"

#include <QMessageBox>
#include <QString>
#include <QTextDocument>

namespace korvane {
namespace {
MessageBoxHook g_messageBoxHook;

QMessageBox::Icon QtIcon(MessageIcon icon) {
    switch (icon) {
    case MessageIcon::Stop:
        return QMessageBox::Critical;
    case MessageIcon::Information:
        return QMessageBox::Information;
    case MessageIcon::Exclamation:
        break;
    }
    return QMessageBox::Warning;
}
} // namespace

void ShowMessageBox(const std::string& text, MessageIcon icon, QWidget* parent,
                    const std::string& details) {
    if (g_messageBoxHook) {
        g_messageBoxHook(text, icon, details);
        return;
    }
    QMessageBox box(QtIcon(icon), "Korvane", QString::fromStdString(text), QMessageBox::Ok, parent);
    box.setTextFormat(Qt::PlainText);
    // A reason is read with the message; only a list (the files of a run) waits behind a button.
    const QString shown = QString::fromStdString(details).trimmed();
    if (shown.contains('\n')) {
        box.setDetailedText(shown);
    } else {
        // Only plain text: a path may hold what would read as markup.
        box.setInformativeText(Qt::mightBeRichText(shown) ? Qt::convertFromPlainText(shown)
                                                          : shown);
    }
    // Enter closes the box, whatever other button it has.
    box.setDefaultButton(QMessageBox::Ok);
    box.exec();
}

void SetMessageBoxHook(MessageBoxHook hook) {
    g_messageBoxHook = std::move(hook);
}

} // namespace korvane
