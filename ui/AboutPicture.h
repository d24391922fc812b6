#pragma once

#include "job/LanguageTable.h"
#include "job/ProfileKeys.h"

#include <QPixmap>

class QWidget;

namespace korvane {

// The picture of the About box, 584 pixels wide and at most 444 high, times scale: the main window
// as it looks right now, with callouts that name its parts, no taller than they are. Parts are
// found by object name; a part the window does not have gets no callout. It is drawn with
// pixelRatio device pixels per pixel, so it stays sharp on a scaled screen. Its words are those of
// texts.
QPixmap DrawAboutPicture(QWidget& mainWindow, qreal scale = 1, qreal pixelRatio = 1,
                         const AboutTexts& texts = *AboutTextsFor(kDefaultLanguage));

// The picture for an About box opened without a main window: the logo and a title.
QPixmap DrawAboutPicture(qreal scale = 1, qreal pixelRatio = 1,
                         const AboutTexts& texts = *AboutTextsFor(kDefaultLanguage));

} // namespace korvane
