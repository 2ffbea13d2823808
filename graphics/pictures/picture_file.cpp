#include <new>
#include <vector>

#include "graphics/pictures/pictures.h"
#include "platform/base/file_api.h"

namespace quorlin::pictures {

namespace {

constexpr LONGLONG kMaxPictureFileBytes = 1ll << 30;

Result<std::vector<uint8_t>> ReadWholeFile(const char* fileName) {
  if (!fileName || !*fileName) return Fail("no file name");
  const HANDLE file = CreateFileA(fileName, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, 0);
  if (file == INVALID_HANDLE_VALUE) return Fail("file cannot be opened");
  LARGE_INTEGER size{};
  Result<std::vector<uint8_t>> result = Fail("file cannot be read");
  if (GetFileSizeEx(file, &size) && size.QuadPart >= 0 && size.QuadPart <= kMaxPictureFileBytes) {
    std::vector<uint8_t> bytes(static_cast<size_t>(size.QuadPart));
    DWORD read = 0;
    if (bytes.empty() || ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr)) {
      bytes.resize(read);
      result = std::move(bytes);
    }
  } else if (size.QuadPart > kMaxPictureFileBytes) {
    result = Fail("file larger than 1 GiB");
  }
  CloseHandle(file);
  return result;
}

}  // namespace

Result<DecodedPicture> TryDecodePictureFile(const char* fileName) {
  try {
    QUORLIN_TRY_DECODE(bytes, ReadWholeFile(fileName));
    return TryDecodePicture(bytes.data(), bytes.size());
  } catch (const std::bad_alloc&) {
    return Fail("out of memory");
  }
}

std::unique_ptr<DecodedPicture> DecodePictureFile(const char* fileName) {
  Result<DecodedPicture> result = TryDecodePictureFile(fileName);
  if (!result.ok()) return nullptr;
  return std::make_unique<DecodedPicture>(result.take());
}

}  // namespace quorlin::pictures
