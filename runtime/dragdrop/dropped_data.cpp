#include "runtime/dragdrop/dropped_data.h"

#include <climits>
#include <cstring>

#include "platform/base/code_page.h"
#include "platform/shell/clipboard.h"
#include "platform/shell/global_memory.h"

namespace quorlin::dragdrop {
namespace {

FORMATETC GlobalFormat(UINT format) {
  return FORMATETC{static_cast<CLIPFORMAT>(format), nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
}

// The medium of one GetData call, released with the holder.
class Medium {
 public:
  Medium(IDataObject* data, UINT format) {
    if (!data || format == 0) return;
    FORMATETC request = GlobalFormat(format);
    held_ = SUCCEEDED(data->GetData(&request, &medium_));
  }
  ~Medium() {
    if (held_) ReleaseStgMedium(&medium_);
  }
  Medium(const Medium&) = delete;
  Medium& operator=(const Medium&) = delete;

  // The global block, or 0 when the data gave none (or something other than global memory).
  HGLOBAL Global() const { return held_ && medium_.tymed == TYMED_HGLOBAL ? medium_.hGlobal : 0; }

 private:
  STGMEDIUM medium_{};
  bool held_ = false;
};

// The locked bytes of a global block, unlocked with the holder.
class LockedBytes {
 public:
  explicit LockedBytes(HGLOBAL memory) : memory_(memory) {
    if (!memory_) return;
    bytes_ = static_cast<const char*>(GlobalLock(memory_));
    size_ = bytes_ ? GlobalSize(memory_) : 0;
  }
  ~LockedBytes() {
    if (bytes_) GlobalUnlock(memory_);
  }
  LockedBytes(const LockedBytes&) = delete;
  LockedBytes& operator=(const LockedBytes&) = delete;

  bool Valid() const { return bytes_ != nullptr; }
  std::string_view UpToNul() const {
    if (!bytes_) return {};
    const void* nul = std::memchr(bytes_, '\0', size_);
    return std::string_view(bytes_, nul ? static_cast<const char*>(nul) - bytes_ : size_);
  }
  size_t Size() const { return size_; }

 private:
  HGLOBAL memory_;
  const char* bytes_ = nullptr;
  size_t size_ = 0;
};

}  // namespace

bool Offers(IDataObject* data, UINT format) {
  if (!data || format == 0) return false;
  FORMATETC request = GlobalFormat(format);
  return data->QueryGetData(&request) == S_OK;
}

std::optional<std::string> ReadTextFormat(IDataObject* data, UINT format) {
  const Medium medium(data, format);
  const LockedBytes bytes(medium.Global());
  if (!bytes.Valid()) return std::nullopt;
  return std::string(bytes.UpToNul());
}

std::optional<std::vector<std::string>> PathsOfFileDropList(HDROP drop) {
  // One pass over the list: asking DragQueryFileA for each file would read it again each time.
  std::optional<std::vector<std::string>> paths = platform::FileDropListPaths(drop);
  if (!paths || paths->empty()) return std::nullopt;
  return paths;
}

std::optional<std::string> ReadFileListText(IDataObject* data) {
  const Medium medium(data, CF_HDROP);
  if (!medium.Global()) return std::nullopt;
  const std::optional<std::vector<std::string>> paths = PathsOfFileDropList(medium.Global());
  if (!paths) return std::nullopt;
  return FileListText(*paths);
}

std::string FileListText(const std::vector<std::string>& paths) {
  if (paths.size() == 1) return paths.front();
  std::string text;
  for (const std::string& path : paths) text += path + "\r\n";
  return text;
}

std::string HtmlBytesToSystemText(std::string_view utf8) {
  if (utf8.empty() || utf8.size() > static_cast<size_t>(INT_MAX)) return {};
  const int inLength = static_cast<int>(utf8.size());
  const int wideLength = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), inLength, nullptr, 0);
  if (wideLength <= 0) return {};
  std::u16string wide(static_cast<size_t>(wideLength), u'\0');
  if (MultiByteToWideChar(CP_UTF8, 0, utf8.data(), inLength, wide.data(), wideLength) != wideLength) return {};
  for (char16_t& c : wide) {
    if (c == u'\u00A0') c = u' ';
  }
  const int narrowLength = WideCharToMultiByte(CP_ACP, 0, wide.data(), wideLength, nullptr, 0, nullptr, nullptr);
  if (narrowLength <= 0) return {};
  std::string text(static_cast<size_t>(narrowLength), '\0');
  if (WideCharToMultiByte(CP_ACP, 0, wide.data(), wideLength, text.data(), narrowLength, nullptr, nullptr) !=
      narrowLength) {
    return {};
  }
  return text;
}

}  // namespace quorlin::dragdrop
