#include "tests/support/background_program.h"

#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <thread>

extern char** environ;

namespace quorlin::testing {

std::unique_ptr<BackgroundProgram> BackgroundProgram::Start(const std::string& path,
                                                            const std::vector<std::string>& arguments,
                                                            std::string_view readyPrefix, std::string* error,
                                                            int timeoutSeconds) {
  int pipeEnds[2];
  if (pipe(pipeEnds) != 0) {
    *error = "no pipe";
    return nullptr;
  }
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], STDOUT_FILENO);
  posix_spawn_file_actions_addclose(&actions, pipeEnds[0]);
  posix_spawn_file_actions_addclose(&actions, pipeEnds[1]);
  std::vector<char*> argv;
  argv.push_back(const_cast<char*>(path.c_str()));
  for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
  argv.push_back(nullptr);
  pid_t pid = -1;
  const int spawned = posix_spawn(&pid, path.c_str(), &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  close(pipeEnds[1]);
  if (spawned != 0) {
    close(pipeEnds[0]);
    *error = "cannot start " + path;
    return nullptr;
  }
  std::unique_ptr<BackgroundProgram> program(new BackgroundProgram(pid, pipeEnds[0]));

  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(timeoutSeconds);
  std::string pending;
  while (true) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) {
      *error = "no ready line within the time; output so far: " + pending;
      return nullptr;
    }
    pollfd fd{program->output_, POLLIN, 0};
    if (poll(&fd, 1, static_cast<int>(left.count())) <= 0) continue;
    char buffer[512];
    const ssize_t n = read(program->output_, buffer, sizeof buffer);
    if (n <= 0) {
      *error = "the program ended before it was ready; output: " + pending;
      return nullptr;
    }
    pending.append(buffer, static_cast<size_t>(n));
    size_t lineEnd;
    while ((lineEnd = pending.find('\n')) != std::string::npos) {
      std::string line = pending.substr(0, lineEnd);
      pending.erase(0, lineEnd + 1);
      if (line.compare(0, readyPrefix.size(), readyPrefix) == 0) {
        program->readyLine_ = std::move(line);
        return program;
      }
    }
  }
}

BackgroundProgram::~BackgroundProgram() {
  if (!stopped_) Stop();
  close(output_);
}

int BackgroundProgram::ReadyPort() const {
  const size_t colon = readyLine_.rfind(':');
  if (colon == std::string::npos) return 0;
  int port = 0;
  for (size_t i = colon + 1; i < readyLine_.size(); ++i) {
    if (readyLine_[i] < '0' || readyLine_[i] > '9' || port > 65535) return 0;
    port = port * 10 + (readyLine_[i] - '0');
  }
  return port <= 65535 ? port : 0;
}

int BackgroundProgram::Stop() {
  if (stopped_) return status_;
  stopped_ = true;
  kill(pid_, SIGTERM);
  int status = 0;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  while (waitpid(pid_, &status, WNOHANG) == 0) {
    if (std::chrono::steady_clock::now() > deadline) {
      kill(pid_, SIGKILL);
      waitpid(pid_, &status, 0);
      break;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  status_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  return status_;
}

}  // namespace quorlin::testing
