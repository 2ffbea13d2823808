// The message queues: one per thread, created on first use.
//
// A thread's queue hands out, in this order: messages sent from other threads (handled inside
// the call, never returned), posted messages in the order they were posted, input messages,
// the quit message once PostQuitMessage was called, WM_PAINT for a window that needs painting,
// and WM_TIMER for a timer that has expired (at most one pending per timer). WM_QUIT is
// returned whatever the filter says.
//
// A message sent to a window of another thread is handled by that thread the next time it
// looks at its queue; the sender blocks meanwhile but still handles messages sent to its own
// thread, so two threads sending to each other cannot deadlock. When the receiving thread
// ends, every message still waiting for it is answered with 0.
#pragma once

#include "platform/base/win_types.h"
#include "platform/user/messages.h"

inline constexpr DWORD WAIT_OBJECT_0 = 0x00000000;
inline constexpr DWORD WAIT_TIMEOUT = 0x00000102;
inline constexpr DWORD WAIT_FAILED = 0xFFFFFFFF;

// SendMessageTimeoutA's flags.
inline constexpr UINT SMTO_NORMAL = 0x0000;
inline constexpr UINT SMTO_BLOCK = 0x0001;  // do not handle messages sent to the waiting thread
inline constexpr UINT SMTO_ABORTIFHUNG = 0x0002;
inline constexpr UINT SMTO_NOTIMEOUTIFNOTHUNG = 0x0008;
inline constexpr UINT SMTO_ERRORONEXIT = 0x0020;

// hwnd 0 posts a thread message to the calling thread.
BOOL PostMessageA(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
BOOL PostThreadMessageA(DWORD threadId, UINT message, WPARAM wParam, LPARAM lParam);
void PostQuitMessage(int exitCode);

LRESULT SendMessageA(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
// 0 when the window is not there or the wait timed out (GetLastError tells ERROR_TIMEOUT);
// the receiver's answer then goes nowhere.
LRESULT SendMessageTimeoutA(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT flags,
                            UINT timeoutMs, DWORD_PTR* result);
// Does not wait for a window of another thread.
BOOL SendNotifyMessageA(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
// TRUE while the calling thread handles a message another thread sent and waits for.
BOOL InSendMessage();
// Answers that message at once; the window procedure's later result is dropped.
BOOL ReplyMessage(LRESULT result);

// hwnd 0: messages of every window of the thread and thread messages; (HWND)-1: thread
// messages only; otherwise the window's and its descendants' messages. min = max = 0: all.
BOOL PeekMessageA(MSG* msg, HWND hwnd, UINT filterMin, UINT filterMax, UINT removeFlags);
// Blocks until a message is there: 0 for WM_QUIT, -1 when hwnd is not a window, else 1.
BOOL GetMessageA(MSG* msg, HWND hwnd, UINT filterMin, UINT filterMax);
// Posts WM_CHAR (WM_SYSCHAR) for a key-down of a character key.
BOOL TranslateMessage(const MSG* msg);
// Calls the window procedure; WM_TIMER of a timer with a TIMERPROC calls that instead.
LRESULT DispatchMessageA(const MSG* msg);

// Sleeps until something new arrives in the calling thread's queue.
BOOL WaitMessage();
// Only nCount 0 is supported: waits, at most timeoutMs, until content of the wakeMask kinds
// arrived since the thread last looked at its queue. WAIT_OBJECT_0 or WAIT_TIMEOUT.
DWORD MsgWaitForMultipleObjects(DWORD nCount, const HANDLE* handles, BOOL waitAll, DWORD timeoutMs,
                                DWORD wakeMask);
// High word: the kinds in the queue; low word: the kinds that arrived since the last look.
DWORD GetQueueStatus(UINT flags);

// Time and pointer position of the last message GetMessageA or PeekMessageA returned.
LONG GetMessageTime();
DWORD GetMessagePos();

namespace quorlin::platform {

// An eventfd of the calling thread's queue that becomes readable when something arrives,
// so that a display backend can wait on it together with its own events; -1 if none could
// be made. Reading the queue (PeekMessageA …) drains it.
int QueueWakeFd();

// How the calling thread waits for its queue: the function waits until wakeFd is readable or
// timeoutMs passed (-1: no limit), and may handle other events meanwhile (posting messages
// is fine). Null restores the plain wait. Returns the previous function.
using QueueWaitFunction = void (*)(int wakeFd, int timeoutMs);
QueueWaitFunction SetQueueWaitFunction(QueueWaitFunction wait);

// Puts an input message (keyboard or mouse) into the queue of the window's thread; input is
// handed out after posted messages.
BOOL PostInputMessage(const MSG& msg);

}  // namespace quorlin::platform
