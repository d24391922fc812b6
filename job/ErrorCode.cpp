#include "job/ErrorCode.h"

#include <iterator>

namespace korvane {
namespace {
struct MessageKind {
    JobMessage message;
    const char* code;
    bool refusal;
    const char* LanguageTexts::*text;
    const char* key;
};

#define KORVANE_TEXT(field) &LanguageTexts::field, #field
constexpr MessageKind kMessageKinds[] = {
    {JobMessage::None, "", false, nullptr, ""},
    {JobMessage::OutputNotCreated, "output-uncreatable", false, KORVANE_TEXT(msgOutputNotCreated)},
    {JobMessage::InputNotOpened, "input-unreadable", false, KORVANE_TEXT(msgInputNotOpened)},
    {JobMessage::OutputIsInput, "output-is-input", true, KORVANE_TEXT(msgOutputIsInput)},
    {JobMessage::OutputNotWritten, "write-failed", false, KORVANE_TEXT(msgOutputNotWritten)},
    {JobMessage::InputsCollide, "collision", true, KORVANE_TEXT(msgInputsCollide)},
    {JobMessage::FolderNotRead, "folder-unreadable", false, KORVANE_TEXT(msgFolderNotRead)},
    {JobMessage::NotMidi, "not-midi", true, KORVANE_TEXT(msgNotMidi)},
    {JobMessage::NoTrack, "no-track", false, KORVANE_TEXT(msgNoTrack)},
};
#undef KORVANE_TEXT

// The table holds the messages in their enum's order.
constexpr bool InOrder() {
    for (size_t i = 0; i < std::size(kMessageKinds); ++i) {
        if (static_cast<size_t>(kMessageKinds[i].message) != i) {
            return false;
        }
    }
    return true;
}
static_assert(InOrder() &&
              std::size(kMessageKinds) == static_cast<size_t>(JobMessage::NoTrack) + 1);

const MessageKind& Kind(JobMessage message) {
    return kMessageKinds[static_cast<size_t>(message)];
}
} // namespace

const char* ErrorCode(JobMessage message) {
    return Kind(message).code;
}

bool IsRefusal(JobMessage message) {
    return Kind(message).refusal;
}

const char* LanguageTexts::*MessageField(JobMessage message) {
    return Kind(message).text;
}

const char* MessageKey(JobMessage message) {
    return Kind(message).key;
}

} // namespace korvane
