#include "platform/gdi/font_file_reader.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <new>

namespace quorlin::platform::gdi {
namespace {

// FreeType reads a face's tables a few bytes at a time (a metric, an offset, a glyph's outline
// program); a window of the file serves the reads near each other with one system call.
constexpr unsigned long kWindowBytes = 8 << 10;

struct FontFile {
  FT_StreamRec stream{};
  int fd = -1;
  unsigned long windowStart = 0;
  unsigned long windowLength = 0;
  unsigned char window[kWindowBytes];
};

// Reads count bytes at offset in full, or as many as the file has; -1 on a read error.
long ReadAt(int fd, unsigned long offset, unsigned char* buffer, unsigned long count) {
  unsigned long done = 0;
  while (done < count) {
    const ssize_t n = pread(fd, buffer + done, count - done, static_cast<off_t>(offset + done));
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return -1;
    if (n == 0) break;
    done += static_cast<unsigned long>(n);
  }
  return static_cast<long>(done);
}

// FreeType's read callback: the bytes read, or for a seek (count 0) zero when the position is
// inside the file.
unsigned long Read(FT_Stream stream, unsigned long offset, unsigned char* buffer, unsigned long count) {
  auto* file = static_cast<FontFile*>(stream->descriptor.pointer);
  if (count == 0) return offset > stream->size ? 1 : 0;
  if (offset >= stream->size) return 0;
  count = std::min(count, stream->size - offset);
  if (count >= kWindowBytes) {
    const long n = ReadAt(file->fd, offset, buffer, count);
    return n < 0 ? 0 : static_cast<unsigned long>(n);
  }
  if (offset < file->windowStart || offset + count > file->windowStart + file->windowLength) {
    const unsigned long start = std::min(offset, stream->size > kWindowBytes ? stream->size - kWindowBytes : 0);
    const long n = ReadAt(file->fd, start, file->window, kWindowBytes);
    file->windowStart = start;
    file->windowLength = n < 0 ? 0 : static_cast<unsigned long>(n);
    if (offset + count > start + file->windowLength) return 0;
  }
  std::memcpy(buffer, file->window + (offset - file->windowStart), count);
  return count;
}

void Close(FT_Stream stream) {
  auto* file = static_cast<FontFile*>(stream->descriptor.pointer);
  close(file->fd);
  delete file;
}

}  // namespace

FT_Error OpenFaceFromFile(FT_Library library, const std::string& path, int index, FT_Face* face) {
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return FT_Err_Cannot_Open_Resource;
  struct stat status{};
  if (fstat(fd, &status) != 0 || !S_ISREG(status.st_mode) || status.st_size <= 0) {
    close(fd);
    return FT_Err_Cannot_Open_Resource;
  }
  auto* file = new (std::nothrow) FontFile;
  if (!file) {
    close(fd);
    return FT_Err_Out_Of_Memory;
  }
  file->fd = fd;
  file->stream.size = static_cast<unsigned long>(status.st_size);
  file->stream.descriptor.pointer = file;
  file->stream.read = Read;
  file->stream.close = Close;
  FT_Open_Args args{};
  args.flags = FT_OPEN_STREAM;
  args.stream = &file->stream;
  // FreeType closes the stream (Close above) when the face is done with, or when it fails to open.
  return FT_Open_Face(library, &args, index, face);
}

}  // namespace quorlin::platform::gdi
