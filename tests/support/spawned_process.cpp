#include "tests/support/spawned_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstring>

#include "tests/support/deadline.h"

extern char** environ;

namespace quorlin::testing {
namespace {

using Clock = std::chrono::steady_clock;

std::vector<std::string> EnvironmentWith(const std::vector<std::pair<std::string, std::string>>& extra) {
  std::vector<std::string> entries;
  for (char** e = environ; *e; ++e) {
    const std::string entry = *e;
    bool replaced = false;
    for (const auto& [name, value] : extra) replaced = replaced || entry.rfind(name + "=", 0) == 0;
    if (!replaced) entries.push_back(entry);
  }
  for (const auto& [name, value] : extra) entries.push_back(name + "=" + value);
  return entries;
}

std::vector<char*> Pointers(std::vector<std::string>& texts) {
  std::vector<char*> pointers;
  for (std::string& t : texts) pointers.push_back(t.data());
  pointers.push_back(nullptr);
  return pointers;
}

}  // namespace

SpawnedProcess::SpawnedProcess(const std::vector<std::string>& argv,
                               const std::vector<std::pair<std::string, std::string>>& environment) {
  int fds[2];
  if (pipe2(fds, O_CLOEXEC) != 0) return;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, fds[1], 1);
  std::vector<std::string> args = argv;
  std::vector<std::string> env = EnvironmentWith(environment);
  std::vector<char*> argp = Pointers(args);
  std::vector<char*> envp = Pointers(env);
  if (posix_spawnp(&pid_, argp[0], &actions, nullptr, argp.data(), envp.data()) != 0) pid_ = -1;
  posix_spawn_file_actions_destroy(&actions);
  close(fds[1]);
  output_ = fds[0];
}

SpawnedProcess::~SpawnedProcess() {
  Stop();
  if (output_ >= 0) close(output_);
}

bool SpawnedProcess::ReadSome(std::string& bytes, int timeoutMs) {
  bytes.clear();
  if (output_ < 0) return false;
  pollfd ready{output_, POLLIN, 0};
  if (poll(&ready, 1, timeoutMs) <= 0) return false;
  char buffer[65536];
  const ssize_t n = read(output_, buffer, sizeof buffer);
  if (n <= 0) return false;
  bytes.assign(buffer, static_cast<size_t>(n));
  return true;
}

bool SpawnedProcess::Ended() {
  if (pid_ <= 0) return true;
  int status = 0;
  if (waitpid(pid_, &status, WNOHANG) != pid_) return false;
  status_ = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  pid_ = -1;
  return true;
}

void SpawnedProcess::Stop() {
  if (Ended()) return;
  kill(pid_, SIGTERM);
  const auto deadline = Clock::now() + std::chrono::seconds(1);
  while (!Ended() && Clock::now() < deadline) usleep(10'000);
  if (!Ended()) {
    kill(pid_, SIGKILL);
    int status = 0;
    waitpid(pid_, &status, 0);
    pid_ = -1;
  }
}

int RunProgram(const std::vector<std::string>& argv, std::string* out, int timeoutMs,
               const std::vector<std::pair<std::string, std::string>>& environment) {
  SpawnedProcess process(argv, environment);
  if (!process.Started()) return -1;
  const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
  std::string chunk;
  while (process.ReadSome(chunk, MillisecondsLeft(deadline))) {
    if (out) out->append(chunk);
  }
  while (!process.Ended()) {
    if (MillisecondsLeft(deadline) == 0) return -1;  // the destructor ends it
    usleep(5'000);
  }
  return process.ExitStatus();
}

std::string MissingProgram(std::initializer_list<const char*> programs) {
  for (const char* program : programs) {
    if (RunProgram({"sh", "-c", "command -v \"$0\" >/dev/null", program}, nullptr, 5000) != 0) return program;
  }
  return {};
}

}  // namespace quorlin::testing
