// Tiny files declaring giant pictures, decoded and made drawable as the draw panel and the
// picture box do. Targets: each under 0.2 s and 100 MB peak (the truncated JPEG within the
// megapixel cap excepted: it decodes at its full declared size, and its figure is reported).
// peak_MiB is the peak resident memory of a child that does only this, less that of a child
// that does nothing.
#include <benchmark/benchmark.h>

#include <string>

#include "graphics/pictures/pictures.h"
#include "tests/support/child_process.h"
#include "tests/support/hostile_pictures.h"

namespace {

using namespace quorlin;
using testing::HostilePicture;

void DecodeAndDraw(const HostilePicture& file) {
  auto picture = pictures::DecodePicture(file.bytes.data(), file.bytes.size());
  if (picture) benchmark::DoNotOptimize(pictures::MakeDrawablePicture(*picture, 0, 0xFFFFFF));
}

double PeakMiB(const HostilePicture& file) {
  static const long idle = testing::RunInChild([] {}).peakKilobytes;
  const long peak = testing::RunInChild([&] { DecodeAndDraw(file); }, 120).peakKilobytes;
  return static_cast<double>(peak - idle) / 1024.0;
}

void Register(const HostilePicture& file) {
  benchmark::RegisterBenchmark(("BM_Hostile/" + file.name).c_str(), [file](benchmark::State& state) {
    for (auto _ : state) DecodeAndDraw(file);
    state.counters["peak_MiB"] = PeakMiB(file);
    state.counters["file_bytes"] = static_cast<double>(file.bytes.size());
  })->Unit(benchmark::kMillisecond)->Iterations(3);
}

const bool registered = [] {
  for (const HostilePicture& file : testing::HostilePictures()) Register(file);
  Register(testing::TruncatedJpeg(7900));  // 62.4 megapixels: within the cap
  return true;
}();

}  // namespace
