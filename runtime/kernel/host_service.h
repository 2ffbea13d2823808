// The narrow surface through which support libraries reach the kernel: HostService with
// numbered service codes, and each library's notification entry.
#pragma once

#include <cstdint>

namespace quorlin {

using HostServiceEntry = intptr_t (*)(int32_t code, intptr_t p1, intptr_t p2);
using LibraryNotifyEntry = intptr_t (*)(int32_t code, intptr_t p1, intptr_t p2);

namespace HostCode {
inline constexpr int32_t FormTable = 1001;
inline constexpr int32_t DataTypeRecord = 1002;
inline constexpr int32_t UnitDestroyed = 2000;
inline constexpr int32_t ProgramDirectory = 2003;
inline constexpr int32_t LoadWindow = 2005;
inline constexpr int32_t FindLiveObject = 2006;
inline constexpr int32_t FindLiveObjectOrFail = 2007;
inline constexpr int32_t RaiseEvent = 2008;
inline constexpr int32_t CurrentEventSource = 2017;
inline constexpr int32_t ProcessPendingMessages = 2018;
inline constexpr int32_t Allocate = 2024;
inline constexpr int32_t Free = 2025;
inline constexpr int32_t Reallocate = 2026;
inline constexpr int32_t RuntimeError = 2027;
inline constexpr int32_t EndProgram = 2028;
inline constexpr int32_t RaiseEventWithArguments = 2031;
inline constexpr int32_t WindowHandleOfForm = 2033;
}  // namespace HostCode

// Notification codes the kernel sends to a library's notification entry.
namespace NotifyCode {
inline constexpr int32_t Attach = 1;  // p1 = the HostService entry
inline constexpr int32_t ProcessEnd = 6;
}  // namespace NotifyCode

// The kernel's own HostService.
intptr_t HostService(int32_t code, intptr_t p1, intptr_t p2);

}  // namespace quorlin
