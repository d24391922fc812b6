#pragma once

namespace korvane {

// Qt's own texts (the message box's "Show Details...", the file dialogs' buttons) in the window's
// language, from the translations Debian ships with Qt; English where none is found.
void UseQtTranslations(int language);

} // namespace korvane
