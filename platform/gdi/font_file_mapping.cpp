#include "platform/gdi/font_file_mapping.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quorlin::platform::gdi {

FT_Error OpenFaceFromFile(FT_Library library, const std::string& path, int index, FT_Face* face) {
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return FT_Err_Cannot_Open_Resource;
  struct stat status{};
  void* mapped = MAP_FAILED;
  if (fstat(fd, &status) == 0 && S_ISREG(status.st_mode) && status.st_size > 0) {
    mapped = mmap(nullptr, static_cast<size_t>(status.st_size), PROT_READ, MAP_PRIVATE, fd, 0);
  }
  close(fd);
  if (mapped == MAP_FAILED) return FT_Err_Cannot_Open_Resource;
  const auto size = static_cast<size_t>(status.st_size);
  madvise(mapped, size, MADV_RANDOM);
  const FT_Error error =
      FT_New_Memory_Face(library, static_cast<const FT_Byte*>(mapped), static_cast<FT_Long>(size), index, face);
  if (error != 0) munmap(mapped, size);
  return error;
}

}  // namespace quorlin::platform::gdi
