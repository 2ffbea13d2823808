// Waiting for work on another thread while the calling thread's windows stay alive.
//
// A synchronous call that may take long (an HTTP exchange) runs its work on a thread of its
// own; the calling thread keeps its windows painted and lets the display backend go on with
// its own business — showing exposed windows, following moves, answering the window manager —
// through the queue's wait function, while the pointer shows the busy cursor over our windows.
// Nothing else of the queue is taken meanwhile: input, posted messages (close requests
// included), timers, messages sent by other threads and the quit message stay where they are,
// in their order, until the work is done. So no handler of the program runs that could not run
// had the thread simply blocked, and what the user did meanwhile comes afterwards, in order.
#pragma once

#include <cstdint>
#include <functional>

#include "platform/base/win_types.h"

namespace quorlin::platform {

// Runs `work` on a thread of its own and returns when it is done, after putting back the
// cursor that was shown before. `work` must not use the calling thread's windows.
void RunWithInputHeld(const std::function<void()>& work);

// True while the calling thread waits in RunWithInputHeld.
bool InputHeld();
// A number for the calling thread's current wait in RunWithInputHeld, different for every
// wait of the process; 0 when it waits in none.
uint64_t HeldWaitSerial();

// Input that is not a message (a drop another program makes): `action` joins the input of
// the window's thread as a message for hwnd, and runs when that message is dispatched, in its
// order among the input. FALSE when hwnd is not a window.
BOOL PostInputAction(HWND hwnd, std::function<void()> action);
// The message that carries such an action; DispatchMessageA runs the action.
inline constexpr UINT WM_INPUT_ACTION = 0x03F0;
void RunInputAction(WPARAM id);

// Called about every 10 ms on a thread that waits with input held, for a test driver that goes
// on giving input and reading the screen meanwhile. Null stops it.
using HeldWaitTick = void (*)(void* context);
void SetHeldWaitTick(HeldWaitTick tick, void* context);

}  // namespace quorlin::platform
