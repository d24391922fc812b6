#pragma once

namespace korvane {

// The texts only the web page shows, beside the window's (LanguageTexts, ControlTexts): choosing
// files, the language choice, the work in progress and the page's own limits. %1, %2... are
// numbers.
struct PageTexts {
    const char* languageName; // the language's own name, as the language choice lists it
    const char* language;
    const char* chooseFiles;
    const char* dropFiles;
    const char* files;
    const char* stayLocal;
    const char* nothingRepaired;
    const char* reading;    // %1 of %2 files, %3 of %4 MB
    const char* converting; // the same counts
    const char* cancel;
    const char* cancelled;
    const char* tooLargeForPage; // %1: the page's largest file in MB
    const char* loadingInstruments;
};

// The indices of LanguageTextsFor; null for any other index.
const PageTexts* PageTextsFor(int language);

} // namespace korvane
