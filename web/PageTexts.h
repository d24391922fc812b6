#pragma once

namespace korvane {

// The texts only the web page shows, beside the window's (LanguageTexts, ControlTexts): choosing
// files, the language choice and what a conversion repaired. %1 is a count.
struct PageTexts {
    const char* languageName; // the language's own name, as the language choice lists it
    const char* language;
    const char* chooseFiles;
    const char* dropFiles;
    const char* files;
    const char* stayLocal;
    const char* nothingRepaired;
    const char* tracksClosed;
    const char* eventsDropped;
    const char* chunksCutShort;
    const char* chunksCopied;
    const char* noteOffsInserted;
    const char* otherRepairs; // those of the header, the chunks and broken events
};

// The indices of LanguageTextsFor; null for any other index.
const PageTexts* PageTextsFor(int language);

} // namespace korvane
