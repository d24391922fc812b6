#pragma once

#include "job/JobMessage.h"

#include <array>

namespace korvane {

// The interface texts of one language. The job reports its messages with them, so they live
// here, free of any GUI code, and the headless converter speaks the stored language too.
struct LanguageTexts {
    // Captions in the order they are applied: Browse (input), Browse (output), the load group,
    // the save group, Load, Save, the volume label, the dynamic range label, the stuck notes
    // check box, the speed label, Reset.
    std::array<const char*, 11> captions;
    const char* textWelcome;
    const char* textLoaded;
    const char* textSaved;
    const char* msgOutputNotCreated;
    const char* msgInputNotOpened;
    const char* msgPleaseLoad;
    const char* msgOutputIsInput;
    const char* msgOutputNotWritten;
    const char* msgInputsCollide; // two inputs of one run, one output
    const char* msgSpeedPrompt;
    const char* noSoundFont;
    const char* noAudioDevice;
    // The player strip's label before the name of a preview, what it says when a file is too
    // large for one, and the context-menu item that plays the loaded file instead.
    const char* preview;
    const char* tooLargeToPreview;
    const char* hearOriginal;
    const char* msgFolderNotRead; // a folder of a command-line collection
    // Context-menu items beside hearOriginal: two settings kept in the profile, then a command
    // that sets the volume for the loudest note at full level.
    const char* keepBars;
    const char* leaveDrums;
    const char* loudestToFull;
    const char* msgNotMidi; // an input with no MIDI header near its start
    const char* msgNoTrack; // an input of which no track is left
};

// 0 German, 1 English, 2 Spanish, 3 French; null for any other index.
const LanguageTexts* LanguageTextsFor(int language);

// The text of a job's message; empty for JobMessage::None.
const char* MessageText(const LanguageTexts& texts, JobMessage message);

// What the controls say beyond their captions: names and descriptions for screen readers, the
// level plot's description and the context menu's window commands.
struct ControlTexts {
    const char* inputPath;
    const char* outputPath;
    const char* browseInputDescription;
    const char* browseOutputDescription;
    const char* about;
    const char* dynamicRange;
    const char* dynamicRangeDescription;
    const char* volume;
    const char* volumeDescription;
    const char* speed;
    const char* speedDescription;
    const char* speedPercent;
    const char* resetDescription;
    const char* levelPlot;
    // %1 the number of events, %2 and %3 the lowest and highest level as plotted.
    const char* levelPlotDescription;
    const char* levelPlotEmpty;
    const char* play;
    const char* pause;
    const char* stop;
    const char* playbackPosition;
    const char* minimize;
    const char* close;
    // The file dialogs' filters, before their patterns.
    const char* midiFiles;
    const char* allFiles;
    // The two Browse buttons, told apart, and the player strip.
    const char* browseInput;
    const char* browseOutput;
    const char* player;
};

// The same indices as LanguageTextsFor; null for any other index.
const ControlTexts* ControlTextsFor(int language);

// What the window says when it holds several files: %1 the number of files loaded; %1 the file
// being saved, %2 their number.
// A counted phrase in its two forms, both with the count as %1: for one (in French also for
// none) and for any other number.
struct CountedText {
    const char* one;
    const char* other;
};

struct CollectionTexts {
    const char* filesLoaded;
    // The same when the first file did not load: %2 names the file shown.
    const char* filesLoadedShowing;
    const char* savingFile;
    // A Save's summary, in this order: stopped (only when it was), saved, repaired, failed,
    // left (only when it was stopped), end.
    const char* stopped;
    CountedText saved;
    CountedText repaired;
    CountedText failed;
    CountedText left;
    const char* end;
    const char* cancel;
    const char* noMidiFiles; // for folders without any
    // Whether zero takes the form for one.
    bool zeroIsOne;
};

// The same indices as LanguageTextsFor; null for any other index.
const CollectionTexts* CollectionTextsFor(int language);

// The About box: its title, the window menu's entry that opens it, the picture's title over the
// main window and the callouts that name its parts (help and settings, input file, output file,
// volume, stuck notes, dynamic range, player, speed, reset), and the picture's title and words
// without a main window.
struct AboutTexts {
    const char* title;
    const char* menuEntry;
    const char* glance;
    const char* callouts[9];
    const char* aboutText;
    const char* languageList; // the name a screen reader gives the list
    const char* tagline;      // under the name in the logo
};

// The same indices as LanguageTextsFor; null for any other index.
const AboutTexts* AboutTextsFor(int language);

} // namespace korvane
