#pragma once

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
};

// 0 German, 1 English, 2 Spanish, 3 French; null for any other index.
const LanguageTexts* LanguageTextsFor(int language);

} // namespace korvane
