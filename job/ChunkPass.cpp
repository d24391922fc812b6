#include "job/ChunkPass.h"

#include "job/ChunkReader.h"
#include "job/InputTrack.h"
#include "job/InputWindow.h"
#include "job/RiffUnwrap.h"
#include "job/TrackBoundary.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <optional>

namespace korvane {
namespace {
constexpr size_t kChunkHeaderPart = 4;
constexpr uint32_t kMaxChunkLength = 0xFFFFFFFF;
// Format, number of tracks and division: what a header holds.
constexpr uint32_t kHeaderLength = 6;
constexpr uint32_t kTrackCountOffset = 2;
constexpr uint32_t kMaxTrackCount = 0xFFFF;
// How far into the MIDI data its header is looked for.
constexpr uint64_t kHeaderSearch = 4096;

void PutBigEndian32(uint32_t value, uint8_t* bytes) {
    bytes[0] = static_cast<uint8_t>(value >> 24);
    bytes[1] = static_cast<uint8_t>(value >> 16);
    bytes[2] = static_cast<uint8_t>(value >> 8);
    bytes[3] = static_cast<uint8_t>(value);
}

class ChunkPass {
  public:
    ChunkPass(InputWindow& input, ChunkReader& reader, MidiEngine& engine, PassOutput* output)
        : m_input(input), m_reader(reader), m_engine(engine), m_output(output) {}

    // The first chunk is the header, track chunks are walked, other chunks copied unchanged
    // and what is no chunk dropped.
    void Run() {
        ChunkFrame chunk;
        while (m_reader.Next(chunk)) {
            if (!m_headerSeen) {
                Header(chunk);
            } else if (chunk.id == kTrackId) {
                Track(chunk);
            } else if (IsTrackIdInAnotherCase(chunk.id) && ReadsAsTrack(chunk)) {
                // A track whose ID lost its letter case: readers look for "MTrk" only.
                ++m_engine.m_repairs.trackIdsRepaired;
                chunk.id = kTrackId;
                Track(chunk);
            } else if (IsPrintableId(chunk.id) && !chunk.cutShort && !ReachesIntoTrack(chunk)) {
                ++m_engine.m_repairs.chunksCopied;
                WriteFrame(chunk.id, chunk.length);
                CopyData(chunk.offset, chunk.length, false);
            } else {
                DropJunk(chunk.position);
            }
        }
        m_engine.m_repairs.chunksCutShort += m_reader.CutShortHeaders();
        if (m_tracksWritten == 0 && m_declaredTracks.value_or(0) > 0 && m_afterHeader) {
            // Readers would find no track, where the header promised some and the input held
            // more than the header: a failure, not a repair.
            throw NoTrackError{};
        }
        PatchTrackCount();
    }

  private:
    // Whether a chunk's declared end lands where a chunk starts, or on the input's end.
    bool EndsOnAChunk(const ChunkFrame& chunk) {
        const uint64_t end = chunk.offset + chunk.length;
        return !chunk.cutShort && (end == m_reader.End() || m_reader.ChunkHeaderAt(end));
    }

    void Header(ChunkFrame chunk) {
        m_headerSeen = true;
        bool cut = false;
        if (chunk.length > kHeaderLength && !EndsOnAChunk(chunk)) {
            // A length reaching into the chunks after it takes them for header data: it is cut
            // where a chunk starts right after the header's fields, or else at the first track.
            const uint64_t fieldsEnd = chunk.offset + kHeaderLength;
            const std::optional<uint64_t> next =
                m_reader.ChunkHeaderAt(fieldsEnd)
                    ? fieldsEnd
                    : m_reader.FindTrackHeader(fieldsEnd, chunk.offset + chunk.length);
            if (next) {
                ++m_engine.m_repairs.headersCut;
                m_engine.m_repairs.junkBytesDropped += *next - fieldsEnd;
                chunk.length = kHeaderLength;
                m_reader.MoveTo(*next);
                cut = true;
            }
        }
        m_afterHeader = chunk.offset + chunk.length < m_reader.End();
        // A length cut to the header's fields no longer reaches past the end of the input.
        m_engine.m_repairs.chunksCutShort += chunk.cutShort && !cut;
        if (chunk.length >= kTrackCountOffset + 2) {
            const uint8_t* count = m_input.At(chunk.offset + kTrackCountOffset, 2).data();
            m_declaredTracks = (uint32_t{count[0]} << 8) | count[1];
            m_trackCountPosition =
                m_output != nullptr
                    ? m_output->Position() + 2 * kChunkHeaderPart + kTrackCountOffset
                    : 0;
        }
        WriteFrame(chunk.id, chunk.length);
        CopyData(chunk.offset, chunk.length, true);
    }

    // Bytes that are no chunk: dropped up to the next track, or to the end of the input.
    void DropJunk(uint64_t position) {
        const uint64_t next =
            m_reader.FindTrackHeader(position + 1, m_reader.End()).value_or(m_reader.End());
        m_engine.m_repairs.junkBytesDropped += next - position;
        m_reader.MoveTo(next);
    }

    void CopyData(uint64_t offset, uint32_t length, bool header) {
        for (uint32_t done = 0; done < length;) {
            const std::span<const uint8_t> window = m_input.At(offset + done, 1);
            const auto part = static_cast<uint32_t>(std::min<size_t>(window.size(), length - done));
            if (header) {
                m_engine.CopyHeader(window.data(), part);
            } else if (m_output != nullptr) {
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

    void Track(ChunkFrame chunk) {
        m_engine.m_repairs.chunksCutShort += chunk.cutShort;
        bool repaired = false;
        // A declared end that is no chunk header, and that no End of Track ends at, lies inside
        // this track, the next one or junk after it: the track ends with its first End of Track,
        // which comes before the next track header after the declared end (one that came after
        // it would end a track that has none, read over junk and another track's header).
        const uint64_t declaredEnd = chunk.offset + chunk.length;
        if (declaredEnd < m_reader.End() && !m_reader.ChunkHeaderAt(declaredEnd) &&
            !EndsWithEndOfTrack(chunk)) {
            const uint64_t nextTrack =
                m_reader.FindTrackHeader(declaredEnd, m_reader.End()).value_or(m_reader.End());
            const std::optional<uint64_t> end = FindTrackEnd(m_input, chunk.offset, nextTrack);
            if (end && *end != declaredEnd && *end - chunk.offset <= kMaxChunkLength) {
                chunk.length = static_cast<uint32_t>(*end - chunk.offset);
                repaired = true;
            }
        }
        WalkTrack(chunk);
        uint64_t next = chunk.offset + chunk.length;
        const uint64_t walkEnd = chunk.offset + m_engine.WalkEnd();
        if (walkEnd < next) {
            // Bytes after the End of Track, within the length: where a chunk starts right after
            // it or a track header lies among them, the length reached into the chunks after the
            // track (over more End of Tracks, perhaps); the bytes up to there are dropped.
            const std::optional<uint64_t> chunkStart =
                m_reader.ChunkHeaderAt(walkEnd) ? walkEnd : m_reader.FindTrackHeader(walkEnd, next);
            repaired |= chunkStart.has_value();
            next = chunkStart.value_or(next);
            m_engine.m_repairs.junkBytesDropped += next - walkEnd;
        }
        m_engine.m_repairs.trackLengthsRepaired += repaired;
        m_reader.MoveTo(next);
    }

    // A chunk whose ID is "MTrk" in another letter case.
    static bool IsTrackIdInAnotherCase(const std::array<char, 4>& id) {
        return id != kTrackId &&
               std::equal(id.begin(), id.end(), kTrackId.begin(), [](char a, char b) {
                   return (a | 0x20) == (b | 0x20) && IsAsciiLetter(a);
               });
    }
    static bool IsAsciiLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

    // Whether a chunk's data reads as a track: its events end with its first End of Track.
    bool ReadsAsTrack(const ChunkFrame& chunk) {
        const uint64_t end = chunk.offset + chunk.length;
        return FindTrackEnd(m_input, chunk.offset, end) == std::optional<uint64_t>(end);
    }

    // A vendor chunk whose declared end lands on no chunk while a track header lies within its
    // data: its length took the track in, and it is no chunk.
    bool ReachesIntoTrack(const ChunkFrame& chunk) {
        return !EndsOnAChunk(chunk) &&
               m_reader.FindTrackHeader(chunk.offset, chunk.offset + chunk.length).has_value();
    }

    bool EndsWithEndOfTrack(const ChunkFrame& chunk) {
        static constexpr uint8_t kEndOfTrack[] = {0xFF, 0x2F, 0x00};
        if (chunk.length < sizeof kEndOfTrack) {
            return false;
        }
        const std::span<const uint8_t> last =
            m_input.Peek(chunk.offset + chunk.length - sizeof kEndOfTrack, sizeof kEndOfTrack);
        return std::equal(kEndOfTrack, kEndOfTrack + sizeof kEndOfTrack, last.begin());
    }

    void WalkTrack(const ChunkFrame& chunk) {
        ++m_tracksWritten;
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

    // The header's track count becomes the number of tracks written, as their lengths do.
    void PatchTrackCount() {
        if (!m_declaredTracks) {
            return;
        }
        const uint32_t count = std::min(m_tracksWritten, kMaxTrackCount);
        if (count == *m_declaredTracks) {
            return;
        }
        ++m_engine.m_repairs.trackCountsPatched;
        if (m_output != nullptr) {
            const uint8_t patch[] = {static_cast<uint8_t>(count >> 8), static_cast<uint8_t>(count)};
            m_output->Overwrite(m_trackCountPosition, patch, sizeof patch);
        }
    }

    InputWindow& m_input;
    ChunkReader& m_reader;
    MidiEngine& m_engine;
    PassOutput* m_output;
    bool m_headerSeen = false;
    bool m_afterHeader = false; // the input holds bytes after the header
    uint32_t m_tracksWritten = 0;
    std::optional<uint32_t> m_declaredTracks; // none when the header is too short to hold it
    uint64_t m_trackCountPosition = 0;        // in the output
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
        throw NotMidiError{}; // a RIFF file without MIDI data: a wave file, say
    }
    return *range;
}
// Where the header chunk is: within the first bytes of the MIDI data, behind what a transfer
// put before it, and holding its 6 bytes. Without one the input is no MIDI file.
uint64_t FindHeader(InputWindow& input, ChunkReader& reader, uint64_t begin) {
    const std::optional<uint64_t> header =
        reader.FindChunk(kHeaderId, begin, begin + kHeaderSearch);
    if (!header || reader.End() - *header < 2 * kChunkHeaderPart + kHeaderLength) {
        throw NotMidiError{};
    }
    const uint8_t* length = input.At(*header + kChunkHeaderPart, kChunkHeaderPart).data();
    if (length[0] == 0 && length[1] == 0 && length[2] == 0 && length[3] < kHeaderLength) {
        throw NotMidiError{};
    }
    return *header;
}
} // namespace

void RunChunkPass(BufferedFile& input, size_t windowSize, MidiEngine& engine, PassOutput* output) {
    const MidiRange range = FindInputRange(input);
    InputWindow window(input, windowSize);
    // The levels' room is reserved once for the whole input, so a pass never moves them.
    engine.ExpectInput(range.end - range.offset);
    ChunkReader reader(window, range.offset, range.end);
    const uint64_t header = FindHeader(window, reader, range.offset);
    engine.m_repairs.leadingBytesDropped += header - range.offset;
    reader.MoveTo(header);
    ChunkPass(window, reader, engine, output).Run();
}

} // namespace korvane
