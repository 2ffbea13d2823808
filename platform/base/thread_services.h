// Thread and process identity, sleeping, tick counts and the end of the process.
#pragma once

#include "platform/base/win_types.h"

// A small number that names the calling thread for its whole life (the system's thread id).
DWORD GetCurrentThreadId();
DWORD GetCurrentProcessId();

// Sleeps at least ms milliseconds; 0 gives up the rest of the time slice, INFINITE never returns.
void Sleep(DWORD ms);

// Milliseconds since the system started: the 32-bit count wraps after about 49.7 days.
DWORD GetTickCount();
ULONGLONG GetTickCount64();

// Flushes the standard streams and ends the process at once with this exit code (the exit
// status is its low byte). No static destructors or exit handlers run.
[[noreturn]] void ExitProcess(UINT exitCode);
