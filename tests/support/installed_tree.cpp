#include "tests/support/installed_tree.h"

#include <algorithm>
#include <fstream>

#include "tests/support/spawned_process.h"

namespace quorlin::testing {

InstalledTree::InstalledTree(const std::string& buildDirectory) : root_("quorlin-install-") {
  installed_ = RunProgram({"cmake", "--install", buildDirectory, "--prefix", "/usr"}, &output_, 120000,
                          {{"DESTDIR", Root().string()}}) == 0;
}

std::map<std::string, std::string> FolderState(const std::filesystem::path& folder) {
  std::map<std::string, std::string> state;
  std::error_code error;
  for (auto it = std::filesystem::recursive_directory_iterator(folder, error);
       !error && it != std::filesystem::recursive_directory_iterator(); it.increment(error)) {
    std::error_code ignored;
    const auto size = it->is_regular_file(ignored) ? it->file_size(ignored) : 0;
    const auto time = it->last_write_time(ignored).time_since_epoch().count();
    state[it->path().string()] = std::to_string(size) + " " + std::to_string(time);
  }
  return state;
}

std::pair<int, int> PngSize(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  unsigned char header[24] = {};
  if (!in.read(reinterpret_cast<char*>(header), sizeof header)) return {0, 0};
  static const unsigned char kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  if (!std::equal(kSignature, kSignature + 8, header) || std::string(header + 12, header + 16) != "IHDR") return {0, 0};
  auto big32 = [&](int at) {
    return static_cast<int>(header[at] << 24 | header[at + 1] << 16 | header[at + 2] << 8 | header[at + 3]);
  };
  return {big32(16), big32(20)};
}

}  // namespace quorlin::testing
