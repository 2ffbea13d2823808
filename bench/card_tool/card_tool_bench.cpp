// quorlin-card making 200 cards in one process against the profile service on a loopback
// port. Target: at least 100 cards per second on the development machine (counter
// cards_per_second, the whole run from start to exit); peak_MiB is the process's peak
// resident memory, cpu_ms_per_card its processor time (user and system, all threads) per card,
// which other load on the machine does not change. The 200 members are distinct (200 profile
// and 200 portrait requests).
#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <string>

#include "tests/support/background_program.h"

namespace {

constexpr int kCards = 200;

struct Bench {
  std::filesystem::path folder;
  std::unique_ptr<quorlin::testing::BackgroundProgram> service;
  std::string host;
};

Bench& Setup() {
  static Bench bench = [] {
    Bench b;
    std::random_device random;
    b.folder = std::filesystem::temp_directory_path() /
               ("card-tool-bench-" + std::to_string(getpid()) + "-" + std::to_string(random()));
    std::filesystem::create_directories(b.folder);
    std::ofstream members(b.folder / "members.txt");
    std::ofstream ids(b.folder / "ids.txt");
    for (int i = 0; i < kCards; ++i) {
      members << "benchmember" << i << "\tbench.portrait." << i << "\t" << (i % 12) << "." << (i % 10) << "\n";
      ids << "benchmember" << i << "\n";
    }
    members.close();
    std::ofstream(b.folder / "quorlin.ini") << "[sz]\nset=0\n";
    std::string error;
    b.service = quorlin::testing::BackgroundProgram::Start(
        QUORLIN_PROFILE_SERVICE, {"--port", "0", "--members", (b.folder / "members.txt").string()}, "listening on ",
        &error, 20);
    if (b.service) b.host = "127.0.0.1:" + std::to_string(b.service->ReadyPort());
    return b;
  }();
  return bench;
}

struct RunResult {
  bool ok = false;
  double seconds = 0;
  long peakKib = 0;
  double cpuSeconds = 0;
};

RunResult RunTool(const Bench& bench, const std::filesystem::path& out) {
  const std::string ini = (bench.folder / "quorlin.ini").string();
  const std::string ids = (bench.folder / "ids.txt").string();
  const std::string outFolder = out.string();
  const auto start = std::chrono::steady_clock::now();
  const pid_t child = fork();
  if (child == 0) {
    const int in = open(ids.c_str(), O_RDONLY);
    const int null = open("/dev/null", O_WRONLY);
    dup2(in, STDIN_FILENO);
    dup2(null, STDOUT_FILENO);
    setenv("QUORLIN_PROFILE_HOST", bench.host.c_str(), 1);
    setenv("QUORLIN_PORTRAIT_HOST", bench.host.c_str(), 1);
    execl(QUORLIN_CARD_TOOL, "quorlin-card", "--config", ini.c_str(), "--out", outFolder.c_str(), "-",
          static_cast<char*>(nullptr));
    _exit(127);
  }
  int status = 0;
  rusage usage{};
  RunResult result;
  if (child < 0 || wait4(child, &status, 0, &usage) != child) return result;
  result.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  result.peakKib = usage.ru_maxrss;
  const auto seconds = [](const timeval& time) { return static_cast<double>(time.tv_sec) + time.tv_usec / 1e6; };
  result.cpuSeconds = seconds(usage.ru_utime) + seconds(usage.ru_stime);
  result.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
  return result;
}

void BM_TwoHundredCards(benchmark::State& state) {
  const Bench& bench = Setup();
  if (bench.host.empty()) {
    state.SkipWithError("the profile service did not start");
    return;
  }
  long peakKib = 0;
  double seconds = 0;
  double cpuSeconds = 0;
  int runs = 0;
  for (auto _ : state) {
    const std::filesystem::path out = bench.folder / ("out" + std::to_string(runs));
    const RunResult result = RunTool(bench, out);
    const auto written = std::distance(std::filesystem::directory_iterator(out), {});
    std::filesystem::remove_all(out);
    if (!result.ok || written != kCards) {
      state.SkipWithError("quorlin-card did not write every card");
      return;
    }
    state.SetIterationTime(result.seconds);
    seconds += result.seconds;
    cpuSeconds += result.cpuSeconds;
    peakKib = std::max(peakKib, result.peakKib);
    ++runs;
  }
  state.counters["cards_per_second"] = kCards * runs / seconds;
  state.counters["peak_MiB"] = static_cast<double>(peakKib) / 1024.0;
  state.counters["cpu_ms_per_card"] = 1000.0 * cpuSeconds / (kCards * runs);
}
BENCHMARK(BM_TwoHundredCards)->UseManualTime()->Iterations(5)->Unit(benchmark::kMillisecond);

}  // namespace
