#include "platform/gui/DataExchange.h"

#include "platform/gui/MessageBox.h"

#include <QLineEdit>
#include <QWidget>

namespace korvane {

bool DataExchange::Run(bool saveAndValidate, QWidget* dialog,
                       const std::function<void(DataExchange&)>& exchange) {
    DataExchange dx(saveAndValidate, dialog);
    try {
        exchange(dx);
    } catch (const Stopped&) {
        return false;
    }
    return true;
}

void DataExchange::Fail(QWidget* control, const std::string& prompt) {
    ShowMessageBox(prompt, MessageIcon::Exclamation, m_dialog);
    control->setFocus(Qt::OtherFocusReason);
    if (auto* edit = qobject_cast<QLineEdit*>(control)) {
        edit->selectAll();
    }
    throw Stopped{};
}

} // namespace korvane
