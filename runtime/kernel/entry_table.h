// The table of 13 entries through which compiled application code reaches the kernel. The
// order of the slots is fixed.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/base/dll_modules.h"
#include "runtime/kernel/command.h"

namespace quorlin {

struct RuntimeEntryTable {
  void (*RaiseRuntimeError)(int32_t code);                          // 0
  // The DLL command's index, the argument list the application declared for it, and one
  // 64-bit word per argument; the function's own result.
  uint64_t (*CallDllCommand)(int32_t index, const platform::ProcedureSignature& declared,
                             const uint64_t* arguments);                          // 1
  TypedValue (*CallLibraryCommand)(CommandEntry command, int32_t argCount, TypedValue* args);  // 2
  TypedValue (*CallCoreCommand)(CommandEntry command, int32_t argCount, TypedValue* args);     // 3
  uint64_t (*ReadUnitProperty)(uint32_t formId, uint32_t unitId, int32_t property, int32_t member);  // 4
  void (*WriteUnitProperty)(uint32_t formId, uint32_t unitId, int32_t property, int32_t member,
                            uint32_t low, uint32_t high);                        // 5
  void* (*Allocate)(size_t bytes);                                                // 6
  void* (*Reallocate)(void* block, size_t bytes);                                 // 7
  void (*Free)(void* block);                                                      // 8
  void (*EndProgram)(int32_t exitCode);                              // 9
  void (*RunMessageLoop)();                                                       // 10
  void (*LoadStartWindow)(uint32_t formId);                                       // 11
  // Routine number 0 to 6, then up to three of the routine's own arguments.
  intptr_t (*CallKernelRoutine)(int32_t routine, intptr_t a1, intptr_t a2, intptr_t a3);  // 12
};

const RuntimeEntryTable& EntryTable();

// Kernel routines of slot 12.
namespace KernelRoutine {
// (name pattern text, attribute mask, pointer to the search handle, 0 = start a new search):
// the next matching file name as a new text, or null when there is none.
inline constexpr int32_t FindFile = 0;
inline constexpr int32_t CloseFileSearch = 1;       // (search handle, 0 allowed)
inline constexpr int32_t MakeArrayWritable = 2;     // (pointer to the array pointer, element size)
inline constexpr int32_t SetCleanupRoutine = 3;     // (routine address)
inline constexpr int32_t LoadTemplates = 6;
}  // namespace KernelRoutine

}  // namespace quorlin
