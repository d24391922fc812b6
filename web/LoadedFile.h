#pragma once

#include "gfx/LevelPlot.h"
#include "job/ConversionRequest.h"
#include "job/PassOutput.h"
#include "midi/Adjustments.h"
#include "midi/RepairCounts.h"

#include <bitset>
#include <cstdint>
#include <string>
#include <vector>

namespace korvane {

// What a pass over one of the page's files gave: the written bytes (empty after a load pass or a
// failure), what was repaired, and on failure the key of the message to show.
struct PassOutcome {
    bool completed = false;
    // "msgInputNotOpened", "msgOutputNotWritten", "msgNotMidi", "msgNoTrack",
    // "msgTooLargeForPage" or empty
    const char* message = "";
    RepairCounts repairs;
    int tickSpeed = 100; // the speed the written ticks were scaled by (100 keeping the bars)
};

// One file the page was given, as a file of the engine's in-memory file system, read by the same
// chunk pass, RIFF unwrapping and engine as a file on disk. The page writes the file there itself,
// handing its bytes over without a copy, and the LoadedFile removes it when it goes. Loading it
// records its levels for the plot; each conversion writes into memory what a save would write
// to disk.
class LoadedFile {
  public:
    // Runs the load pass on the file at path at once; Loaded() tells how it went.
    explicit LoadedFile(std::string path);
    ~LoadedFile();
    LoadedFile(const LoadedFile&) = delete;
    LoadedFile& operator=(const LoadedFile&) = delete;

    const PassOutcome& Loaded() const { return m_loaded; }
    const std::vector<uint8_t>& Levels() const { return m_levels; }
    // Which of the 256 level values the file holds, for the plot's description.
    const std::bitset<256>& LevelsPresent() const { return m_present; }
    // The levels as the plot draws them with these adjustments' channels and peak, as the window
    // does: the load pass runs again where they differ from the last one's, so that the levels of
    // channels left as they are and the Note Ons the peak moves are marked.
    void LevelsFor(const Adjustments& adjustments);
    bool LevelsMarked() const { return m_levelPass.m_levelChannels != Adjustments::kAllChannels; }
    PlottedPeak Peak() const { return {m_levelPass.m_peakLevel, m_loudestNoteOn, &m_noteOnMarks}; }

    // The save pass with these adjustments; its bytes stay in Output() until the next one.
    PassOutcome Convert(const Adjustments& adjustments);
    // The save pass into the caller's output, which takes the bytes away as they come.
    PassOutcome ConvertInto(const Adjustments& adjustments, PassOutput& output);
    const std::vector<uint8_t>& Output() const { return m_output; }
    // The Standard MIDI File as read: within a RIFF file, the one in its data chunk. Empty where
    // the file holds none or cannot be read.
    std::vector<uint8_t> OriginalMidi() const;

  private:
    PassOutcome RunPass(const Adjustments& adjustments, OutputTo output,
                        PassOutput* given = nullptr);

    std::string m_path;
    PassOutcome m_loaded;
    Adjustments m_levelPass; // the channels and peak the levels were recorded with
    std::vector<uint8_t> m_levels;
    std::vector<uint8_t> m_noteOnMarks;
    unsigned m_loudestNoteOn = 0;
    std::bitset<256> m_present;
    std::vector<uint8_t> m_output;
};

} // namespace korvane
