// The project installed with `cmake --install` under the prefix /usr into a fresh temporary
// folder given as DESTDIR, the way a package lays it out; removed with its contents at the end.
#pragma once

#include <filesystem>
#include <map>
#include <string>

#include "tests/support/temporary_folder.h"

namespace quorlin::testing {

class InstalledTree {
 public:
  explicit InstalledTree(const std::string& buildDirectory);

  bool Installed() const { return installed_; }
  const std::string& Output() const { return output_; }  // what cmake --install said
  const std::filesystem::path& Root() const { return root_.Path(); }  // DESTDIR
  std::filesystem::path Prefix() const { return Root() / "usr"; }

 private:
  TemporaryFolder root_;
  bool installed_ = false;
  std::string output_;
};

// Every file and folder under `folder` with its size and modification time, to tell whether
// anything was written there.
std::map<std::string, std::string> FolderState(const std::filesystem::path& folder);

// The width and height a PNG file's header states; {0, 0} when it is no PNG file.
std::pair<int, int> PngSize(const std::filesystem::path& file);

}  // namespace quorlin::testing
