#pragma once

#include <array>

// The interface texts of one language. The job reports its messages with them, so they live
// here, free of any GUI code, and the headless converter speaks the stored language too.
struct LanguageTexts {
    // Captions in the order they are applied: controls 1000, 1008, 1026, 1027, 1006, 1002,
    // 1023, 1022, 1019, 1020, 1015.
    std::array<const char*, 11> captions;
    const char* textWelcome;
    const char* textLoaded;
    const char* textSaved;
    const char* msgOutputNotCreated;
    const char* msgInputNotOpened;
    const char* msgPleaseLoad;
    const char* msgOutputIsInput;
    const char* msgOutputNotWritten;
    const char* msgSpeedPrompt;
    const char* noSoundFont;
    const char* noAudioDevice;
};

// The control IDs of LanguageTexts::captions, in the same order.
constexpr std::array<int, 11> kCaptionControlIds = {1000, 1008, 1026, 1027, 1006, 1002,
                                                    1023, 1022, 1019, 1020, 1015};

// 0 German, 1 English, 2 Spanish, 3 French; null for any other index.
const LanguageTexts* LanguageTextsFor(int language);
