// user-dirs.dirs files: any bytes give either no pictures folder or an absolute one without a
// trailing separator.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "platform/base/user_folders.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const auto folder = quorlin::platform::PicturesFolderFromUserDirs(text, "/home/member");
  if (folder && (folder->empty() || folder->front() != '/' || (folder->size() > 1 && folder->back() == '/'))) {
    std::abort();
  }
  return 0;
}
