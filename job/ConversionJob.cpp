#include "job/ConversionJob.h"

#include "job/ChunkReader.h"
#include "job/InputTrack.h"
#include "job/OutputPath.h"
#include "job/RiffUnwrap.h"
#include "platform/FileSystem.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <optional>

namespace korvane {
namespace {
constexpr size_t kChunkHeaderPart = 4;
constexpr uint32_t kMaxChunkLength = 0xFFFFFFFF;
constexpr std::array<char, 4> kTrackId{'M', 'T', 'r', 'k'};

void PutBigEndian32(uint32_t value, uint8_t* bytes) {
    bytes[0] = static_cast<uint8_t>(value >> 24);
    bytes[1] = static_cast<uint8_t>(value >> 16);
    bytes[2] = static_cast<uint8_t>(value >> 8);
    bytes[3] = static_cast<uint8_t>(value);
}

} // namespace

ConversionJob::ConversionJob(JobHost& host, size_t windowSize)
    : m_host(host), m_windowSize(windowSize) {}

void ConversionJob::ApplyTexts(const LanguageTexts* texts) {
    if (texts == nullptr) {
        return;
    }
    m_textWelcome = texts->textWelcome;
    m_textLoaded = texts->textLoaded;
    m_textSaved = texts->textSaved;
    m_msgOutputNotCreated = texts->msgOutputNotCreated;
    m_msgInputNotOpened = texts->msgInputNotOpened;
    m_msgPleaseLoad = texts->msgPleaseLoad;
    m_msgOutputIsInput = texts->msgOutputIsInput;
    m_msgOutputNotWritten = texts->msgOutputNotWritten;
}

bool ConversionJob::RunConversion(bool save) {
    bool completed = false;
    if (m_host.TakeWindowValues()) {
        ReleasePlayer();
        if (!save) {
            m_outputPath = DeriveOutputPath(m_inputPath);
        }
        m_engine.m_levels.clear();
        m_engine.KeepLevels(m_host.WantsLevels());
        m_engine.BeginPass(m_adjustments, save ? &m_outFile : nullptr);
        // The output is checked first but made only once the input is known to be usable, so a
        // refused input never leaves a temporary behind.
        if ((!save || CheckOutput()) && OpenInput() && (!save || CreateOutput())) {
            completed = Convert(save);
        }
    }
    m_inFile.Abort();
    m_outFile.Abort();
    m_tempOutput = TempOutput();
    m_engine.EndPass();
    m_host.Redraw();
    return completed;
}

bool ConversionJob::Convert(bool save) {
    Outcome outcome = ChunkLoop();
    m_inFile.Abort();
    if (outcome == Outcome::Completed && save && !FinishOutput()) {
        outcome = Outcome::OutputFailed;
    }
    // A failed save's temporary is gone before its message shows.
    m_outFile.Abort();
    m_tempOutput = TempOutput();
    if (outcome == Outcome::InputFailed) {
        m_host.ShowMessage(m_msgInputNotOpened, MessageIcon::Stop);
        return false;
    }
    if (outcome == Outcome::OutputFailed) {
        m_host.ShowMessage(m_msgOutputNotWritten, MessageIcon::Stop);
        return false;
    }
    Complete(save);
    return true;
}

void ConversionJob::ReleasePlayer() {
    PlayerControl& player = m_host.Player();
    player.SetFileName("");
    player.Command2003();
    player.SetFlag1107(false);
    player.SetFlag24(false);
}

bool ConversionJob::CheckOutput() {
    if (!m_outputPath.empty() && SameFile(m_outputPath, m_inputPath)) {
        m_host.ShowMessage(m_msgOutputIsInput, MessageIcon::Stop);
        return false;
    }
    const std::optional<std::string> target = OutputTarget(m_outputPath);
    if (!target) {
        m_host.ShowMessage(m_msgOutputNotCreated, MessageIcon::Stop);
        return false;
    }
    m_finalOutputPath = *target;
    return true;
}

bool ConversionJob::CreateOutput() {
    m_tempOutput = TempOutput::Create(m_finalOutputPath);
    const int fd = m_tempOutput.IsValid() ? m_tempOutput.OpenWriter() : -1;
    if (fd < 0) {
        m_tempOutput = TempOutput();
        m_host.ShowMessage(m_msgOutputNotCreated, MessageIcon::Stop);
        return false;
    }
    m_outFile.Attach(fd, m_finalOutputPath);
    return true;
}

bool ConversionJob::OpenInput() {
    if (m_inFile.Open(m_inputPath, CFile::modeRead)) {
        return true;
    }
    m_host.ShowMessage(m_msgInputNotOpened, MessageIcon::Stop);
    return false;
}

ConversionJob::Outcome ConversionJob::ChunkLoop() {
    try {
        const MidiRange range = FindInputRange();
        InputWindow input(m_inFile, m_windowSize);
        // The levels' room is reserved once for the whole input, so a pass never moves them.
        m_engine.ExpectInput(range.end - range.offset);
        ChunkReader reader(input, range.offset, range.end);
        ChunkFrame chunk;
        bool headerSeen = false;
        while (reader.Next(chunk)) {
            CopyChunk(input, chunk, headerSeen);
        }
        return Outcome::Completed;
    } catch (const ChunkReadError&) {
        return Outcome::InputFailed;
    } catch (const CFileException&) {
        return Outcome::OutputFailed;
    }
}

MidiRange ConversionJob::FindInputRange() {
    std::optional<MidiRange> range;
    try {
        range = FindMidiRange(m_inFile);
    } catch (const CFileException&) {
        throw ChunkReadError{};
    }
    if (!range) {
        throw ChunkReadError{}; // a RIFF file without MIDI data
    }
    return *range;
}

void ConversionJob::CopyChunk(InputWindow& input, const ChunkFrame& chunk, bool& headerSeen) {
    if (headerSeen && chunk.id == kTrackId) {
        WalkTrackChunk(input, chunk);
    } else if (m_engine.IsSavePass()) {
        // The header and chunks of other kinds (vendor data) hold no events: copied unchanged.
        WriteChunkFrame(chunk.id, chunk.length);
        CopyChunkData(input, chunk, !headerSeen);
    }
    headerSeen = true;
}

void ConversionJob::CopyChunkData(InputWindow& input, const ChunkFrame& chunk, bool header) {
    for (uint32_t done = 0; done < chunk.length;) {
        const std::span<const uint8_t> window = input.At(chunk.offset + done, 1);
        const auto part =
            static_cast<uint32_t>(std::min<size_t>(window.size(), chunk.length - done));
        if (header) {
            m_engine.CopyHeader(window.data(), part);
        } else {
            m_outFile.Write(window.data(), part);
        }
        done += part;
    }
}

void ConversionJob::WriteChunkFrame(const std::array<char, 4>& id, uint32_t length) {
    if (!m_engine.IsSavePass()) {
        return;
    }
    uint8_t frame[2 * kChunkHeaderPart];
    std::memcpy(frame, id.data(), kChunkHeaderPart);
    PutBigEndian32(length, frame + kChunkHeaderPart);
    m_outFile.Write(frame, sizeof frame);
}

void ConversionJob::WalkTrackChunk(InputWindow& input, const ChunkFrame& chunk) {
    const bool save = m_engine.IsSavePass();
    const uint64_t lengthPosition = save ? m_outFile.GetPosition() + kChunkHeaderPart : 0;
    WriteChunkFrame(chunk.id, chunk.length);
    InputTrack track(input, chunk);
    m_engine.WalkTrack(track);
    if (!save) {
        return;
    }
    const int64_t written = m_engine.TrackBytes();
    if (written > int64_t{kMaxChunkLength}) {
        throw CFileException("track too long for a chunk", EFBIG);
    }
    uint8_t patch[kChunkHeaderPart];
    PutBigEndian32(static_cast<uint32_t>(written), patch);
    m_outFile.Patch(lengthPosition, patch, sizeof patch);
}

bool ConversionJob::FinishOutput() {
    try {
        m_outFile.Close();
    } catch (const CFileException&) {
        return false;
    }
    return m_tempOutput.Commit();
}

void ConversionJob::Complete(bool save) {
    if (save) {
        m_host.Player().SetFileName(m_outputPath);
        m_host.Player().Command2003();
    }
    m_instructionText = save ? m_textSaved : m_textLoaded;
    m_host.ShowValues();
    m_loaded = true;
    m_host.EnableAdjustmentControls();
}

} // namespace korvane
