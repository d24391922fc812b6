#include "ui/WindowAccessibility.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QSlider>
#include <QVariant>

#include <algorithm>
#include <cmath>

namespace korvane {
namespace {
constexpr const char* kReadOffset = "korvaneReadOffset";
constexpr const char* kReadScale = "korvaneReadScale";
constexpr const char* kHidden = "korvaneHiddenFromScreenReaders";
constexpr const char* kFiltersChildren = "korvaneFiltersChildren";

class SliderAccessible : public QAccessibleWidget, public QAccessibleValueInterface {
  public:
    explicit SliderAccessible(QSlider* slider)
        : QAccessibleWidget(slider, QAccessible::Slider),
          m_read{slider->property(kReadOffset).toDouble(),
                 slider->property(kReadScale).toDouble()} {}

    void* interface_cast(QAccessible::InterfaceType type) override {
        return type == QAccessible::ValueInterface ? static_cast<QAccessibleValueInterface*>(this)
                                                   : QAccessibleWidget::interface_cast(type);
    }
    QString text(QAccessible::Text kind) const override {
        return kind == QAccessible::Value ? QString::number(currentValue().toDouble())
                                          : QAccessibleWidget::text(kind);
    }
    QVariant currentValue() const override { return Read(Slider().value()); }
    void setCurrentValue(const QVariant& value) override {
        const double position = (value.toDouble() - m_read.offset) / m_read.scale;
        Slider().setSliderPosition(static_cast<int>(std::lround(position)));
        // Told as an action, as keys are, so the window previews it once it rests.
        Slider().triggerAction(QAbstractSlider::SliderNoAction);
    }
    QVariant maximumValue() const override {
        return std::max(Read(Slider().minimum()), Read(Slider().maximum()));
    }
    QVariant minimumValue() const override {
        return std::min(Read(Slider().minimum()), Read(Slider().maximum()));
    }
    QVariant minimumStepSize() const override {
        return std::abs(m_read.scale) * Slider().singleStep();
    }

  private:
    QSlider& Slider() const { return *static_cast<QSlider*>(widget()); }
    double Read(int position) const { return m_read.offset + m_read.scale * position; }

    const ReadAs m_read;
};

// A widget's children as a screen reader should find them: without those hidden from it.
class ParentAccessible : public QAccessibleWidget {
  public:
    using QAccessibleWidget::QAccessibleWidget;

    int childCount() const override { return static_cast<int>(Shown().size()); }
    QAccessibleInterface* child(int index) const override {
        const QList<QWidget*> shown = Shown();
        return index >= 0 && index < shown.size()
                   ? QAccessible::queryAccessibleInterface(shown[index])
                   : nullptr;
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        return child != nullptr ? static_cast<int>(Shown().indexOf(child->object())) : -1;
    }

  private:
    QList<QWidget*> Shown() const {
        QList<QWidget*> shown;
        for (QWidget* child : widget()->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
            if (!child->isWindow() && !child->isHidden() && !child->property(kHidden).toBool()) {
                shown.append(child);
            }
        }
        return shown;
    }
};

QAccessibleInterface* Accessible(const QString&, QObject* object) {
    auto* slider = qobject_cast<QSlider*>(object);
    if (slider != nullptr && slider->property(kReadScale).isValid()) {
        return new SliderAccessible(slider);
    }
    auto* window = qobject_cast<QWidget*>(object);
    if (window != nullptr && window->property(kFiltersChildren).toBool()) {
        return new ParentAccessible(window, QAccessible::Dialog);
    }
    return nullptr;
}

void InstallFactory() {
    // Once per process: Qt asks every factory installed.
    [[maybe_unused]] static const bool installed = (QAccessible::installFactory(Accessible), true);
}
} // namespace

void ReadSliderAs(QSlider& slider, ReadAs read) {
    InstallFactory();
    slider.setProperty(kReadOffset, read.offset);
    slider.setProperty(kReadScale, read.scale);
}

void HideFromScreenReaders(QWidget& control) {
    InstallFactory();
    control.setProperty(kHidden, true);
    // Its window lists its children without it.
    control.window()->setProperty(kFiltersChildren, true);
}

} // namespace korvane
