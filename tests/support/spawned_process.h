// For tests that drive real programs: a child process started with extra environment entries,
// its standard output read with a deadline, ended when the object goes.
#pragma once

#include <sys/types.h>

#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

namespace quorlin::testing {

class SpawnedProcess {
 public:
  // argv[0] is looked up in PATH unless it holds a slash. Standard output is readable with
  // ReadSome; standard error goes to this process's.
  SpawnedProcess(const std::vector<std::string>& argv,
                 const std::vector<std::pair<std::string, std::string>>& environment);
  ~SpawnedProcess();
  SpawnedProcess(const SpawnedProcess&) = delete;
  SpawnedProcess& operator=(const SpawnedProcess&) = delete;

  bool Started() const { return pid_ > 0; }
  pid_t Pid() const { return pid_; }
  // Whatever standard output has next (at least one byte), or false after timeoutMs or at its end.
  bool ReadSome(std::string& bytes, int timeoutMs);
  // Whether the process has ended (its status is kept for ExitStatus).
  bool Ended();
  int ExitStatus() const { return status_; }
  // SIGTERM, then SIGKILL if it has not ended within a second.
  void Stop();

 private:
  pid_t pid_ = -1;
  int output_ = -1;
  int status_ = -1;
};

// Runs a program to its end (killed after timeoutMs), with extra environment entries; its exit
// status or -1, and the bytes it wrote to standard output.
int RunProgram(const std::vector<std::string>& argv, std::string* out, int timeoutMs,
               const std::vector<std::pair<std::string, std::string>>& environment = {});

// The first of the programs that PATH does not find, or empty when it finds them all.
std::string MissingProgram(std::initializer_list<const char*> programs);

}  // namespace quorlin::testing
