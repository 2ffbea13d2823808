#include "app/program_info.h"

#include <iterator>

#include "app/constant_segment.h"
#include "app/forms/template_data.h"
#include "app/handler_table.h"
#include "runtime/corelib/core_library.h"

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
static_assert(std::size(kDllFileNames) == 18 && std::size(kDllFunctionNames) == 18);

// Library numbers are fixed by the data types that name them (the drop target is library 5);
// the slots of libraries this program links but never calls stay empty.
const LibraryInfoBlock* kLibraries[6];

}  // namespace

const ProgramInfoBlock& ProgramInfo() {
  static const ProgramInfoBlock info = [] {
    kLibraries[0] = &CoreLibraryInfo();
    ProgramInfoBlock block;
    block.runMode = 3;
    block.runSubMode = 0;
    block.buildNumber = 112622;
    block.codeBase = reinterpret_cast<uintptr_t>(HandlerTable());
    block.constantStart = ConstantSegmentStart();
    block.constantLength = ConstantSegmentLength();
    block.templateStart = TemplateData();
    block.templateLength = TemplateDataLength();
    block.libraryCount = 6;
    block.libraries = kLibraries;
    block.dllCommandCount = 18;
    block.dllFileNames = kDllFileNames;
    block.dllFunctionNames = kDllFunctionNames;
    return block;
  }();
  return info;
}

}  // namespace quorlin::app
