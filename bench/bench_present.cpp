// The main thread's share of every frame: taking the finished 640x480 frame over and
// converting it to 32 bits for the window, per frame format.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "platform/video.h"

static void BM_ConvertFrame(benchmark::State& state) {
  const auto format = static_cast<platform::eFrameFormat>(state.range(0));
  const int bytes = format == platform::eFrameFormat::Indexed8   ? 1
                    : format == platform::eFrameFormat::X8R8G8B8 ? 4
                                                                 : 2;
  std::vector<std::uint8_t> frame(640 * 480 * bytes, 0x5A);
  std::uint32_t palette[256] = {};
  std::vector<std::uint32_t> out;
  for (auto _ : state) {
    platform::ConvertFrame(frame.data(), 640 * bytes, 640, 480, format, palette, out);
    benchmark::DoNotOptimize(out.data());
  }
}
BENCHMARK(BM_ConvertFrame)->DenseRange(0, 3)->Unit(benchmark::kMicrosecond);

static void BM_SubmitAndPresentHeadless(benchmark::State& state) {
  std::vector<std::uint32_t> frame(640 * 480, 0x123456);
  for (auto _ : state) {
    platform::SubmitFrame(frame.data(), 640 * 4, 640, 480, platform::eFrameFormat::X8R8G8B8,
                          nullptr);
    benchmark::DoNotOptimize(platform::PresentPendingFrame());
  }
}
BENCHMARK(BM_SubmitAndPresentHeadless)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
