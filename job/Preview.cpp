#include "job/Preview.h"

#include "job/SpeedControl.h"

#include <filesystem>
#include <system_error>

namespace korvane {
namespace {
// The length of the file at path; 0 when it cannot be read.
uintmax_t FileLength(const std::string& path) {
    std::error_code error;
    const uintmax_t length = std::filesystem::file_size(path, error);
    return error ? 0 : length;
}
} // namespace

void Preview::Enable(std::function<void()> ready) {
    m_ready = std::move(ready);
}

void Preview::Suspend() {
    if (m_conversion) {
        m_conversion->Cancel();
    }
    m_hearOriginal = false;
    m_held = Held::Nothing; // the pass releases the player's file
}

void Preview::Loaded(const std::string& path, const Adjustments& adjustments) {
    m_inputPath = path;
    m_tooLarge = false;
    m_requested.reset();
    m_outstanding = false;
    m_shown.reset();
    Refresh(adjustments);
}

void Preview::LoadFailed() {
    m_inputPath.clear();
    m_tooLarge = false;
    m_requested.reset();
    m_outstanding = false;
    m_shown.reset();
}

void Preview::Saved(const std::string& outputPath, int speedPercent) {
    // The saved file in the player costs what a preview of the same adjustments would (the input
    // and its conversion), so it is held to the same limit.
    if (FileLength(m_inputPath) + FileLength(outputPath) > m_memoryLimit) {
        m_tooLarge = true;
        m_held = Held::Nothing;
        m_player.ShowTooLarge();
        return;
    }
    m_held = Held::Saved;
    m_heldSpeed = speedPercent;
}

void Preview::SaveFailed() {
    if (m_shown) {
        Hold(Held::Preview);
    }
    // The save cancelled the conversion of the latest adjustments: it starts over.
    if (m_requested && (m_outstanding || !m_shown)) {
        Start(*m_requested);
    }
}

void Preview::Refresh(const Adjustments& adjustments) {
    if (!m_ready || m_inputPath.empty()) {
        return;
    }
    if (m_requested && m_requested->adjustments == adjustments && m_held != Held::Waiting) {
        return;
    }
    m_requested = PreviewRequest{m_inputPath, adjustments, m_memoryLimit};
    Start(*m_requested);
}

void Preview::Start(const PreviewRequest& request) {
    PlayerControl& player = m_player;
    if (!player.CanPlay()) {
        // Converting is pointless until a Play finds sound; that Play asks again.
        player.HoldBytes(nullptr, m_inputPath, !m_hearOriginal, 0);
        m_held = Held::Waiting;
        m_outstanding = false;
        return;
    }
    if (!m_conversion) {
        m_conversion = std::make_unique<PreviewConversion>(m_ready);
    }
    m_conversion->Start(request);
    m_outstanding = true;
}

void Preview::Show() {
    std::optional<PreviewResult> result = m_conversion ? m_conversion->Take() : std::nullopt;
    if (!result) {
        return;
    }
    m_outstanding = false;
    if (result->status == PreviewResult::Status::TooLarge) {
        m_shown.reset();
        m_tooLarge = true;
        m_held = Held::Nothing;
        m_player.ShowTooLarge();
        return;
    }
    if (result->status == PreviewResult::Status::Failed) {
        return; // the player keeps what it plays
    }
    m_shown = std::move(result);
    m_tooLarge = false;
    const Held wanted = m_hearOriginal ? Held::Original : Held::Preview;
    if (m_held != wanted || wanted == Held::Preview) {
        Hold(wanted);
    }
}

void Preview::HearOriginal(bool on) {
    m_hearOriginal = on;
    if (m_shown) {
        Hold(on ? Held::Original : Held::Preview);
    }
}

void Preview::Hold(Held what) {
    const bool original = what == Held::Original;
    // Positions carry over in ticks, which keeping the bars leaves as they are.
    const int speed = original ? Adjustments::kSpeedNeutral : m_shown->tickSpeed;
    const bool playable = m_held != Held::Nothing && m_held != Held::Waiting;
    const double scale = playable ? PositionScale(m_heldSpeed, speed) : 0.0;
    m_player.HoldBytes(original ? m_shown->original : m_shown->preview, m_inputPath, !original,
                       scale);
    m_held = what;
    m_heldSpeed = speed;
}

} // namespace korvane
