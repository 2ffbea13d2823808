// A fresh folder under the system's temporary folder, removed with its contents at the end.
#pragma once

#include <unistd.h>

#include <filesystem>
#include <random>
#include <string>

namespace quorlin::testing {

class TemporaryFolder {
 public:
  explicit TemporaryFolder(const std::string& prefix) {
    std::random_device random;
    path_ = std::filesystem::temp_directory_path() /
            (prefix + std::to_string(getpid()) + "-" + std::to_string(random()));
    std::filesystem::create_directories(path_);
  }
  ~TemporaryFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  TemporaryFolder(const TemporaryFolder&) = delete;
  TemporaryFolder& operator=(const TemporaryFolder&) = delete;

  const std::filesystem::path& Path() const { return path_; }

 private:
  std::filesystem::path path_;
};

}  // namespace quorlin::testing
