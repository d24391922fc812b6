#include "gfx/LevelPlot.h"
#include "gfx/PictureTarget.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <random>
#include <vector>

namespace korvane {
namespace {

// Stands in for the control: keeps a copy of the rows, as the window's adapter does.
class MemoryPicture : public PictureTarget {
  public:
    void ShowPicture(int /*x*/, int /*y*/, int /*width*/, int height, int stride,
                     const uint8_t* bottomUpRows) override {
        m_rows.resize(static_cast<std::size_t>(height) * stride);
        std::memcpy(m_rows.data(), bottomUpRows, m_rows.size());
    }
    std::vector<uint8_t> m_rows;
};

// Levels shaped like a real file: velocities around a melody, some Note Offs of 0 and 64.
std::vector<uint8_t> Levels(std::size_t count) {
    std::mt19937 random(7);
    std::normal_distribution<double> velocity(80.0, 18.0);
    std::vector<uint8_t> levels(count);
    for (std::size_t i = 0; i < count; ++i) {
        const int v = i % 3 == 2 ? (i % 2 ? 0 : 64) : static_cast<int>(velocity(random));
        levels[i] = static_cast<uint8_t>(v < 1 ? 1 : v > 127 ? 127 : v);
    }
    return levels;
}

// About the client area of control 1003 (344 x 84 dialog units at 96 dpi).
constexpr int kWidth = 520;
constexpr int kHeight = 140;

void BM_Redraw(benchmark::State& state) {
    const std::vector<uint8_t> levels = Levels(static_cast<std::size_t>(state.range(0)));
    MemoryPicture picture;
    int volume = 0;
    for (auto _ : state) {
        // A slider drag: every redraw sees another position.
        DrawLevelPlot(picture, kWidth, kHeight, levels, 700, 300 + volume);
        volume = (volume + 1) % 400;
        benchmark::DoNotOptimize(picture.m_rows.data());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

} // namespace

BENCHMARK(BM_Redraw)
    ->Arg(0)
    ->Arg(1'000)
    ->Arg(1'000'000)
    ->Arg(10'000'000)
    ->Unit(benchmark::kMillisecond);

} // namespace korvane

BENCHMARK_MAIN();
