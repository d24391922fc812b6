#include "job/ErrorCode.h"

namespace korvane {

const char* ErrorCode(JobMessage message) {
    switch (message) {
    case JobMessage::None:
        return "";
    case JobMessage::OutputNotCreated:
        return "output-uncreatable";
    case JobMessage::InputNotOpened:
        return "input-unreadable";
    case JobMessage::OutputIsInput:
        return "output-is-input";
    case JobMessage::OutputNotWritten:
        return "write-failed";
    case JobMessage::InputsCollide:
        return "collision";
    case JobMessage::FolderNotRead:
        return "folder-unreadable";
    case JobMessage::NotMidi:
        return "not-midi";
    case JobMessage::NoTrack:
        return "no-track";
    }
    return "";
}

bool IsRefusal(std::string_view code) {
    return code == "not-midi" || code == "collision" || code == "output-is-input";
}

} // namespace korvane
