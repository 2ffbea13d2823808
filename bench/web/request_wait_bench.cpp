// How long a click on 生成 keeps the card tool waiting when a service does not answer or
// trickles, and what processor time the wait costs: the real program on the headless display,
// its profile and portrait hosts pointed at loopback servers. The time counted is the run's
// minus that of a run whose profile host refuses at once (start-up, the click, the end).
// Targets: an unanswered or trickling profile request ends 30 s ± 1 s after the click; a held
// portrait ends at its own bound (5 s silent, 20 s trickling); the waiting thread uses next to
// no processor time.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

#include "platform/user/input_held_wait.h"
#include "tests/support/loopback_http_server.h"
#include "tests/support/slow_http_server.h"

namespace {

using namespace std::chrono_literals;
using quorlin::testing::LoopbackHttpServer;
using quorlin::testing::ScriptedReply;
using quorlin::testing::SlowHttpServer;

struct ProgramRun {
  double seconds = 0;
  double cpuSeconds = 0;
};

double Seconds(const timeval& t) { return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6; }

// The program in a folder of its own types an ID, clicks 生成 and ends when the card is done.
ProgramRun RunCardProgram(const std::string& profileHost, const std::string& portraitHost) {
  const std::filesystem::path folder =
      std::filesystem::temp_directory_path() / ("quorlin-wait-bench-" + std::to_string(getpid()));
  std::filesystem::create_directories(folder);
  const std::filesystem::path program = folder / "quorlin";
  std::filesystem::copy_file(QUORLIN_EXECUTABLE, program, std::filesystem::copy_options::overwrite_existing);
  const std::filesystem::path script = folder / "scenario.txt";
  std::ofstream(script) << "focus 编辑框1\ntype member\nclick 按钮1\n";

  const auto start = std::chrono::steady_clock::now();
  const pid_t child = fork();
  if (child == 0) {
    const int quiet = open("/dev/null", O_WRONLY);
    dup2(quiet, STDOUT_FILENO);
    dup2(quiet, STDERR_FILENO);
    setenv("QUORLIN_DISPLAY", "headless", 1);
    setenv("QUORLIN_SCENARIO", script.c_str(), 1);
    setenv("QUORLIN_PROFILE_HOST", profileHost.c_str(), 1);
    setenv("QUORLIN_PORTRAIT_HOST", portraitHost.c_str(), 1);
    execl(program.c_str(), "quorlin", static_cast<char*>(nullptr));
    _exit(127);
  }
  int status = 0;
  rusage usage{};
  wait4(child, &status, 0, &usage);
  ProgramRun run;
  run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  run.cpuSeconds = Seconds(usage.ru_utime) + Seconds(usage.ru_stime);
  std::filesystem::remove_all(folder);
  return run;
}

const ProgramRun& Baseline() {
  static const ProgramRun baseline = RunCardProgram("127.0.0.1:1", "127.0.0.1:1");
  return baseline;
}

void Report(benchmark::State& state, const ProgramRun& run) {
  state.SetIterationTime(run.seconds - Baseline().seconds);
  state.counters["wait_s"] = run.seconds - Baseline().seconds;
  state.counters["cpu_ms"] = 1000 * (run.cpuSeconds - Baseline().cpuSeconds);
}

void BM_ProfileNeverAnswers(benchmark::State& state) {
  SlowHttpServer silent(SlowHttpServer::Manner::kSilent);
  for (auto _ : state) Report(state, RunCardProgram(silent.HostAndPort(), silent.HostAndPort()));
}

void BM_ProfileTrickles(benchmark::State& state) {
  SlowHttpServer trickling(SlowHttpServer::Manner::kTrickling, 500ms);
  for (auto _ : state) Report(state, RunCardProgram(trickling.HostAndPort(), trickling.HostAndPort()));
}

// The profile answers at once; the portrait host is held.
void PortraitHeld(benchmark::State& state, SlowHttpServer::Manner manner) {
  LoopbackHttpServer profile;
  profile.SetReply("/home/get/panel", ScriptedReply{200, {}, R"({"portrait":"p.bench","tb_age":"2"})"});
  SlowHttpServer portrait(manner, 500ms);
  const std::string profileHost = "127.0.0.1:" + std::to_string(profile.Port());
  for (auto _ : state) Report(state, RunCardProgram(profileHost, portrait.HostAndPort()));
}

void BM_PortraitNeverAnswers(benchmark::State& state) { PortraitHeld(state, SlowHttpServer::Manner::kSilent); }
void BM_PortraitTrickles(benchmark::State& state) { PortraitHeld(state, SlowHttpServer::Manner::kTrickling); }

// The waiting thread alone: processor time it spends while the work sleeps.
void BM_HeldWaitThreadCpu(benchmark::State& state) {
  for (auto _ : state) {
    rusage before{}, after{};
    getrusage(RUSAGE_THREAD, &before);
    const auto start = std::chrono::steady_clock::now();
    quorlin::platform::RunWithInputHeld([] { std::this_thread::sleep_for(3s); });
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    getrusage(RUSAGE_THREAD, &after);
    state.SetIterationTime(seconds);
    const double cpu = Seconds(after.ru_utime) + Seconds(after.ru_stime) - Seconds(before.ru_utime) -
                       Seconds(before.ru_stime);
    state.counters["cpu_ms"] = 1000 * cpu;
    state.counters["cpu_percent"] = 100 * cpu / seconds;
  }
}

}  // namespace

BENCHMARK(BM_ProfileNeverAnswers)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);
BENCHMARK(BM_ProfileTrickles)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);
BENCHMARK(BM_PortraitNeverAnswers)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);
BENCHMARK(BM_PortraitTrickles)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);
BENCHMARK(BM_HeldWaitThreadCpu)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);
