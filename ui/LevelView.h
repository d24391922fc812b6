#pragma once

#include "gfx/LevelPlot.h"
#include "gfx/PictureTarget.h"

#include <QFrame>
#include <QImage>
#include <QPoint>

#include <cstdint>
#include <vector>

class QPaintEvent;

namespace korvane {

// Control 1003: a sunken black frame showing the level plot. Each Redraw renders the whole plot
// off-screen and keeps the finished rows; the paint event only copies them 1:1.
class LevelView : public QFrame, public PictureTarget {
    Q_OBJECT
  public:
    explicit LevelView(QWidget* parent = nullptr);
    // Redraws the plot of levels through the two settings into a surface the size of the
    // client area (contentsRect) and shows it 1:1.
    void Redraw(const std::vector<uint8_t>& levels, int dynamicRange, int volume,
                bool unmappedMarked = false, const PlottedPeak& peak = {});
    const QImage& Picture() const; // the last picture shown (for tests and screenshots)

    void ShowPicture(int x, int y, int width, int height, int stride,
                     const uint8_t* bottomUpRows) override;

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QImage m_picture;
    QPoint m_pictureOrigin;
};

} // namespace korvane
