// Inside the window layer: the records behind window classes and window handles.
//
// A window's fixed fields (handle, thread, queue, class) never change after creation; the
// others are guarded by the window tree lock, which also guards the tree links, the lists
// of top-level windows, and focus and activation. Window procedures are never called with
// the tree lock held.
#pragma once

#include <atomic>
#include <memory>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "platform/base/handle_table.h"
#include "platform/gdi/region.h"
#include "platform/gdi/surface.h"
#include "platform/user/thread_queue.h"
#include "platform/user/window_core.h"

namespace quorlin::platform {

struct WindowClassRecord {
  std::string name;
  ATOM atom = 0;
  HINSTANCE instance = 0;
  // Guarded by the tree lock.
  UINT style = 0;
  WNDPROC procedure = nullptr;
  int windowExtra = 0;
  HICON icon = 0;
  HICON smallIcon = 0;
  HCURSOR cursor = 0;
  HBRUSH background = 0;
  LPCSTR menuName = nullptr;  // points into menuNameText, or an integer resource
  std::string menuNameText;
  std::vector<BYTE> classExtra;
  int liveWindows = 0;
};

struct FrameLayout;  // window_frame.cpp

enum class WindowLife : uint8_t {
  Creating,    // between registration and the end of WM_CREATE
  Alive,
  Destroying,  // WM_DESTROY sent (or creation failed); WM_NCDESTROY still to come
  Gone,        // handle released
};

struct WindowRecord : HandleObject {
  HWND handle = 0;
  DWORD threadId = 0;
  std::shared_ptr<ThreadQueue> queue;
  std::shared_ptr<WindowClassRecord> windowClass;
  bool messageOnly = false;
  std::atomic<WNDPROC> procedure{nullptr};

  // Guarded by the tree lock.
  WindowLife life = WindowLife::Creating;
  bool destroyStarted = false;  // DestroyWindow was called
  bool destroySent = false;     // WM_DESTROY was sent
  bool finishing = false;       // WM_NCDESTROY is being sent
  HINSTANCE instance = 0;
  DWORD style = 0;
  DWORD exStyle = 0;
  LONG_PTR idOrMenu = 0;  // a child's id, a top-level window's menu
  LONG_PTR userData = 0;
  std::string text;
  HICON bigIcon = 0;  // WM_SETICON's; the window does not own them
  HICON smallIcon = 0;
  HWND parent = 0;  // child windows only
  HWND owner = 0;   // top-level windows only
  std::vector<HWND> children;  // z-order, the top first
  // The window's rectangle: parent client coordinates (screen for a top-level window).
  int x = 0, y = 0, width = 0, height = 0;
  RECT normalRect{};  // where SW_RESTORE puts a minimised or maximised window
  // Painting: the update region in client coordinates, and what BeginPaint still owes.
  gdi::Region update;
  bool eraseNeeded = false;
  bool frameNeeded = false;  // WM_NCPAINT before the next WM_PAINT
  std::shared_ptr<Surface> surface;  // top-level windows: the pixels of the whole window
  // A captioned top-level window's frame as WM_NCPAINT last asked for it, not drawn yet.
  std::shared_ptr<const FrameLayout> owedFrame;
  // From GetDC / GetWindowDC / BeginPaint until released, and whether one covers the frame.
  std::vector<std::pair<HDC, bool>> deviceContexts;
  std::vector<BYTE> extraBytes;
  std::vector<std::pair<std::string, HANDLE>> properties;
  std::atomic<bool> needsPaint{false};
};

std::mutex& TreeLock();

// The record of a live handle (being created or destroyed included), or null.
std::shared_ptr<WindowRecord> FindWindowRecord(HWND hwnd);
// As FindWindowRecord, setting ERROR_INVALID_WINDOW_HANDLE when there is none.
std::shared_ptr<WindowRecord> WindowRecordOrError(HWND hwnd);
// With the tree lock held: the record, or null.
WindowRecord* RecordLocked(HWND hwnd);

// Calls the window's procedure on the calling thread.
LRESULT CallProcedureOf(const WindowRecord& window, UINT message, WPARAM wParam, LPARAM lParam);

// With the tree lock held.
std::vector<HWND>& TopLevelWindowsLocked(bool messageOnly);
HWND RootLocked(HWND hwnd);  // the top-level window of hwnd
bool IsDescendantLocked(HWND ancestor, HWND hwnd);
void CollectDescendantsLocked(HWND hwnd, std::vector<HWND>& out);  // pre-order, not hwnd itself

// Puts a new window into its parent's children (at the bottom) or the top-level list (at the
// top); tree lock held.
void LinkWindowLocked(WindowRecord& window);
// Takes a window out of the tree and releases its handle; tree lock held, and the caller
// holds a reference to the record.
void ReleaseWindowLocked(WindowRecord& window);
// Releases every window of a thread that ends, without messages.
void ReleaseWindowsOfThread(DWORD threadId);
// A window's focus and activation go when it is hidden or destroyed.
void TakeFocusAwayFrom(HWND hwnd);
// Clears the focus of the window's input state if it is the window or one of its descendants.
void DropFocusWithin(HWND hwnd);
// Activates a top-level window (WM_ACTIVATE) and makes it the foreground window.
void ActivateTopLevel(HWND hwnd);
// Forgets focus and activation of released windows (tree lock held).
void ForgetInputStateLocked(HWND hwnd);
// Makes a thread's input state its own again when it ends.
void DetachThreadInputOnExit(DWORD threadId);

// A class name (or atom) of the window layer's registry; tree lock held.
std::shared_ptr<WindowClassRecord> FindClassLocked(LPCSTR className);

// Byte-wise equality of two system code page texts, ASCII letters without case and the
// second byte of a double-byte character exactly.
bool EqualNamesNoCase(std::string_view a, std::string_view b);
// The longest prefix of at most maxBytes bytes that does not split a double-byte character.
size_t CharacterBoundaryPrefix(std::string_view text, size_t maxBytes);

}  // namespace quorlin::platform
