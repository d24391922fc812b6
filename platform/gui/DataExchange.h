#pragma once

#include <functional>
#include <string>

class QWidget;

namespace korvane {

// One exchange between a dialog's controls and its members. Saving (controls to members) can
// fail at an item: the item prompts the user, takes the focus and the exchange stops there,
// leaving the items before it exchanged and the rest untouched.
class DataExchange {
  public:
    DataExchange(bool saveAndValidate, QWidget* dialog)
        : m_saveAndValidate(saveAndValidate), m_dialog(dialog) {}

    // Runs exchange in one direction; false when an item stopped it.
    static bool Run(bool saveAndValidate, QWidget* dialog,
                    const std::function<void(DataExchange&)>& exchange);

    // Shows prompt, puts the focus on control and stops the exchange.
    [[noreturn]] void Fail(QWidget* control, const std::string& prompt);

    const bool m_saveAndValidate;

  private:
    struct Stopped {};

    QWidget* m_dialog;
};

} // namespace korvane
