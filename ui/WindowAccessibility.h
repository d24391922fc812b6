#pragma once

class QSlider;
class QWidget;

namespace korvane {

// How a screen reader reads a slider: value = offset + scale × position, in the units its label
// shows; a value it sets moves the slider as a key press does.
struct ReadAs {
    double offset = 0;
    double scale = 1;
};
void ReadSliderAs(QSlider& slider, ReadAs read);

// A control a screen reader skips: decorative, or there only for a key.
void HideFromScreenReaders(QWidget& control);

} // namespace korvane
