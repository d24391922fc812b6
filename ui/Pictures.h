#pragma once

#include <QIcon>
#include <QImage>
#include <QPixmap>

namespace korvane {

// The pictures of the program, drawn by code so that they stay sharp and need no binary files.

// The product logo shown in the main window, kLogoSize times scale, drawn for a screen of
// pixelRatio device pixels to a pixel.
inline constexpr QSize kLogoSize(292, 83);
QPixmap LogoPicture(const QString& tagline, qreal scale = 1, qreal pixelRatio = 1);

// The question mark on the About button, 20 x 28 pixels, transparent around the mark.
QPixmap QuestionMarkPicture();

// The program icon in the sizes desktops ask for: 16, 32, 48, 128 and 256 pixels.
QIcon KorvaneIcon();

// One size of the icon. It uses no font, so it can be drawn without an application object
// (the build writes the installed icon files with it).
QImage KorvaneIconImage(int size);

} // namespace korvane
