// The kernel's start-up makes the program's folder the current directory, as the program needs.
// libFuzzer resolves the corpus and seed folders it was given against the directory it was started
// in, and reads the seeds only after the first input has run: a target that starts the kernel
// holds one of these across the start-up so that the directory is put back.
#pragma once

#include <filesystem>
#include <system_error>

namespace quorlin::fuzz {

class KeptWorkingDirectory {
 public:
  KeptWorkingDirectory() : saved_(std::filesystem::current_path(error_)) {}
  ~KeptWorkingDirectory() {
    if (!error_) std::filesystem::current_path(saved_, error_);
  }
  KeptWorkingDirectory(const KeptWorkingDirectory&) = delete;
  KeptWorkingDirectory& operator=(const KeptWorkingDirectory&) = delete;

 private:
  std::error_code error_;
  std::filesystem::path saved_;
};

}  // namespace quorlin::fuzz
