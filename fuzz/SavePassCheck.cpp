#include "fuzz/SavePassCheck.h"

#include "job/ConversionJob.h"
#include "job/LanguageTable.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <map>
#include <optional>
#include <string>
#include <unistd.h>
#include <vector>

namespace korvane {
namespace {
using Bytes = std::vector<uint8_t>;

[[noreturn]] void Violation(const char* what, size_t offset) {
    std::fprintf(stderr, "save pass check failed: %s (output offset %zu)\n", what, offset);
    std::abort();
}

void Require(bool condition, const char* what, size_t offset = 0) {
    if (!condition) {
        Violation(what, offset);
    }
}

// A private scratch folder, in memory where the system offers one; removed at exit.
class ScratchFolder {
  public:
    ScratchFolder() {
        const char* base = ::access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
        m_path = std::string(base) + "/korvane-savepass-XXXXXX";
        Require(::mkdtemp(m_path.data()) != nullptr, "cannot make a scratch folder");
    }
    ~ScratchFolder() {
        std::remove(File("in.mid").c_str());
        std::remove(File("out.mid").c_str());
        ::rmdir(m_path.c_str());
    }
    std::string File(const char* name) const { return m_path + "/" + name; }

  private:
    std::string m_path;
};

void WriteBytes(const std::string& path, const uint8_t* data, size_t size) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    file.close();
    Require(static_cast<bool>(file), "cannot write the input file");
}

Bytes ReadBytes(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    Require(static_cast<bool>(file), "the save pass left no output file");
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

uint32_t BigEndian32(const uint8_t* p) {
    return (uint32_t{p[0]} << 24) | (uint32_t{p[1]} << 16) | (uint32_t{p[2]} << 8) | p[3];
}

uint32_t LittleEndian32(const uint8_t* p) {
    return (uint32_t{p[3]} << 24) | (uint32_t{p[2]} << 16) | (uint32_t{p[1]} << 8) | p[0];
}

struct Span {
    const uint8_t* data;
    size_t size;
};

// What the job converts: the whole input, or the data chunk (cut at the input's end) of a RIFF
// file of form "RMID". Any other RIFF file holds nothing to convert.
std::optional<Span> MidiSpan(const uint8_t* data, size_t size) {
    if (size < 4 || std::memcmp(data, "RIFF", 4) != 0) {
        return Span{data, size};
    }
    if (size < 12 || std::memcmp(data + 8, "RMID", 4) != 0) {
        return std::nullopt;
    }
    for (size_t pos = 12; size >= 8 && pos <= size - 8;) {
        const uint64_t length = LittleEndian32(data + pos + 4);
        if (std::memcmp(data + pos, "data", 4) == 0) {
            return Span{data + pos + 8,
                        static_cast<size_t>(std::min<uint64_t>(length, size - pos - 8))};
        }
        pos += static_cast<size_t>(std::min<uint64_t>(8 + length + length % 2, size - pos));
    }
    return std::nullopt;
}

struct Chunk {
    std::string id;
    size_t offset; // of the data
    size_t length;
};

// Where the MIDI header is: an "MThd" chunk starting in the first 4 KiB that holds 6 bytes
// (declared and there). None when the input is no MIDI file.
std::optional<size_t> HeaderPosition(const uint8_t* data, size_t size) {
    static constexpr uint8_t kHeaderId[] = {'M', 'T', 'h', 'd'};
    for (size_t pos = 0; pos < 4096 && size >= 8 && pos <= size - 8; ++pos) {
        if (std::equal(kHeaderId, kHeaderId + 4, data + pos)) {
            if (BigEndian32(data + pos + 4) < 6 || size - pos < 14) {
                return std::nullopt;
            }
            return pos;
        }
    }
    return std::nullopt;
}

// The input's first chunk, its data cut at the input's end; none without a whole chunk header.
std::optional<Chunk> FirstChunk(const uint8_t* data, size_t size) {
    if (size < 8) {
        return std::nullopt;
    }
    return Chunk{std::string(reinterpret_cast<const char*>(data), 4), 8,
                 std::min<size_t>(BigEndian32(data + 4), size - 8)};
}

// The output must split into whole chunks exactly, with no byte left over.
std::vector<Chunk> OutputChunks(const Bytes& out) {
    std::vector<Chunk> chunks;
    size_t pos = 0;
    while (pos < out.size()) {
        Require(out.size() - pos >= 8, "chunk header cut short", pos);
        const size_t length = BigEndian32(out.data() + pos + 4);
        Require(length <= out.size() - pos - 8, "chunk length exceeds the data written", pos);
        chunks.push_back(
            {std::string(reinterpret_cast<const char*>(out.data() + pos), 4), pos + 8, length});
        pos += 8 + length;
    }
    return chunks;
}

class TrackParser {
  public:
    TrackParser(const Bytes& out, const Chunk& chunk)
        : m_out(out), m_pos(chunk.offset), m_end(chunk.offset + chunk.length) {}

    // Walks the written events; End of Track must be the last event and end the chunk. Every
    // event has a status to run on, a channel event's data bytes are data bytes, and the only
    // system messages are System Exclusive, escapes and meta events.
    void Parse() {
        uint8_t running = 0; // none after System Exclusive: readers take it as the running one
        for (;;) {
            // Deltas are written in shortest form, never above 0x0FFFFFFF: four bytes at most.
            ReadVarLen(4);
            uint8_t status = Byte();
            if (status & 0x80) {
                ++m_pos;
                running = status < 0xF0 ? status : status == 0xFF ? running : 0;
            } else {
                Require(running != 0, "data byte with no status to run on", m_pos);
                status = running;
            }
            if (status == 0xFF) {
                const uint8_t type = Next();
                const uint32_t length = ReadVarLen(5);
                // Kinds with data of a fixed size hold it all: readers take that many bytes.
                static const std::map<uint8_t, uint32_t> kFixed{{0x20, 1}, {0x21, 1}, {0x51, 3},
                                                                {0x54, 5}, {0x58, 4}, {0x59, 2}};
                const auto fixed = kFixed.find(type);
                Require(fixed == kFixed.end() || length >= fixed->second,
                        "meta event too short for its kind", m_pos);
                Skip(length);
                if (type == 0x2F) {
                    Require(m_pos == m_end, "bytes after End of Track", m_pos);
                    Require(m_out[m_end - 3] == 0xFF && m_out[m_end - 2] == 0x2F &&
                                m_out[m_end - 1] == 0x00,
                            "track does not end with FF 2F 00", m_end);
                    return;
                }
            } else if (status == 0xF0 || status == 0xF7) {
                // Copied exactly as stored, however long the stored length is.
                const uint32_t length = ReadVarLen(0);
                Require(length <= m_end - m_pos, "event runs past the end of its chunk", m_pos);
                for (uint32_t i = 0; status == 0xF0 && i < length; ++i) {
                    const uint8_t b = m_out[m_pos + i];
                    Require(b < 0x80 || (b == 0xF7 && i + 1 == length),
                            "status byte in System Exclusive", m_pos + i);
                }
                Skip(length);
            } else {
                Require(status < 0xF0, "system message in a track", m_pos);
                for (size_t i = (status & 0xE0) == 0xC0 ? 1 : 2; i > 0; --i) {
                    Require(Next() < 0x80, "status byte among an event's data", m_pos);
                }
            }
        }
    }

  private:
    uint8_t Byte() const {
        Require(m_pos < m_end, "track ends without End of Track", m_pos);
        return m_out[m_pos];
    }
    uint8_t Next() {
        const uint8_t b = Byte();
        ++m_pos;
        return b;
    }
    // Keeps the low 32 bits, as the engine does; maxBytes 0 means any length.
    uint32_t ReadVarLen(int maxBytes) {
        uint32_t value = 0;
        for (int count = 1;; ++count) {
            const uint8_t b = Next();
            value = (value << 7) | (b & 0x7F);
            if (!(b & 0x80)) {
                return value;
            }
            Require(maxBytes == 0 || count < maxBytes, "variable-length quantity too long", m_pos);
        }
    }
    void Skip(size_t count) {
        Require(count <= m_end - m_pos, "event runs past the end of its chunk", m_pos);
        m_pos += count;
    }

    const Bytes& m_out;
    size_t m_pos;
    size_t m_end;
};

bool PrintableId(const std::string& id) {
    return std::all_of(id.begin(), id.end(), [](char c) { return c >= 0x20 && c <= 0x7E; });
}

// The header comes first, as read (cut to 6 bytes when its length took the tracks in) but for
// the track count, which counts the tracks written; every other chunk is a track that parses,
// or a chunk with a printable ID found whole in the input.
void CheckOutput(const uint8_t* data, size_t size, const Bytes& out) {
    const std::vector<Chunk> written = OutputChunks(out);
    if (written.empty()) {
        return;
    }
    const std::optional<Chunk> in = FirstChunk(data, size);
    Require(in.has_value(), "output written for an input without chunks");
    const Chunk& header = written[0];
    Require(header.id == in->id, "header ID changed", 0);
    Require(header.length == in->length || header.length == 6, "header length changed", 4);
    size_t tracks = 0;
    for (size_t i = 1; i < written.size(); ++i) {
        tracks += written[i].id == "MTrk";
    }
    for (size_t i = 0; i < header.length; ++i) {
        const bool count = i == 2 || i == 3;
        Require(count || out[header.offset + i] == data[in->offset + i], "header data changed",
                header.offset + i);
    }
    if (header.length >= 4) {
        const size_t count = std::min<size_t>(tracks, 0xFFFF);
        Require(out[header.offset + 2] == count >> 8 && out[header.offset + 3] == (count & 0xFF),
                "track count is not the tracks written", header.offset + 2);
    }
    for (size_t i = 1; i < written.size(); ++i) {
        const Chunk& w = written[i];
        Require(PrintableId(w.id), "chunk ID not printable", w.offset - 8);
        if (w.id != "MTrk") {
            const uint8_t* whole = out.data() + w.offset - 8;
            Require(std::search(data, data + size, whole, whole + w.length + 8) != data + size,
                    "chunk not copied whole from the input", w.offset - 8);
        } else {
            TrackParser(out, w).Parse();
        }
    }
}

uint32_t HashOf(const uint8_t* data, size_t size) {
    uint32_t hash = 2166136261u;
    for (size_t i = 0; i < size; ++i) {
        hash = (hash ^ data[i]) * 16777619u;
    }
    return hash;
}

// Spreads the inputs over the adjustments, edge values included, the same way every time.
Adjustments AdjustmentsFor(const uint8_t* data, size_t size) {
    const uint32_t hash = HashOf(data, size);
    static const int speeds[] = {0, 1, 7, 50, 100, 150, 200, 100000};
    return {static_cast<int>(hash % 1001), static_cast<int>((hash >> 10) % 1001),
            speeds[(hash >> 20) % 8], ((hash >> 23) & 1) != 0};
}

// Bytes of the input read at a time, spread over the inputs the same way.
size_t WindowFor(const uint8_t* data, size_t size) {
    static const size_t windows[] = {InputWindow::kSmallest, 9, 13, 64, InputWindow::kDefaultSize};
    return windows[(HashOf(data, size) >> 24) % 5];
}

ConversionOutcome Run(ConversionJob& job, ConversionRequest request) {
    ConversionOutcome outcome = job.RunConversion(request);
    if (!outcome.Completed()) {
        std::fprintf(stderr, "the job said: %s (%s)\n",
                     MessageText(*LanguageTextsFor(1), outcome.message), outcome.reason.c_str());
        Violation(request.output == OutputTo::File ? "the save pass did not complete"
                                                   : "the load pass did not complete",
                  0);
    }
    return outcome;
}
} // namespace

void CheckSavePass(const uint8_t* data, size_t size) {
    static const ScratchFolder scratch;
    const std::string input = scratch.File("in.mid");
    const std::string output = scratch.File("out.mid");
    WriteBytes(input, data, size);
    std::remove(output.c_str());

    ConversionJob job(WindowFor(data, size));
    const ConversionRequest save{.inputPath = input,
                                 .outputPath = output,
                                 .adjustments = AdjustmentsFor(data, size),
                                 .output = OutputTo::File,
                                 .keepLevels = true};
    const std::optional<Span> midi = MidiSpan(data, size);
    if (!midi) {
        Require(job.RunConversion(save).message == JobMessage::NotMidi &&
                    ::access(output.c_str(), F_OK) != 0,
                "a RIFF file without MIDI data was not refused as no MIDI file");
        return;
    }
    const std::optional<size_t> header = HeaderPosition(midi->data, midi->size);
    if (!header) {
        Require(job.RunConversion(save).message == JobMessage::NotMidi &&
                    ::access(output.c_str(), F_OK) != 0,
                "an input that is no MIDI file was not refused");
        return;
    }
    if (job.RunConversion(save).message == JobMessage::NoTrack) {
        // Nothing is written, and every pass says so alike.
        Require(::access(output.c_str(), F_OK) != 0, "output written for an input with no track");
        ConversionRequest load = save;
        load.output = OutputTo::Nothing;
        Require(job.RunConversion(load).message == JobMessage::NoTrack,
                "the load pass finds a track the save pass did not");
        return;
    }
    const std::vector<uint8_t> savedLevels = Run(job, save).levels;
    const Bytes written = ReadBytes(output);
    CheckOutput(midi->data + *header, midi->size - *header, written);

    ConversionRequest load = save;
    load.output = OutputTo::Nothing;
    Require(Run(job, load).levels == savedLevels, "load and save pass record different levels");

    // The command line keeps no levels and reads through the whole default window: the same file.
    ConversionRequest plain = save;
    plain.keepLevels = false;
    ConversionJob defaultWindow;
    Require(Run(defaultWindow, plain).levels.empty(), "levels kept for a caller that wants none");
    Require(ReadBytes(output) == written, "another window or no levels write another file");
}

} // namespace korvane
