// Runs a program in the background for the length of a test — a server such as
// quorlin-profile-service — and waits for the line of standard output that says it is ready.
#pragma once

#include <sys/types.h>

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace quorlin::testing {

class BackgroundProgram {
 public:
  // Starts `path` with `arguments` and reads its standard output until a line starting with
  // `readyPrefix` came (kept as ReadyLine()). Null, with the reason in *error, when the program
  // could not start, ended, or said nothing of the kind within `timeoutSeconds`.
  static std::unique_ptr<BackgroundProgram> Start(const std::string& path, const std::vector<std::string>& arguments,
                                                  std::string_view readyPrefix, std::string* error,
                                                  int timeoutSeconds = 10);
  ~BackgroundProgram();  // Stop() unless stopped
  BackgroundProgram(const BackgroundProgram&) = delete;
  BackgroundProgram& operator=(const BackgroundProgram&) = delete;

  const std::string& ReadyLine() const { return readyLine_; }
  // The port of a ready line ending in ":PORT" ("listening on 127.0.0.1:40123"); 0 if none.
  int ReadyPort() const;
  pid_t Pid() const { return pid_; }

  // Sends SIGTERM, waits up to 5 s (then SIGKILL) and gives the exit status, or 128 + the
  // signal's number when a signal ended it.
  int Stop();

 private:
  BackgroundProgram(pid_t pid, int output) : pid_(pid), output_(output) {}

  pid_t pid_;
  int output_;
  bool stopped_ = false;
  int status_ = -1;
  std::string readyLine_;
};

}  // namespace quorlin::testing
