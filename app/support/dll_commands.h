// The DLL commands the application declares: platform functions it calls directly, resolved by
// file and function name on first call. The index is the command's number in the program's
// table; several functions are declared more than once, as the program always had them.
#pragma once

#include <cstdint>

namespace quorlin::app {

namespace DllCommand {
inline constexpr int32_t MultiByteToWideChar = 0;
inline constexpr int32_t WideCharToMultiByte = 1;
inline constexpr int32_t CoInitialize = 2;
inline constexpr int32_t CoUninitialize = 3;
inline constexpr int32_t PathRemoveBlanksA = 4;
inline constexpr int32_t OpenClipboard = 9;
inline constexpr int32_t EmptyClipboard = 10;
inline constexpr int32_t SetClipboardData = 11;
inline constexpr int32_t CloseClipboard = 12;
inline constexpr int32_t GetForegroundWindow = 13;
inline constexpr int32_t GetCurrentThreadId = 14;
inline constexpr int32_t GetWindowThreadProcessId = 15;
inline constexpr int32_t GetFocus = 16;
inline constexpr int32_t AttachThreadInput = 17;
}  // namespace DllCommand

inline constexpr uint32_t kDllCommandCount = 18;
// File names ("" = the default library search) and function names, by index.
const char* const* DllFileNames();
const char* const* DllFunctionNames();

}  // namespace quorlin::app
