#pragma once

#include <QPixmap>

class QWidget;

namespace korvane {

// The picture of the About box, 584 x 444 pixels: the main window as it looks right now, with
// callouts that name its parts. Parts are found by object name; a part the window does not
// have gets no callout.
QPixmap DrawAboutPicture(QWidget& mainWindow);

// The picture for an About box opened without a main window: the logo and a title.
QPixmap DrawAboutPicture();

} // namespace korvane
