// The engine's save pass memory to memory: the chunk framing the job does, the header copy and
// every track walked, over a generated 32 MB format-1 file; whole, or a window at a time.
#include "midi/MidiEngine.h"
#include "testing/BenchmarkSong.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <span>
#include <vector>

namespace korvane {
namespace {
constexpr size_t kSongBytes = size_t{32} << 20;

const std::vector<uint8_t>& Song() {
    static const std::vector<uint8_t> song = BenchmarkSong(kSongBytes);
    return song;
}

// Output in memory, offered as room to write in place as the file output offers its buffer.
// The capacity is set once: a pass that would outgrow it stops the benchmark.
class MemorySink : public ByteSink {
  public:
    explicit MemorySink(size_t capacity)
        : m_bytes(std::make_unique_for_overwrite<uint8_t[]>(capacity)), m_capacity(capacity) {}
    void Write(const uint8_t* data, size_t count) override {
        std::memcpy(Room(count).data(), data, count);
        Commit(count);
    }
    std::span<uint8_t> Room(size_t count) override {
        if (m_capacity - m_size < count) {
            std::abort();
        }
        return {m_bytes.get() + m_size, m_capacity - m_size};
    }
    void Commit(size_t count) override { m_size += count; }
    void Clear() { m_size = 0; }
    uint8_t* Data() { return m_bytes.get(); }
    size_t Size() const { return m_size; }

  private:
    std::unique_ptr<uint8_t[]> m_bytes;
    size_t m_capacity;
    size_t m_size = 0;
};

// A track in memory handed out a window at a time, as the job hands out a file's tracks.
class WindowedTrack : public TrackSource {
  public:
    WindowedTrack(const uint8_t* data, uint32_t length, size_t window)
        : m_data(data), m_length(length), m_window(window) {}
    uint32_t Length() const override { return m_length; }
    std::span<const uint8_t> Window(uint32_t offset) override {
        return {m_data + offset, std::min<size_t>(m_window, m_length - offset)};
    }

  private:
    const uint8_t* m_data;
    uint32_t m_length;
    size_t m_window;
};

uint32_t BigEndian32(const uint8_t* p) {
    return (uint32_t{p[0]} << 24) | (uint32_t{p[1]} << 16) | (uint32_t{p[2]} << 8) | p[3];
}

// One save pass: every chunk framed as the job frames it, tracks walked (whole when window is
// 0), lengths patched.
size_t SavePass(MidiEngine& engine, const Adjustments& adjustments, MemorySink& sink,
                const std::vector<uint8_t>& song, size_t window) {
    sink.Clear();
    engine.m_levels.clear();
    engine.BeginPass(adjustments, &sink);
    engine.ExpectInput(song.size());
    size_t largestChunk = 0;
    for (size_t pos = 0; pos + 8 <= song.size();) {
        const uint32_t length = BigEndian32(song.data() + pos + 4);
        const uint8_t* data = song.data() + pos + 8;
        largestChunk = std::max<size_t>(largestChunk, length);
        const size_t frame = sink.Size();
        sink.Write(song.data() + pos, 8);
        if (pos == 0) {
            engine.CopyHeader(data, length);
        } else if (window == 0) {
            engine.WalkTrack(data, length);
        } else {
            WindowedTrack track(data, length, window);
            engine.WalkTrack(track);
            const auto written = static_cast<uint32_t>(engine.TrackBytes());
            const uint8_t patch[4] = {
                static_cast<uint8_t>(written >> 24), static_cast<uint8_t>(written >> 16),
                static_cast<uint8_t>(written >> 8), static_cast<uint8_t>(written)};
            std::memcpy(sink.Data() + frame + 4, patch, sizeof patch);
        }
        pos += 8 + length;
    }
    engine.EndPass();
    return largestChunk;
}

void RunSavePass(benchmark::State& state, const Adjustments& adjustments, size_t window = 0) {
    const std::vector<uint8_t>& song = Song();
    MidiEngine engine;
    // Room for the repair's Note Offs too.
    MemorySink sink(3 * song.size());
    size_t largestChunk = 0;
    for (auto _ : state) {
        largestChunk = SavePass(engine, adjustments, sink, song, window);
        benchmark::DoNotOptimize(sink.Data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * song.size()));
    state.counters["input_bytes"] = static_cast<double>(song.size());
    state.counters["output_bytes"] = static_cast<double>(sink.Size());
    state.counters["largest_chunk"] = static_cast<double>(largestChunk);
    state.counters["levels"] = static_cast<double>(engine.m_levels.size());
}

void BM_SavePassAllAdjustments(benchmark::State& state) {
    RunSavePass(state, {700, 400, 150, true});
}
void BM_SavePassDefaults(benchmark::State& state) {
    RunSavePass(state, Adjustments());
}
// The drums left as read: every event goes the checked path.
void BM_SavePassDrumsLeft(benchmark::State& state) {
    Adjustments adjustments{700, 400, 150, true};
    adjustments.m_levelChannels = Adjustments::kAllButDrums;
    RunSavePass(state, adjustments);
}
// Keeping the bars: the deltas as read, the tempos scaled.
void BM_SavePassKeepBars(benchmark::State& state) {
    Adjustments adjustments{700, 400, 150, true};
    adjustments.m_keepBars = true;
    RunSavePass(state, adjustments);
}
// Tracks walked through windows of the given size: what moving from window to window costs.
void BM_SavePassAllAdjustmentsInWindows(benchmark::State& state) {
    RunSavePass(state, {700, 400, 150, true}, static_cast<size_t>(state.range(0)));
}
} // namespace

// A warm-up pass first: the first one also pays for touching the sink's memory.
BENCHMARK(BM_SavePassAllAdjustments)->Unit(benchmark::kMillisecond)->MinWarmUpTime(0.3);
BENCHMARK(BM_SavePassDefaults)->Unit(benchmark::kMillisecond)->MinWarmUpTime(0.3);
BENCHMARK(BM_SavePassDrumsLeft)->Unit(benchmark::kMillisecond)->MinWarmUpTime(0.3);
BENCHMARK(BM_SavePassKeepBars)->Unit(benchmark::kMillisecond)->MinWarmUpTime(0.3);
BENCHMARK(BM_SavePassAllAdjustmentsInWindows)
    ->Arg(64 << 10)
    ->Arg(1 << 20)
    ->Unit(benchmark::kMillisecond)
    ->MinWarmUpTime(0.3);

} // namespace korvane

BENCHMARK_MAIN();
