#include "ui/VolumeSlider.h"

#include <QPainter>
#include <QStyleOptionSlider>

namespace korvane {

VolumeSlider::VolumeSlider(QWidget* parent) : QSlider(Qt::Vertical, parent) {
    // 0 at the top: Up and the wheel move the handle up, towards 0.
    setInvertedAppearance(true);
    setInvertedControls(true);
}

void VolumeSlider::paintEvent(QPaintEvent* /*event*/) {
    // Styles fill the groove from the minimum's end. Drawn as a slider with its minimum at the
    // bottom and the position mirrored, the handle stays where it is and the fill comes from
    // the bottom; clicks and keys still use the real appearance.
    QStyleOptionSlider option;
    initStyleOption(&option);
    option.upsideDown = !option.upsideDown;
    option.sliderPosition = option.maximum - option.sliderPosition + option.minimum;
    option.sliderValue = option.maximum - option.sliderValue + option.minimum;
    option.subControls = QStyle::SC_SliderGroove | QStyle::SC_SliderHandle;
    QPainter painter(this);
    style()->drawComplexControl(QStyle::CC_Slider, &option, &painter, this);
}

} // namespace korvane
