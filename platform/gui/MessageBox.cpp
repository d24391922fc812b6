#include "platform/gui/MessageBox.h"

#include <QMessageBox>
#include <QString>

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
    if (!details.empty()) {
        box.setDetailedText(QString::fromStdString(details));
    }
    box.exec();
}

void SetMessageBoxHook(MessageBoxHook hook) {
    g_messageBoxHook = std::move(hook);
}

} // namespace korvane
