#pragma once

#include "platform/gui/DataExchange.h"

#include <optional>
#include <string>

class QAbstractButton;
class QAbstractSlider;
class QComboBox;
class QLabel;
class QLineEdit;
class QString;

namespace korvane {

// Exchange helpers, one per kind of control: with dx.m_saveAndValidate the control's state goes
// into the member, otherwise the member's value into the control. Setting a control raises none
// of its change notifications, so an exchange never runs a handler.

void DDX_Text(DataExchange& dx, QLineEdit* edit, std::string& value);
void DDX_Text(DataExchange& dx, QLabel* label, std::string& value);
// A whole number from minimum to maximum, as ParseWholeNumber reads it; any other text gives
// prompt and stops the exchange, leaving value unchanged.
void DDX_Text(DataExchange& dx, QLineEdit* edit, int& value, int minimum, int maximum,
              const std::string& prompt);
void DDX_Slider(DataExchange& dx, QAbstractSlider* slider, int& value);
void DDX_Check(DataExchange& dx, QAbstractButton* button, bool& value);
// The selected position, -1 when nothing is selected.
void DDX_CBIndex(DataExchange& dx, QComboBox* comboBox, int& value);

} // namespace korvane
