// What a gradient sweep costs at common window sizes, beside the cost of merely
// clearing a 32-bit pixel buffer of the same area. The canvas only counts, so the
// figures are the portable work alone (geometry, point list, colour table), not GDI's.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <vector>

#include "paint/cls_gradient.h"
#include "paint/gradient_state.h"

namespace {

using namespace kestrum;

class NoUi : public platform::Ui {
public:
    void messageBox(const std::string&, unsigned, const std::string&) override {}
    bool confirm(const std::string&, unsigned, const std::string&) override { return false; }
    bool copyText(const std::string&) override { return false; }
    void setBusyPointer(bool) override {}
    void doEvents() override {}
};

class NoSystemColors : public platform::SystemColors {
public:
    std::uint32_t sysColor(int) override { return 0; }
};

class CountingCanvas : public platform::Canvas {
public:
    void moveTo(int, int) override { ++calls; }
    void lineTo(int, int) override { ++calls; }
    platform::GdiObject createPen(int, int, std::uint32_t color) override { return ++calls + color; }
    platform::GdiObject selectObject(platform::GdiObject object) override { return ++calls + object; }
    void deleteObject(platform::GdiObject) override { ++calls; }
    std::uint64_t calls = 0;
};

void Sweep(benchmark::State& state) {
    const auto w = static_cast<std::int32_t>(state.range(0));
    const auto h = static_cast<std::int32_t>(state.range(1));
    NoUi ui;
    NoSystemColors colors;
    paint::GradientState shared(ui, colors);
    paint::clsGradient painter(shared);  // the defaults: 315 degrees
    CountingCanvas canvas;
    std::int64_t lines = 0;
    for (auto _ : state) {  // NOLINT(clang-analyzer-deadcode.DeadStores): the library's loop idiom
        const std::int32_t drawn = painter.DrawGradient(&canvas, w, h);
        benchmark::DoNotOptimize(drawn);
        lines += drawn / 2;
    }
    benchmark::DoNotOptimize(canvas.calls);
    state.counters["lines"] = static_cast<double>(lines) / static_cast<double>(state.iterations());
    state.counters["time_per_line"] =
        benchmark::Counter(static_cast<double>(lines), benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(Sweep)->Args({691, 400})->Args({1920, 1080})->Args({3840, 2160})->Unit(benchmark::kMicrosecond);

// The floor: every pixel of the area written once.
void ClearPixels(benchmark::State& state) {
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(state.range(0) * state.range(1)));
    for (auto _ : state) {  // NOLINT(clang-analyzer-deadcode.DeadStores): the library's loop idiom
        std::fill(pixels.begin(), pixels.end(), 0x00FFFFD0u);
        benchmark::DoNotOptimize(pixels.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(pixels.size() * sizeof(std::uint32_t)));
}
BENCHMARK(ClearPixels)->Args({691, 400})->Args({1920, 1080})->Args({3840, 2160})->Unit(benchmark::kMicrosecond);

}  // namespace
