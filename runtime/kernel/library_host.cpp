#include "runtime/kernel/library_host.h"

#include <cstdlib>

namespace quorlin {
namespace {
HostServiceEntry g_entry = nullptr;
}

void LibraryHost::Attach(HostServiceEntry entry) { g_entry = entry; }

HostServiceEntry LibraryHost::Entry() { return g_entry ? g_entry : &HostService; }

intptr_t LibraryHost::Call(int32_t code, intptr_t p1, intptr_t p2) { return Entry()(code, p1, p2); }

void* LibraryHost::Allocate(size_t bytes) {
  return reinterpret_cast<void*>(Call(HostCode::Allocate, static_cast<intptr_t>(bytes), 0));
}

void* LibraryHost::TryAllocate(size_t bytes) {
  return reinterpret_cast<void*>(Call(HostCode::Allocate, static_cast<intptr_t>(bytes), 1));
}

void* LibraryHost::Reallocate(void* block, size_t bytes) {
  return reinterpret_cast<void*>(
      Call(HostCode::Reallocate, reinterpret_cast<intptr_t>(block), static_cast<intptr_t>(bytes)));
}

void LibraryHost::Free(void* block) { Call(HostCode::Free, reinterpret_cast<intptr_t>(block), 0); }

void LibraryHost::RaiseError(const char* message) {
  Call(HostCode::RuntimeError, reinterpret_cast<intptr_t>(message), 0);
  std::abort();  // the kernel never returns from a runtime error
}

void LibraryHost::EndProgram(int32_t exitCode) {
  Call(HostCode::EndProgram, exitCode, 0);
  std::abort();
}

const char* LibraryHost::ProgramDirectory() {
  return reinterpret_cast<const char*>(Call(HostCode::ProgramDirectory, 0, 0));
}

}  // namespace quorlin
