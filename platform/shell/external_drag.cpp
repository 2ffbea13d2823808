// Drags from other programs (through the backend) or injected by code: one session at a time,
// routed to the drop target under the pointer.
#include <mutex>
#include <utility>

#include "platform/com/com_ptr.h"
#include "platform/shell/drag_drop.h"
#include "platform/shell/shell_backend.h"
#include "platform/user/input_held_wait.h"
#include "platform/user/window_geometry.h"

namespace quorlin::platform {
namespace {

struct DragSession {
  bool active = false;
  ComPtr<IDataObject> data;
  ComPtr<IDropTarget> target;
  HWND targetWindow = 0;
  DWORD allowed = DROPEFFECT_NONE;
};

// The window thread drives drags; the session is its own.
DragSession& Session() {
  thread_local DragSession session;
  return session;
}

// A drag that arrives while the thread waits with its input held reaches no target: it is
// kept, answered with a copy, and a drop becomes input that replays the whole drag in its turn.
struct HeldDrag {
  bool active = false;
  ExchangeData data;
  DWORD allowed = DROPEFFECT_NONE;
};

HeldDrag& Held() {
  thread_local HeldDrag held;
  return held;
}

DWORD HeldEffect(DWORD allowed) {
  if (allowed & DROPEFFECT_COPY) return DROPEFFECT_COPY;
  return allowed & DROPEFFECT_LINK;
}

void ReplayDrop(const ExchangeData& data, POINT screen, DWORD keyState, DWORD allowed) {
  ExternalDragEnter(data, screen, keyState, allowed);
  ExternalDragDrop(screen, keyState);
}

POINTL ToPointL(POINT p) { return POINTL{p.x, p.y}; }

ComPtr<IDropTarget> TargetAt(POINT screen, HWND* window) {
  *window = 0;
  const HWND under = WindowFromPoint(screen);
  return ComPtr<IDropTarget>::Adopt(under ? FindDropTarget(under, window) : nullptr);
}

void LeaveTarget(DragSession& s) {
  if (s.target) s.target->DragLeave();
  s.target.Reset();
  s.targetWindow = 0;
}

// Enters whatever target is under the point if it is not the current one; the effect chosen
// by DragEnter, or nothing when the target stayed.
std::optional<DWORD> FollowPointer(DragSession& s, POINT screen, DWORD keyState) {
  HWND window = 0;
  ComPtr<IDropTarget> target = TargetAt(screen, &window);
  if (window == s.targetWindow && target.Get() == s.target.Get()) return std::nullopt;
  LeaveTarget(s);
  if (!target) return DROPEFFECT_NONE;
  DWORD effect = s.allowed;
  const HRESULT hr = target->DragEnter(s.data.Get(), keyState, ToPointL(screen), &effect);
  s.target = std::move(target);
  s.targetWindow = window;
  return SUCCEEDED(hr) ? effect & s.allowed : DROPEFFECT_NONE;
}

void EndSession(DragSession& s) {
  s.active = false;
  s.data.Reset();
  s.target.Reset();
  s.targetWindow = 0;
}

}  // namespace

DWORD ExternalDragEnter(const ExchangeData& data, POINT screen, DWORD keyState, DWORD allowed) {
  if (InputHeld()) {
    Held() = HeldDrag{true, data, allowed};
    return HeldEffect(allowed);
  }
  DragSession& s = Session();
  if (s.active) ExternalDragLeave();
  s.active = true;
  s.data = ComPtr<IDataObject>::Adopt(CreateExchangeDataObject(data));
  s.allowed = allowed;
  return FollowPointer(s, screen, keyState).value_or(DROPEFFECT_NONE);
}

DWORD ExternalDragOver(POINT screen, DWORD keyState) {
  if (Held().active) return HeldEffect(Held().allowed);
  DragSession& s = Session();
  if (!s.active) return DROPEFFECT_NONE;
  if (auto entered = FollowPointer(s, screen, keyState)) return *entered;
  if (!s.target) return DROPEFFECT_NONE;
  DWORD effect = s.allowed;
  const HRESULT hr = s.target->DragOver(keyState, ToPointL(screen), &effect);
  return SUCCEEDED(hr) ? effect & s.allowed : DROPEFFECT_NONE;
}

void ExternalDragLeave() {
  if (Held().active) {
    Held() = HeldDrag{};
    return;
  }
  DragSession& s = Session();
  if (!s.active) return;
  LeaveTarget(s);
  EndSession(s);
}

DWORD ExternalDragDrop(POINT screen, DWORD keyState) {
  if (HeldDrag& held = Held(); held.active) {
    HeldDrag drag = std::exchange(held, HeldDrag{});
    const HWND under = WindowFromPoint(screen);
    if (!under || !PostInputAction(under, [drag, screen, keyState] {
          ReplayDrop(drag.data, screen, keyState, drag.allowed);
        })) {
      return DROPEFFECT_NONE;
    }
    return HeldEffect(drag.allowed);
  }
  DragSession& s = Session();
  if (!s.active) return DROPEFFECT_NONE;
  FollowPointer(s, screen, keyState);
  DWORD effect = DROPEFFECT_NONE;
  if (s.target) {
    effect = s.allowed;
    const HRESULT hr = s.target->Drop(s.data.Get(), keyState, ToPointL(screen), &effect);
    // A failed drop tells the source nothing happened, so a move never removes its data.
    effect = SUCCEEDED(hr) ? effect & s.allowed : DROPEFFECT_NONE;
  }
  EndSession(s);
  return effect;
}

}  // namespace quorlin::platform
