#include "tests/platform/desktop/xvfb_session.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>

#include "platform/user/message_queue.h"
#include "tests/support/deadline.h"

extern char** environ;

namespace quorlin::testing {
namespace {

using Clock = std::chrono::steady_clock;

pid_t Spawn(const std::vector<std::string>& argv, posix_spawn_file_actions_t* actions) {
  std::vector<char*> args;
  for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);
  pid_t pid = -1;
  if (posix_spawnp(&pid, args[0], actions, nullptr, args.data(), environ) != 0) return -1;
  return pid;
}

void ServeQueueOnce(int waitMs) {
  MSG msg;
  while (PeekMessageA(&msg, 0, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(waitMs), QS_ALLINPUT);
}

}  // namespace

bool HaveProgram(const std::string& name) {
  const char* path = std::getenv("PATH");
  std::string dirs = path ? path : "/usr/bin:/bin";
  size_t start = 0;
  while (start <= dirs.size()) {
    const size_t end = dirs.find(':', start);
    const std::string dir = dirs.substr(start, end == std::string::npos ? std::string::npos : end - start);
    if (!dir.empty() && access((dir + "/" + name).c_str(), X_OK) == 0) return true;
    if (end == std::string::npos) break;
    start = end + 1;
  }
  return false;
}

std::string StartXvfb(int width, int height) {
  if (!HaveProgram("Xvfb")) return {};
  int fds[2];
  if (pipe(fds) != 0) return {};
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addclose(&actions, fds[0]);
  const std::string screen = std::to_string(width) + "x" + std::to_string(height) + "x24";
  // -noreset: the server otherwise resets when its last client leaves (a test's xdotool, say),
  // and a program connecting during the reset is refused.
  const pid_t server = Spawn({"Xvfb", "-displayfd", std::to_string(fds[1]), "-screen", "0", screen, "-nolisten", "tcp",
                              "-noreset"},
                             &actions);
  posix_spawn_file_actions_destroy(&actions);
  close(fds[1]);
  if (server < 0) {
    close(fds[0]);
    return {};
  }
  // A watchdog ends the server when this process ends, however it ends.
  const std::string watch = "while kill -0 " + std::to_string(getpid()) + " 2>/dev/null; do sleep 0.2; done; kill " +
                            std::to_string(server);
  Spawn({"sh", "-c", watch}, nullptr);
  std::string number;
  const auto deadline = Clock::now() + std::chrono::seconds(10);
  while (number.find('\n') == std::string::npos) {
    pollfd ready{fds[0], POLLIN, 0};
    if (poll(&ready, 1, MillisecondsLeft(deadline)) <= 0) break;
    char buffer[16];
    const ssize_t n = read(fds[0], buffer, sizeof buffer);
    if (n <= 0) break;
    number.append(buffer, static_cast<size_t>(n));
  }
  close(fds[0]);
  if (number.find('\n') == std::string::npos) {
    kill(server, SIGTERM);
    return {};
  }
  return ":" + number.substr(0, number.find('\n'));
}

bool PumpUntil(const std::function<bool()>& done, int timeoutMs) {
  const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
  for (;;) {
    if (done()) return true;
    const int left = MillisecondsLeft(deadline);
    if (left == 0) return false;
    ServeQueueOnce(std::min(left, 10));
  }
}

int RunWhilePumping(const std::vector<std::string>& argv, std::string* out, int timeoutMs) {
  int fds[2];
  if (pipe2(fds, O_CLOEXEC) != 0) return -1;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, fds[1], 1);
  const pid_t child = Spawn(argv, &actions);
  posix_spawn_file_actions_destroy(&actions);
  close(fds[1]);
  if (child < 0) {
    close(fds[0]);
    return -1;
  }
  fcntl(fds[0], F_SETFL, O_NONBLOCK);
  auto drain = [&] {
    char buffer[4096];
    ssize_t n;
    while ((n = read(fds[0], buffer, sizeof buffer)) > 0) {
      if (out) out->append(buffer, static_cast<size_t>(n));
    }
  };
  int status = 0;
  bool exited = false;
  // Only the program itself is waited for: a helper it leaves behind (xclip serving a
  // selection) may keep the pipe open.
  PumpUntil(
      [&] {
        drain();
        exited = waitpid(child, &status, WNOHANG) == child;
        return exited;
      },
      timeoutMs);
  if (!exited) {
    kill(child, SIGKILL);
    waitpid(child, &status, 0);
    close(fds[0]);
    return -1;
  }
  drain();
  close(fds[0]);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace quorlin::testing
