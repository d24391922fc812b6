#pragma once

namespace korvane {

// The texts only the web page shows, beside the window's (LanguageTexts, ControlTexts): choosing
// files, the language choice and the sum of the repairs the page does not name (each kind's own
// wording is in midi/RepairCounts.h). %1 is a count.
struct PageTexts {
    const char* languageName; // the language's own name, as the language choice lists it
    const char* language;
    const char* chooseFiles;
    const char* dropFiles;
    const char* files;
    const char* stayLocal;
    const char* nothingRepaired;
    const char* otherRepairs; // the repairs without wording of their own (RepairCounts.h)
};

// The indices of LanguageTextsFor; null for any other index.
const PageTexts* PageTextsFor(int language);

} // namespace korvane
