#pragma once

#include "job/MidiBytes.h"
#include "job/PlayerControl.h"
#include "job/PreviewConversion.h"

#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace korvane {

// The player's preview of the loaded file: the file converted in memory with the adjustments of
// the moment, or on request the file as loaded, given to the player as bytes. Nothing is written
// to disk. A file whose preview would hold more than the memory limit gets none.
class Preview {
  public:
    static constexpr size_t kDefaultMemoryLimit = size_t{256} << 20;

    explicit Preview(PlayerControl& player) : m_player(player) {}

    // Previews are made only once enabled (by the window; a run without one makes none).
    // ready is called on the conversion's thread whenever a preview is ready; the window then
    // calls Show on its own thread.
    void Enable(std::function<void()> ready);
    void SetMemoryLimit(size_t bytes) { m_memoryLimit = bytes; }

    // A pass begins: a conversion in progress stops and the original is no longer chosen.
    void Suspend();
    // A load pass has completed on path, or failed.
    void Loaded(const std::string& path, const Adjustments& adjustments);
    void LoadFailed();
    // A save pass has completed, its ticks scaled by speedPercent (the player holds the saved
    // file at outputPath), or failed. A saved file over the memory limit is not kept by the
    // player either.
    void Saved(const std::string& outputPath, int speedPercent);
    void SaveFailed();

    // Converts again with these adjustments unless they are those of the last conversion. While
    // the player cannot play, nothing is converted until a Play asks again.
    void Refresh(const Adjustments& adjustments);
    // Takes a finished conversion and gives it to the player.
    void Show();
    // Switches the player between the preview and the loaded file at the same musical position.
    void HearOriginal(bool on);
    bool HearingOriginal() const { return m_hearOriginal; }
    // A file is loaded and its preview is not refused as too large: the original can be heard.
    bool HasPreview() const { return !m_inputPath.empty() && !m_tooLarge; }

  private:
    enum class Held { Nothing, Preview, Original, Saved, Waiting };

    void Start(const PreviewRequest& request);
    void Hold(Held what);

    PlayerControl& m_player;
    std::function<void()> m_ready;
    size_t m_memoryLimit = kDefaultMemoryLimit;
    std::string m_inputPath;
    std::optional<PreviewRequest> m_requested; // the last conversion started
    bool m_outstanding = false;                // started and not yet shown
    std::optional<PreviewResult> m_shown;
    bool m_tooLarge = false; // the loaded file's preview or saved file exceeds the limit
    bool m_hearOriginal = false;
    Held m_held = Held::Nothing;
    int m_heldSpeed = 0; // speed in percent of what the player holds
    std::unique_ptr<PreviewConversion> m_conversion;
};

} // namespace korvane
