#include "platform/gui/Ddx.h"

#include "platform/WholeNumber.h"

#include <QAbstractButton>
#include <QAbstractSlider>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QSignalBlocker>

#include <optional>

namespace korvane {

void DDX_Text(DataExchange& dx, QLineEdit* edit, std::string& value) {
    if (dx.m_saveAndValidate) {
        value = edit->text().toStdString();
    } else {
        const QSignalBlocker blocker(edit);
        edit->setText(QString::fromStdString(value));
    }
}

void DDX_Text(DataExchange& dx, QLabel* label, std::string& value) {
    if (dx.m_saveAndValidate) {
        value = label->text().toStdString();
    } else {
        label->setText(QString::fromStdString(value));
    }
}

void DDX_Text(DataExchange& dx, QLineEdit* edit, int& value, int minimum, int maximum,
              const std::string& prompt) {
    if (!dx.m_saveAndValidate) {
        const QSignalBlocker blocker(edit);
        edit->setText(QString::number(value));
        return;
    }
    const std::optional<int> parsed =
        ParseWholeNumber(edit->text().toStdString(), minimum, maximum);
    if (!parsed) {
        dx.Fail(edit, prompt);
    }
    value = *parsed;
}

void DDX_Slider(DataExchange& dx, QAbstractSlider* slider, int& value) {
    if (dx.m_saveAndValidate) {
        value = slider->value();
    } else {
        const QSignalBlocker blocker(slider);
        slider->setValue(value);
    }
}

void DDX_Check(DataExchange& dx, QAbstractButton* button, bool& value) {
    if (dx.m_saveAndValidate) {
        value = button->isChecked();
    } else {
        const QSignalBlocker blocker(button);
        button->setChecked(value);
    }
}

void DDX_CBIndex(DataExchange& dx, QComboBox* comboBox, int& value) {
    if (dx.m_saveAndValidate) {
        value = comboBox->currentIndex();
    } else {
        const QSignalBlocker blocker(comboBox);
        comboBox->setCurrentIndex(value);
    }
}

} // namespace korvane
