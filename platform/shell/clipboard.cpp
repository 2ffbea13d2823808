#include "platform/shell/clipboard.h"

#include <algorithm>
#include <mutex>

#include "platform/base/code_page.h"
#include "platform/base/handle_table.h"
#include "platform/base/last_error.h"
#include "platform/base/thread_services.h"
#include "platform/gdi/gdi.h"
#include "platform/shell/clipboard_conversions.h"
#include "platform/shell/drag_drop.h"
#include "platform/shell/global_memory.h"
#include "platform/shell/shell_backend.h"
#include "platform/user/message_queue.h"
#include "platform/user/window_core.h"
#include "platform/user/window_record.h"

namespace quorlin::platform {
namespace {

constexpr UINT kFirstRegisteredFormat = 0xC000;
constexpr UINT kLastRegisteredFormat = 0xFFFF;

struct Entry {
  UINT format = 0;
  HANDLE data = 0;         // 0: promised, rendered by the owner on demand
  bool synthesised = false;
};

struct ClipboardState {
  std::recursive_mutex lock;  // the owner's WM_RENDERFORMAT may set data while we wait for it
  DWORD openThread = 0;
  HWND openWindow = 0;
  HWND owner = 0;
  bool changed = false;  // since it was opened
  DWORD sequence = 1;
  std::vector<Entry> entries;
  // The pixels of the bitmap when it was set: the bitmap itself is the clipboard's, but a
  // picture object that handed it over may still delete it, and the clipboard then re-creates
  // it from here.
  std::optional<std::vector<BYTE>> bitmapPixels;
  std::vector<std::string> registeredNames;
};

ClipboardState& State() {
  static auto* state = new ClipboardState;
  return *state;
}

bool IsTextFormat(UINT format) { return format == CF_TEXT || format == CF_OEMTEXT || format == CF_UNICODETEXT; }
bool IsBitmapFormat(UINT format) { return format == CF_BITMAP || format == CF_DIB; }
bool IsGdiFormat(UINT format) {
  return format == CF_BITMAP || format == CF_PALETTE || (format >= CF_GDIOBJFIRST && format <= CF_GDIOBJLAST);
}

void FreeData(UINT format, HANDLE data) {
  if (!data) return;
  if (IsGdiFormat(format)) {
    DeleteObject(data);
  } else if (format == CF_METAFILEPICT || format == CF_ENHMETAFILE) {
    // Not produced here: nothing of ours to free.
  } else {
    GlobalFree(data);
  }
}

Entry* FindEntryLocked(UINT format) {
  for (Entry& e : State().entries) {
    if (e.format == format) return &e;
  }
  return nullptr;
}

bool OpenedHereLocked() { return State().openThread != 0 && State().openThread == GetCurrentThreadId(); }

// The formats that can be made from those set, in order, without the ones set.
std::vector<UINT> SynthesisableLocked() {
  std::vector<UINT> out;
  auto add = [&](UINT format) {
    if (!FindEntryLocked(format) && std::find(out.begin(), out.end(), format) == out.end()) out.push_back(format);
  };
  for (const Entry& e : State().entries) {
    if (IsTextFormat(e.format)) {
      for (UINT f : {CF_TEXT, CF_OEMTEXT, CF_UNICODETEXT}) add(f);
    } else if (e.format == CF_BITMAP) {
      add(CF_DIB);
    } else if (e.format == CF_DIB) {
      add(CF_BITMAP);
    }
  }
  return out;
}

void FreeAllLocked() {
  for (const Entry& e : State().entries) FreeData(e.format, e.data);
  State().entries.clear();
  State().bitmapPixels.reset();
}

// Makes a format from another present one; 0 when it cannot be made.
HANDLE SynthesiseLocked(UINT format);

HANDLE RealDataLocked(UINT format) {
  Entry* e = FindEntryLocked(format);
  if (!e) return 0;
  if (format == CF_BITMAP && e->data && !HandleKindOf(e->data) && State().bitmapPixels) {
    const auto& dib = *State().bitmapPixels;
    e->data = BitmapFromPackedDib(dib.data(), dib.size());
  }
  return e->data;
}

HANDLE SynthesiseLocked(UINT format) {
  HANDLE made = 0;
  if (IsTextFormat(format)) {
    for (UINT source : {CF_UNICODETEXT, CF_TEXT, CF_OEMTEXT}) {
      const Entry* e = FindEntryLocked(source);
      if (!e || !e->data || source == format) continue;
      if (format == CF_UNICODETEXT) {
        made = GlobalFromWideText(GbkToUtf16(NarrowTextOfGlobal(e->data)));
      } else if (source == CF_UNICODETEXT) {
        made = GlobalFromNarrowText(Utf16ToGbk(WideTextOfGlobal(e->data)));
      } else {
        made = GlobalFromNarrowText(NarrowTextOfGlobal(e->data));  // OEM and ANSI are both GBK
      }
      break;
    }
  } else if (format == CF_DIB) {
    if (State().bitmapPixels) made = GlobalFromBytes(State().bitmapPixels->data(), State().bitmapPixels->size());
  } else if (format == CF_BITMAP) {
    if (const Entry* e = FindEntryLocked(CF_DIB); e && e->data) {
      const std::vector<BYTE> dib = BytesOfGlobal(e->data);
      made = BitmapFromPackedDib(dib.data(), dib.size());
    }
  }
  if (made) State().entries.push_back(Entry{format, made, true});
  return made;
}

bool IsKnownFormat(UINT format) {
  if (format == 0) return false;
  if (format >= kFirstRegisteredFormat) return format - kFirstRegisteredFormat < State().registeredNames.size();
  return true;
}

// Our content for the backend.
ExchangeData ExchangeOfClipboardLocked() {
  ExchangeData out;
  for (const Entry& e : State().entries) {
    if (!e.data || e.synthesised) continue;
    if (e.format == CF_UNICODETEXT) {
      out.text = GbkToUtf8(Utf16ToGbk(WideTextOfGlobal(e.data)));
    } else if ((e.format == CF_TEXT || e.format == CF_OEMTEXT) && !out.text) {
      out.text = GbkToUtf8(NarrowTextOfGlobal(e.data));
    } else if (e.format == CF_BITMAP && State().bitmapPixels) {
      out.dib = State().bitmapPixels;
    } else if (e.format == CF_DIB) {
      out.dib = BytesOfGlobal(e.data);
    } else if (e.format == CF_HDROP) {
      for (const std::string& path : FileDropListPaths(e.data).value_or(std::vector<std::string>{})) {
        out.files.push_back(GbkToUtf8(path));
      }
    } else if (e.format >= kFirstRegisteredFormat) {
      out.custom.emplace_back(GbkToUtf8(State().registeredNames[e.format - kFirstRegisteredFormat]),
                              BytesOfGlobal(e.data));
    }
  }
  return out;
}

// Replaces our content by another program's; clipboard lock held.
void TakeExchangeLocked(const ExchangeData& in) {
  FreeAllLocked();
  State().owner = 0;
  ++State().sequence;
  auto add = [](UINT format, HANDLE data) {
    if (data) State().entries.push_back(Entry{format, data, false});
  };
  if (in.text) add(CF_UNICODETEXT, GlobalFromWideText(GbkToUtf16(Utf8ToGbk(*in.text))));
  if (in.dib) add(CF_DIB, GlobalFromBytes(in.dib->data(), in.dib->size()));
  if (!in.files.empty()) {
    std::vector<std::string> paths;
    for (const std::string& f : in.files) paths.push_back(Utf8ToGbk(f));
    add(CF_HDROP, MakeFileDropList(paths));
  }
  for (const auto& [name, bytes] : in.custom) {
    const std::string gbkName = Utf8ToGbk(name);
    add(RegisterClipboardFormatA(gbkName.c_str()), GlobalFromBytes(bytes.data(), bytes.size()));
  }
}

}  // namespace

UINT FindClipboardFormat(const std::string& name) {
  std::lock_guard lock(State().lock);
  const auto& names = State().registeredNames;
  for (size_t i = 0; i < names.size(); ++i) {
    if (EqualNamesNoCase(names[i], name)) return kFirstRegisteredFormat + static_cast<UINT>(i);
  }
  return 0;
}

std::optional<std::string> ClipboardFormatName(UINT format) {
  std::lock_guard lock(State().lock);
  if (format < kFirstRegisteredFormat || format - kFirstRegisteredFormat >= State().registeredNames.size()) {
    return std::nullopt;
  }
  return State().registeredNames[format - kFirstRegisteredFormat];
}

std::optional<std::string> ClipboardText() {
  std::lock_guard lock(State().lock);
  if (const Entry* e = FindEntryLocked(CF_TEXT); e && e->data) return NarrowTextOfGlobal(e->data);
  if (const Entry* e = FindEntryLocked(CF_OEMTEXT); e && e->data) return NarrowTextOfGlobal(e->data);
  if (const Entry* e = FindEntryLocked(CF_UNICODETEXT); e && e->data) return Utf16ToGbk(WideTextOfGlobal(e->data));
  return std::nullopt;
}

std::optional<std::vector<BYTE>> ClipboardBitmapAsBmp() {
  std::lock_guard lock(State().lock);
  if (State().bitmapPixels && FindEntryLocked(CF_BITMAP)) return BmpFileOfPackedDib(*State().bitmapPixels);
  const Entry* e = FindEntryLocked(CF_DIB);
  if (!e || !e->data) return std::nullopt;
  // Any depth the DIB has, normalised to 24 bits through a bitmap.
  const std::vector<BYTE> dib = BytesOfGlobal(e->data);
  const HBITMAP bitmap = BitmapFromPackedDib(dib.data(), dib.size());
  if (!bitmap) return std::nullopt;
  auto packed = PackedDibOfBitmap(bitmap);
  DeleteObject(bitmap);
  if (!packed) return std::nullopt;
  return BmpFileOfPackedDib(*packed);
}

void ResetClipboard() {
  std::lock_guard lock(State().lock);
  FreeAllLocked();
  State().openThread = 0;
  State().openWindow = 0;
  State().owner = 0;
  State().changed = false;
  ++State().sequence;
}

}  // namespace quorlin::platform

using namespace quorlin::platform;

BOOL OpenClipboard(HWND newOwner) {
  if (newOwner && !IsWindow(newOwner)) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return FALSE;
  }
  {
    std::lock_guard lock(State().lock);
    ClipboardState& s = State();
    if (s.openThread != 0 && s.openThread != GetCurrentThreadId()) {
      SetLastError(ERROR_ACCESS_DENIED);
      return FALSE;
    }
    if (s.openThread == GetCurrentThreadId()) {
      s.openWindow = newOwner;
      return TRUE;
    }
    s.openThread = GetCurrentThreadId();
    s.openWindow = newOwner;
    s.changed = false;
  }
  // Another program's content replaces ours when it is newer.
  if (auto foreign = CurrentShellBackend().TakeForeignClipboard()) {
    std::lock_guard lock(State().lock);
    TakeExchangeLocked(*foreign);
  }
  return TRUE;
}

BOOL CloseClipboard() {
  std::optional<ExchangeData> publish;
  {
    std::lock_guard lock(State().lock);
    if (!OpenedHereLocked()) {
      SetLastError(ERROR_CLIPBOARD_NOT_OPEN);
      return FALSE;
    }
    State().openThread = 0;
    State().openWindow = 0;
    if (State().changed) publish = ExchangeOfClipboardLocked();
    State().changed = false;
  }
  if (publish) CurrentShellBackend().PublishClipboard(*publish);
  return TRUE;
}

BOOL EmptyClipboard() {
  HWND previousOwner;
  {
    std::lock_guard lock(State().lock);
    if (!OpenedHereLocked()) {
      SetLastError(ERROR_CLIPBOARD_NOT_OPEN);
      return FALSE;
    }
    previousOwner = State().owner;
  }
  if (previousOwner && IsWindow(previousOwner)) SendMessageA(previousOwner, WM_DESTROYCLIPBOARD, 0, 0);
  std::lock_guard lock(State().lock);
  FreeAllLocked();
  State().owner = State().openWindow;
  State().changed = true;
  ++State().sequence;
  return TRUE;
}

HANDLE SetClipboardData(UINT format, HANDLE data) {
  std::lock_guard lock(State().lock);
  ClipboardState& s = State();
  // The owner renders a promised format from WM_RENDERFORMAT without opening the clipboard.
  const bool rendering = data && s.openThread != 0 && FindEntryLocked(format) && !FindEntryLocked(format)->data;
  if (!OpenedHereLocked() && !rendering) {
    SetLastError(ERROR_CLIPBOARD_NOT_OPEN);
    return 0;
  }
  if (!IsKnownFormat(format)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  if (data) {
    const bool valid = IsGdiFormat(format) ? HandleKindOf(data).has_value() : IsGlobalMemory(data);
    if (!valid) {
      SetLastError(ERROR_INVALID_HANDLE);
      return 0;
    }
  }
  std::optional<std::vector<BYTE>> pixels;
  if (format == CF_BITMAP && data) {
    pixels = PackedDibOfBitmap(data);
    if (!pixels) {
      SetLastError(ERROR_INVALID_HANDLE);
      return 0;
    }
  }
  // A format set anew replaces itself and whatever had been made from the old content.
  auto& entries = s.entries;
  for (auto it = entries.begin(); it != entries.end();) {
    const bool sameFamily = (IsTextFormat(format) && IsTextFormat(it->format)) ||
                            (IsBitmapFormat(format) && IsBitmapFormat(it->format));
    if (it->format == format || (it->synthesised && sameFamily)) {
      if (it->data != data) FreeData(it->format, it->data);
      it = entries.erase(it);
    } else {
      ++it;
    }
  }
  entries.push_back(Entry{format, data, false});
  if (format == CF_BITMAP) s.bitmapPixels = std::move(pixels);
  s.changed = true;
  ++s.sequence;
  return data ? data : 0;
}

HANDLE GetClipboardData(UINT format) {
  HWND owner;
  {
    std::lock_guard lock(State().lock);
    if (!OpenedHereLocked()) {
      SetLastError(ERROR_CLIPBOARD_NOT_OPEN);
      return 0;
    }
    const Entry* e = FindEntryLocked(format);
    if (!e) return SynthesiseLocked(format);
    if (e->data) return RealDataLocked(format);
    owner = State().owner;
  }
  if (owner && IsWindow(owner)) SendMessageA(owner, WM_RENDERFORMAT, format, 0);
  std::lock_guard lock(State().lock);
  return RealDataLocked(format);
}

BOOL IsClipboardFormatAvailable(UINT format) {
  std::lock_guard lock(State().lock);
  if (FindEntryLocked(format)) return TRUE;
  const auto more = SynthesisableLocked();
  return std::find(more.begin(), more.end(), format) != more.end() ? TRUE : FALSE;
}

UINT EnumClipboardFormats(UINT format) {
  std::lock_guard lock(State().lock);
  if (!OpenedHereLocked()) {
    SetLastError(ERROR_CLIPBOARD_NOT_OPEN);
    return 0;
  }
  std::vector<UINT> order;
  for (const Entry& e : State().entries) order.push_back(e.format);
  for (UINT f : SynthesisableLocked()) order.push_back(f);
  SetLastError(ERROR_SUCCESS);
  if (format == 0) return order.empty() ? 0 : order.front();
  const auto at = std::find(order.begin(), order.end(), format);
  if (at == order.end() || at + 1 == order.end()) return 0;
  return *(at + 1);
}

int CountClipboardFormats() {
  std::lock_guard lock(State().lock);
  return static_cast<int>(State().entries.size() + SynthesisableLocked().size());
}

HWND GetClipboardOwner() {
  std::lock_guard lock(State().lock);
  return IsWindow(State().owner) ? State().owner : 0;
}

HWND GetOpenClipboardWindow() {
  std::lock_guard lock(State().lock);
  return State().openThread ? State().openWindow : 0;
}

DWORD GetClipboardSequenceNumber() {
  std::lock_guard lock(State().lock);
  return State().sequence;
}

UINT RegisterClipboardFormatA(LPCSTR name) {
  if (!name || !*name) {
    SetLastError(ERROR_INVALID_NAME);
    return 0;
  }
  std::lock_guard lock(State().lock);
  auto& names = State().registeredNames;
  for (size_t i = 0; i < names.size(); ++i) {
    if (EqualNamesNoCase(names[i], name)) return kFirstRegisteredFormat + static_cast<UINT>(i);
  }
  if (names.size() > kLastRegisteredFormat - kFirstRegisteredFormat) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return 0;
  }
  names.emplace_back(name);
  return kFirstRegisteredFormat + static_cast<UINT>(names.size() - 1);
}

int GetClipboardFormatNameA(UINT format, LPSTR name, int maxCount) {
  const auto registered = ClipboardFormatName(format);
  if (!registered || !name || maxCount <= 0) {
    SetLastError(registered ? ERROR_INVALID_PARAMETER : ERROR_INVALID_HANDLE);
    return 0;
  }
  const size_t n = CharacterBoundaryPrefix(*registered, static_cast<size_t>(maxCount - 1));
  std::copy_n(registered->data(), n, name);
  name[n] = '\0';
  return static_cast<int>(n);
}
