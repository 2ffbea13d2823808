#include "runtime/kernel/entry_table.h"

#include <cstring>
#include <string_view>

#include "platform/base/file_api.h"
#include "runtime/kernel/blocks.h"
#include "runtime/kernel/runtime_error.h"
#include "runtime/kernel/runtime_kernel.h"

namespace quorlin {
namespace {

[[noreturn]] void RaiseRuntimeErrorEntry(int32_t code) { Kernel().ReportRuntimeError(NumberedErrorMessage(code), code); }

uint64_t CallDllCommandEntry(int32_t index, const platform::ProcedureSignature& declared, const uint64_t* arguments) {
  return Kernel().CallDllCommand(index, declared, arguments);
}

TypedValue CallCommand(CommandEntry command, int32_t argCount, TypedValue* args) {
  TypedValue result{};
  command(&result, argCount, args);
  return result;
}

uint64_t ReadUnitPropertyEntry(uint32_t formId, uint32_t unitId, int32_t property, int32_t member) {
  if (FormsLayer* forms = RegisteredFormsLayer()) return forms->ReadUnitProperty(formId, unitId, property, member);
  Kernel().ReportRuntimeError(KernelMessage::UnitNotLoaded, 0);
}

void WriteUnitPropertyEntry(uint32_t formId, uint32_t unitId, int32_t property, int32_t member, uint32_t low,
                            uint32_t high) {
  if (FormsLayer* forms = RegisteredFormsLayer()) return forms->WriteUnitProperty(formId, unitId, property, member, low, high);
  Kernel().ReportRuntimeError(KernelMessage::UnitNotLoaded, 0);
}

void* AllocateEntry(size_t bytes) { return Kernel().Allocate(bytes); }
void* ReallocateEntry(void* block, size_t bytes) { return Kernel().Reallocate(block, bytes); }
void FreeEntry(void* block) { Kernel().Free(block); }
[[noreturn]] void EndProgramEntry(int32_t exitCode) { Kernel().EndProgram(exitCode); }
void RunMessageLoopEntry() { Kernel().RunMessageLoop(); }
void LoadStartWindowEntry(uint32_t formId) { Kernel().LoadStartWindow(formId); }

// Matches the search's attribute mask the way the platform's file search does: hidden, system
// and directory entries are found only when the mask asks for them.
bool AttributesMatch(DWORD attributes, DWORD mask) {
  constexpr DWORD special = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_DIRECTORY;
  return (attributes & special & ~mask) == 0;
}

intptr_t FindFile(const char* pattern, DWORD mask, HANDLE* search) {
  if (!search) return 0;
  WIN32_FIND_DATAA data{};
  bool found;
  if (*search == 0 || *search == INVALID_HANDLE_VALUE) {
    *search = pattern ? FindFirstFileA(pattern, &data) : INVALID_HANDLE_VALUE;
    found = *search != INVALID_HANDLE_VALUE;
  } else {
    found = FindNextFileA(*search, &data) != 0;
  }
  while (found) {
    const std::string_view name = data.cFileName;
    if (name != "." && name != ".." && AttributesMatch(data.dwFileAttributes, mask)) {
      return reinterpret_cast<intptr_t>(NewText(name));
    }
    found = FindNextFileA(*search, &data) != 0;
  }
  return 0;
}

intptr_t MakeArrayWritable(void** array, size_t elementSize) {
  if (!array || !*array || !Kernel().InStaticRange(*array)) return 0;
  const ArrayShape shape = ReadArrayShape(*array);
  const size_t header = 4 + 4 * static_cast<size_t>(shape.dimensionCount);
  const size_t bytes = header + shape.elementCount * elementSize;
  void* copy = Kernel().Allocate(bytes);
  std::memcpy(copy, *array, bytes);
  *array = copy;
  return 1;
}

intptr_t CallKernelRoutineEntry(int32_t routine, intptr_t a1, intptr_t a2, intptr_t a3) {
  switch (routine) {
    case KernelRoutine::FindFile:
      return FindFile(reinterpret_cast<const char*>(a1), static_cast<DWORD>(a2), reinterpret_cast<HANDLE*>(a3));
    case KernelRoutine::CloseFileSearch:
      if (a1 != 0 && static_cast<HANDLE>(a1) != INVALID_HANDLE_VALUE) FindClose(static_cast<HANDLE>(a1));
      return 0;
    case KernelRoutine::MakeArrayWritable:
      return MakeArrayWritable(reinterpret_cast<void**>(a1), static_cast<size_t>(a2));
    case KernelRoutine::SetCleanupRoutine:
      Kernel().SetCleanupRoutine(reinterpret_cast<CleanupRoutine>(a1));
      return 0;
    case KernelRoutine::LoadTemplates: Kernel().LoadTemplates(); return 0;
    default: return 0;  // routines 4 and 5 serve libraries this program does not use
  }
}

constexpr RuntimeEntryTable Table{
    &RaiseRuntimeErrorEntry, &CallDllCommandEntry, &CallCommand,         &CallCommand,
    &ReadUnitPropertyEntry,  &WriteUnitPropertyEntry, &AllocateEntry,    &ReallocateEntry,
    &FreeEntry,              &EndProgramEntry,       &RunMessageLoopEntry, &LoadStartWindowEntry,
    &CallKernelRoutineEntry,
};

}  // namespace

const RuntimeEntryTable& EntryTable() { return Table; }

}  // namespace quorlin
