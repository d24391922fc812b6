#pragma once

#include <QSlider>

class QPaintEvent;

namespace korvane {

// The vertical volume slider: 0 (loudest) at the top, and its groove filled from the bottom up
// to the handle, so that more fill means louder.
class VolumeSlider : public QSlider {
    Q_OBJECT
  public:
    explicit VolumeSlider(QWidget* parent = nullptr);

  protected:
    void paintEvent(QPaintEvent* event) override;
};

} // namespace korvane
