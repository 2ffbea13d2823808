// The support-library side of HostService: a library keeps the entry the kernel handed it and
// makes every kernel request through these calls.
#pragma once

#include <cstddef>
#include <cstdint>

#include "runtime/kernel/host_service.h"

namespace quorlin {

class LibraryHost {
 public:
  // Called from the library's notification entry with code 1.
  static void Attach(HostServiceEntry entry);
  static HostServiceEntry Entry();
  static intptr_t Call(int32_t code, intptr_t p1 = 0, intptr_t p2 = 0);

  // A new runtime block; an allocation failure is the runtime's out-of-memory error.
  static void* Allocate(size_t bytes);
  // A new runtime block, or null on failure.
  static void* TryAllocate(size_t bytes);
  static void* Reallocate(void* block, size_t bytes);
  static void Free(void* block);

  // A runtime error with this message and code 0: one box, then the program ends.
  [[noreturn]] static void RaiseError(const char* message);
  [[noreturn]] static void EndProgram(int32_t exitCode);
  // The program directory without a trailing backslash (kernel-owned).
  static const char* ProgramDirectory();
};

}  // namespace quorlin
