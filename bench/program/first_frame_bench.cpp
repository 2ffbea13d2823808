// Whole-process benchmark of the program on the desktop display, under a private Xvfb: the
// time from starting the process to the first frame of its window reaching the X server, and
// the processor time it uses while it sits idle afterwards.
//
//   desktop_first_frame_bench PROGRAM [BASELINE] [--rounds N]
//
// With BASELINE, another build of the program runs in the same interleaved batch. A frame has
// arrived once most of a mapped window's pixels are neither black nor white (an empty window
// shows Xvfb's black-and-white root weave). Prints medians; exits 1 when a target is missed
// and 77 (skipped) without Xvfb.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#include <xcb/xcb.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr double kFirstFrameTargetMs = 100;
constexpr int kFrameTimeoutMs = 10000;
constexpr int kSettleMs = 500;
constexpr int kIdleWatchMs = 2000;
constexpr int kSkipped = 77;

double MsSince(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

pid_t Spawn(const std::vector<std::string>& argv, const std::vector<std::string>& extraEnv, bool quiet) {
  std::vector<char*> args;
  for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);
  std::vector<std::string> envStrings(extraEnv);
  for (char** e = environ; *e; ++e) envStrings.emplace_back(*e);
  std::vector<char*> env;
  for (std::string& e : envStrings) env.push_back(e.data());
  env.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  if (quiet) {
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  }
  pid_t pid = -1;
  if (posix_spawnp(&pid, args[0], &actions, nullptr, args.data(), env.data()) != 0) pid = -1;
  posix_spawn_file_actions_destroy(&actions);
  return pid;
}

void Stop(pid_t pid) {
  kill(pid, SIGTERM);
  for (int i = 0; i < 100; ++i) {
    if (waitpid(pid, nullptr, WNOHANG) == pid) return;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  kill(pid, SIGKILL);
  waitpid(pid, nullptr, 0);
}

// Xvfb on a free display; its name (":N"), empty when it did not come up.
std::string StartXvfb(pid_t& server) {
  int fds[2];
  if (pipe(fds) != 0) return {};
  server = Spawn({"Xvfb", "-displayfd", std::to_string(fds[1]), "-screen", "0", "1280x1024x24", "-nolisten", "tcp",
                  "-noreset"},
                 {}, true);
  close(fds[1]);
  std::string number;
  pollfd p{fds[0], POLLIN, 0};
  char c;
  while (server > 0 && poll(&p, 1, 10000) > 0 && read(fds[0], &c, 1) == 1 && c != '\n') number += c;
  close(fds[0]);
  return number.empty() ? std::string() : ":" + number;
}

// Processor time the process has used, in clock ticks (user + system).
long CpuTicks(pid_t pid) {
  std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
  std::string stat((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  const size_t nameEnd = stat.rfind(')');
  if (nameEnd == std::string::npos) return -1;
  std::vector<std::string> fields;
  size_t at = nameEnd + 2;
  while (at < stat.size()) {
    const size_t end = stat.find(' ', at);
    fields.push_back(stat.substr(at, end - at));
    if (end == std::string::npos) break;
    at = end + 1;
  }
  // Fields after the name start at the state (field 3); utime and stime are fields 14 and 15.
  return fields.size() > 12 ? std::stol(fields[11]) + std::stol(fields[12]) : -1;
}

// Whether most of the window's pixels are neither black nor white.
bool ShowsFrame(xcb_connection_t* x, xcb_window_t window) {
  auto* geometry = xcb_get_geometry_reply(x, xcb_get_geometry(x, window), nullptr);
  if (!geometry) return false;
  const uint16_t width = geometry->width, height = geometry->height;
  free(geometry);
  auto* image = xcb_get_image_reply(
      x, xcb_get_image(x, XCB_IMAGE_FORMAT_Z_PIXMAP, window, 0, 0, width, height, ~0u), nullptr);
  if (!image) return false;
  const int length = xcb_get_image_data_length(image) / 4;
  const auto* pixels = reinterpret_cast<const uint32_t*>(xcb_get_image_data(image));
  int coloured = 0;
  for (int i = 0; i < length; ++i) {
    const uint32_t p = pixels[i] & 0xFFFFFF;
    coloured += p != 0 && p != 0xFFFFFF;
  }
  free(image);
  return length > 0 && coloured * 2 > length;
}

struct Sample {
  double firstFrameMs = -1;
  long idleTicks = -1;
};

Sample Measure(xcb_connection_t* x, const std::string& display, const fs::path& program) {
  Sample sample;
  xcb_generic_event_t* event;
  while ((event = xcb_poll_for_event(x))) free(event);  // what the last run left
  const Clock::time_point start = Clock::now();
  const pid_t pid = Spawn({program.string()}, {"DISPLAY=" + display, "QUORLIN_DISPLAY=desktop"}, true);
  if (pid <= 0) return sample;
  std::set<xcb_window_t> mapped;
  while (MsSince(start) < kFrameTimeoutMs && sample.firstFrameMs < 0) {
    while ((event = xcb_poll_for_event(x))) {
      if ((event->response_type & 0x7F) == XCB_MAP_NOTIFY) {
        mapped.insert(reinterpret_cast<xcb_map_notify_event_t*>(event)->window);
      }
      free(event);
    }
    for (xcb_window_t window : mapped) {
      if (ShowsFrame(x, window)) {
        sample.firstFrameMs = MsSince(start);
        break;
      }
    }
    if (sample.firstFrameMs < 0) {
      pollfd p{xcb_get_file_descriptor(x), POLLIN, 0};
      poll(&p, 1, 1);
    }
  }
  if (sample.firstFrameMs >= 0) {
    std::this_thread::sleep_for(std::chrono::milliseconds(kSettleMs));
    const long before = CpuTicks(pid);
    std::this_thread::sleep_for(std::chrono::milliseconds(kIdleWatchMs));
    const long after = CpuTicks(pid);
    if (before >= 0 && after >= 0) sample.idleTicks = after - before;
  }
  Stop(pid);
  return sample;
}

double Median(std::vector<double> values) {
  if (values.empty()) return -1;
  std::sort(values.begin(), values.end());
  const size_t n = values.size();
  return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<fs::path> programs;
  int rounds = 11;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--rounds") == 0 && i + 1 < argc) {
      rounds = std::max(1, std::atoi(argv[++i]));
    } else {
      programs.emplace_back(argv[i]);
    }
  }
  if (programs.empty() || programs.size() > 2) {
    std::fprintf(stderr, "usage: %s PROGRAM [BASELINE] [--rounds N]\n", argv[0]);
    return 2;
  }
  pid_t server = -1;
  const std::string display = StartXvfb(server);
  if (display.empty()) {
    std::printf("skipped: Xvfb did not start (Debian package xvfb)\n");
    if (server > 0) Stop(server);
    return kSkipped;
  }
  xcb_connection_t* x = xcb_connect(display.c_str(), nullptr);
  const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(x)).data;
  const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
  xcb_change_window_attributes(x, screen->root, XCB_CW_EVENT_MASK, &mask);
  xcb_flush(x);

  // Each program runs from a folder of its own, where it may keep its settings.
  const fs::path folder = fs::temp_directory_path() / ("quorlin-frame-bench-" + std::to_string(getpid()));
  std::vector<fs::path> copies;
  for (size_t i = 0; i < programs.size(); ++i) {
    fs::create_directories(folder / std::to_string(i));
    copies.push_back(folder / std::to_string(i) / "quorlin");
    fs::copy_file(programs[i], copies.back(), fs::copy_options::overwrite_existing);
  }
  std::vector<std::vector<double>> frames(copies.size());
  std::vector<long> idleMost(copies.size(), 0);
  bool failedRun = false;
  for (size_t i = 0; i < copies.size(); ++i) Measure(x, display, copies[i]);  // warm the caches
  for (int round = 0; round < rounds; ++round) {
    for (size_t k = 0; k < copies.size(); ++k) {
      const size_t i = (k + static_cast<size_t>(round)) % copies.size();
      const Sample s = Measure(x, display, copies[i]);
      if (s.firstFrameMs < 0 || s.idleTicks < 0) {
        failedRun = true;
        continue;
      }
      frames[i].push_back(s.firstFrameMs);
      idleMost[i] = std::max(idleMost[i], s.idleTicks);
    }
  }
  xcb_disconnect(x);
  Stop(server);
  std::error_code ignored;
  fs::remove_all(folder, ignored);

  std::printf("%d interleaved rounds under Xvfb; median first frame from process start, most idle CPU ticks in %d ms\n",
              rounds, kIdleWatchMs);
  for (size_t i = 0; i < programs.size(); ++i) {
    std::printf("  %-9s %8.1f ms  idle %ld ticks  (%s)\n", i == 0 ? "program" : "baseline", Median(frames[i]),
                idleMost[i], programs[i].c_str());
  }
  bool missed = failedRun;
  if (failedRun) std::printf("a run showed no frame within %d ms\n", kFrameTimeoutMs);
  if (Median(frames[0]) > kFirstFrameTargetMs) {
    std::printf("target missed: first frame after %.1f ms (target <= %.0f)\n", Median(frames[0]), kFirstFrameTargetMs);
    missed = true;
  }
  if (idleMost[0] > 0) {
    std::printf("target missed: %ld ticks of CPU while idle (target 0)\n", idleMost[0]);
    missed = true;
  }
  return missed ? 1 : 0;
}
