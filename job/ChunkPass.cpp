#include "job/ChunkPass.h"

#include "job/ChunkReader.h"
#include "job/InputTrack.h"
#include "job/InputWindow.h"
#include "job/RiffUnwrap.h"

#include <algorithm>
#include <array>
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

class ChunkPass {
  public:
    ChunkPass(InputWindow& input, MidiEngine& engine, PassOutput* output)
        : m_input(input), m_engine(engine), m_output(output) {}

    // The first chunk is the header, track chunks are walked, others copied unchanged.
    void Copy(const ChunkFrame& chunk) {
        if (m_headerSeen && chunk.id == kTrackId) {
            WalkTrack(chunk);
            return;
        }
        m_engine.m_repairs.chunksCopied += m_headerSeen;
        // The header and chunks of other kinds (vendor data) hold no events: copied unchanged.
        // Every pass shows the engine the header, whose division decides the speed's rule.
        WriteFrame(chunk.id, chunk.length);
        if (m_output != nullptr || !m_headerSeen) {
            CopyData(chunk, !m_headerSeen);
        }
        m_headerSeen = true;
    }

  private:
    void CopyData(const ChunkFrame& chunk, bool header) {
        for (uint32_t done = 0; done < chunk.length;) {
            const std::span<const uint8_t> window = m_input.At(chunk.offset + done, 1);
            const auto part =
                static_cast<uint32_t>(std::min<size_t>(window.size(), chunk.length - done));
            if (header) {
                m_engine.CopyHeader(window.data(), part);
            } else {
                m_output->Write(window.data(), part);
            }
            done += part;
        }
    }

    void WriteFrame(const std::array<char, 4>& id, uint32_t length) {
        if (m_output == nullptr) {
            return;
        }
        uint8_t frame[2 * kChunkHeaderPart];
        std::memcpy(frame, id.data(), kChunkHeaderPart);
        PutBigEndian32(length, frame + kChunkHeaderPart);
        m_output->Write(frame, sizeof frame);
    }

    void WalkTrack(const ChunkFrame& chunk) {
        const uint64_t lengthPosition =
            m_output != nullptr ? m_output->Position() + kChunkHeaderPart : 0;
        WriteFrame(chunk.id, chunk.length);
        InputTrack track(m_input, chunk);
        m_engine.WalkTrack(track);
        if (m_output == nullptr) {
            return;
        }
        const int64_t written = m_engine.TrackBytes();
        if (written > int64_t{kMaxChunkLength}) {
            throw BufferedFileException("track too long for a chunk", EFBIG,
                                        "the track would be larger than 4 GiB");
        }
        uint8_t patch[kChunkHeaderPart];
        PutBigEndian32(static_cast<uint32_t>(written), patch);
        m_output->Overwrite(lengthPosition, patch, sizeof patch);
    }

    InputWindow& m_input;
    MidiEngine& m_engine;
    PassOutput* m_output;
    bool m_headerSeen = false;
};

// Where the MIDI data of the input lies: the whole file, or a RIFF file's data chunk.
MidiRange FindInputRange(BufferedFile& input) {
    std::optional<MidiRange> range;
    try {
        range = FindMidiRange(input);
    } catch (const BufferedFileException& e) {
        throw ChunkReadError{e.Reason()};
    }
    if (!range) {
        throw ChunkReadError{}; // a RIFF file without MIDI data
    }
    return *range;
}
} // namespace

void RunChunkPass(BufferedFile& input, size_t windowSize, MidiEngine& engine, PassOutput* output) {
    const MidiRange range = FindInputRange(input);
    InputWindow window(input, windowSize);
    // The levels' room is reserved once for the whole input, so a pass never moves them.
    engine.ExpectInput(range.end - range.offset);
    ChunkReader reader(window, range.offset, range.end);
    ChunkPass pass(window, engine, output);
    ChunkFrame chunk;
    while (reader.Next(chunk)) {
        pass.Copy(chunk);
    }
    engine.m_repairs.chunksCutShort += reader.CutShortChunks();
}

} // namespace korvane
