#include "app/support/dll_commands.h"

#include <iterator>

#include "app/constant_segment.h"

namespace quorlin::app {
namespace {

// The DLL commands the application declares, by index.
QUORLIN_CONSTANT const char kKernel32[] = "kernel32.dll";
QUORLIN_CONSTANT const char kOle32[] = "ole32.dll";
QUORLIN_CONSTANT const char kShlwapi[] = "shlwapi.dll";
QUORLIN_CONSTANT const char kUser32[] = "user32";
QUORLIN_CONSTANT const char kUser32Dll[] = "user32.dll";
QUORLIN_CONSTANT const char kNoFile[] = "";
QUORLIN_CONSTANT const char kMultiByteToWideChar[] = "MultiByteToWideChar";
QUORLIN_CONSTANT const char kWideCharToMultiByte[] = "WideCharToMultiByte";
QUORLIN_CONSTANT const char kCoInitialize[] = "CoInitialize";
QUORLIN_CONSTANT const char kCoUninitialize[] = "CoUninitialize";
QUORLIN_CONSTANT const char kPathRemoveBlanksA[] = "PathRemoveBlanksA";
QUORLIN_CONSTANT const char kOpenClipboard[] = "OpenClipboard";
QUORLIN_CONSTANT const char kEmptyClipboard[] = "EmptyClipboard";
QUORLIN_CONSTANT const char kSetClipboardData[] = "SetClipboardData";
QUORLIN_CONSTANT const char kCloseClipboard[] = "CloseClipboard";
QUORLIN_CONSTANT const char kGetForegroundWindow[] = "GetForegroundWindow";
QUORLIN_CONSTANT const char kGetCurrentThreadId[] = "GetCurrentThreadId";
QUORLIN_CONSTANT const char kGetWindowThreadProcessId[] = "GetWindowThreadProcessId";
QUORLIN_CONSTANT const char kGetFocus[] = "GetFocus";
QUORLIN_CONSTANT const char kAttachThreadInput[] = "AttachThreadInput";

const char* const kDllFileNames[] = {
    kNoFile,    kKernel32, kOle32,  kOle32,  kShlwapi, kOle32,    kKernel32,  kKernel32,  kOle32,
    kUser32,    kNoFile,   kNoFile, kUser32, kUser32,  kKernel32, kUser32Dll, kUser32Dll, kUser32,
};
const char* const kDllFunctionNames[] = {
    kMultiByteToWideChar, kWideCharToMultiByte, kCoInitialize,       kCoUninitialize,
    kPathRemoveBlanksA,   kCoInitialize,        kWideCharToMultiByte, kWideCharToMultiByte,
    kCoUninitialize,      kOpenClipboard,       kEmptyClipboard,      kSetClipboardData,
    kCloseClipboard,      kGetForegroundWindow, kGetCurrentThreadId,  kGetWindowThreadProcessId,
    kGetFocus,            kAttachThreadInput,
};
static_assert(std::size(kDllFileNames) == kDllCommandCount && std::size(kDllFunctionNames) == kDllCommandCount);

}  // namespace

const char* const* DllFileNames() { return kDllFileNames; }
const char* const* DllFunctionNames() { return kDllFunctionNames; }

}  // namespace quorlin::app
