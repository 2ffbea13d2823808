// CF_HDROP: the DROPFILES block and the shell32 functions that read it.
#include <cstring>

#include "platform/base/code_page.h"
#include "platform/shell/drag_drop.h"
#include "platform/shell/global_memory.h"
#include "platform/user/window_record.h"

namespace quorlin::platform {
namespace {

// The paths of a drop list, checked against the block's size; nothing for a malformed block.
std::optional<std::vector<std::string>> ReadFileDropList(HDROP drop, POINT* point, bool* nonClient) {
  const SIZE_T size = GlobalSize(drop);
  if (size < sizeof(DROPFILES)) return std::nullopt;
  const auto* base = static_cast<const BYTE*>(GlobalLock(drop));
  if (!base) return std::nullopt;
  DROPFILES header;
  std::memcpy(&header, base, sizeof header);
  std::optional<std::vector<std::string>> paths;
  if (header.pFiles >= sizeof(DROPFILES) && header.pFiles <= size) {
    paths.emplace();
    const BYTE* p = base + header.pFiles;
    const BYTE* end = base + size;
    if (header.fWide) {
      auto at = [&](const BYTE* q) { return static_cast<char16_t>(q[0] | (q[1] << 8)); };
      while (end - p >= 2 && at(p) != 0) {
        std::u16string path;
        while (end - p >= 2 && at(p) != 0) {
          path.push_back(at(p));
          p += 2;
        }
        if (end - p < 2) break;  // no terminator before the end: the last path is dropped
        paths->push_back(Utf16ToGbk(path));
        p += 2;
      }
    } else {
      while (p < end && *p != 0) {
        const BYTE* start = p;
        while (p < end && *p != 0) ++p;
        if (p == end) break;
        paths->emplace_back(reinterpret_cast<const char*>(start), static_cast<size_t>(p - start));
        ++p;
      }
    }
    if (point) *point = header.pt;
    if (nonClient) *nonClient = header.fNC != 0;
  }
  GlobalUnlock(drop);
  return paths;
}

}  // namespace

std::optional<std::vector<std::string>> FileDropListPaths(HDROP drop) { return ReadFileDropList(drop, nullptr, nullptr); }

HGLOBAL MakeFileDropList(const std::vector<std::string>& paths, POINT point) {
  size_t size = sizeof(DROPFILES) + 1;
  for (const std::string& p : paths) size += p.size() + 1;
  if (paths.empty()) ++size;  // an empty list still ends in two NULs
  const HGLOBAL memory = GlobalAlloc(GHND, size);
  if (!memory) return 0;
  auto* base = static_cast<BYTE*>(GlobalLock(memory));
  DROPFILES header{};
  header.pFiles = sizeof(DROPFILES);
  header.pt = point;
  std::memcpy(base, &header, sizeof header);
  BYTE* out = base + sizeof(DROPFILES);
  for (const std::string& p : paths) {
    std::memcpy(out, p.data(), p.size());
    out += p.size() + 1;
  }
  GlobalUnlock(memory);
  return memory;
}

}  // namespace quorlin::platform

using namespace quorlin::platform;

UINT DragQueryFileA(HDROP drop, UINT file, LPSTR buffer, UINT size) {
  const auto paths = ReadFileDropList(drop, nullptr, nullptr);
  if (!paths) return 0;
  if (file == 0xFFFFFFFFu) return static_cast<UINT>(paths->size());
  if (file >= paths->size()) return 0;
  const std::string& path = (*paths)[file];
  if (!buffer) return static_cast<UINT>(path.size());
  if (size == 0) return 0;
  const size_t n = CharacterBoundaryPrefix(path, size - 1);
  std::memcpy(buffer, path.data(), n);
  buffer[n] = '\0';
  return static_cast<UINT>(n);
}

BOOL DragQueryPoint(HDROP drop, POINT* point) {
  POINT at{0, 0};
  bool nonClient = false;
  if (!ReadFileDropList(drop, &at, &nonClient) || !point) return FALSE;
  *point = at;
  return nonClient ? FALSE : TRUE;
}

void DragFinish(HDROP drop) { GlobalFree(drop); }
