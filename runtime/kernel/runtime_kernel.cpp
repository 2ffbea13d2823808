#include "runtime/kernel/runtime_kernel.h"

#include <algorithm>
#include <cinttypes>
#include <cstdio>
#include <cstring>

#include "platform/base/heap.h"
#include "platform/base/thread_services.h"
#include "platform/user/window_core.h"
#include "runtime/kernel/runtime_error.h"

namespace quorlin {

namespace {

// "分配 %d 字节内存失败!" with the byte count in place of %d.
[[noreturn]] void RaiseAllocationError(RuntimeKernel& kernel, size_t bytes) {
  char message[96];
  const char* format = KernelMessage::AllocationFailed;
  const char* mark = std::strstr(format, "%d");
  std::snprintf(message, sizeof message, "%.*s%zu%s", static_cast<int>(mark - format), format, bytes, mark + 2);
  kernel.ReportRuntimeError(message, 0);
}

}  // namespace

RuntimeKernel::RuntimeKernel() = default;

RuntimeKernel& Kernel() {
  // Built on first use and never destroyed: windows and libraries may still reach the kernel
  // while the process ends.
  static RuntimeKernel* kernel = new RuntimeKernel;
  return *kernel;
}

void* RuntimeKernel::TryAllocate(size_t bytes) {
  if (!heap_) heap_ = GetProcessHeap();
  return HeapAlloc(heap_, 0, bytes);
}

void* RuntimeKernel::Allocate(size_t bytes) {
  void* block = TryAllocate(bytes);
  if (!block) {
    RaiseAllocationError(*this, bytes);
  }
  return block;
}

bool RuntimeKernel::InStaticRange(const void* p) const {
  const auto address = reinterpret_cast<uintptr_t>(p);
  return std::any_of(staticRanges_.begin(), staticRanges_.end(),
                     [address](const StaticRange& r) { return address >= r.start && address < r.end; });
}

void RuntimeKernel::AddStaticRange(const void* start, size_t length) {
  const auto begin = reinterpret_cast<uintptr_t>(start);
  staticRanges_.push_back({begin, begin + length});
}

void RuntimeKernel::Free(void* block) {
  if (!block || InStaticRange(block)) return;
  if (!heap_) heap_ = GetProcessHeap();
  HeapFree(heap_, 0, block);
}

void* RuntimeKernel::Reallocate(void* block, size_t bytes) {
  if (!block) return Allocate(bytes);
  const auto address = reinterpret_cast<uintptr_t>(block);
  for (const StaticRange& range : staticRanges_) {
    if (address >= range.start && address < range.end) {
      // A constant is never changed in place: the caller gets a heap copy.
      void* copy = Allocate(bytes);
      std::memcpy(copy, block, std::min<size_t>(bytes, range.end - address));
      return copy;
    }
  }
  if (!heap_) heap_ = GetProcessHeap();
  void* moved = HeapReAlloc(heap_, 0, block, bytes);
  if (!moved) {
    RaiseAllocationError(*this, bytes);
  }
  return moved;
}

FormTemplate* RuntimeKernel::FindFormTemplate(uint32_t formId) {
  auto it = forms_.find(formId);
  return it == forms_.end() ? nullptr : it->second.get();
}

const UnitTypeInfo* RuntimeKernel::DataTypeRecord(uint32_t dataType) const {
  if (!info_ || !info_->libraries) return nullptr;
  const uint32_t library = dataType >> 16;
  const uint32_t type = dataType & 0xFFFF;
  if (library == 0 || library > info_->libraryCount) return nullptr;
  const LibraryInfoBlock* block = info_->libraries[library - 1];
  if (!block || !block->dataTypes || type == 0 || type > block->dataTypeCount) return nullptr;
  return block->dataTypes[type - 1];
}

void RuntimeKernel::EndProcess(int32_t exitCode) {
  if (ExitObserver observer = exitObserver_.exchange(nullptr)) observer(exitCode);
  ExitProcess(static_cast<UINT>(exitCode));
}

void RuntimeKernel::AddIdleCallback(HWND window, IdleCallback callback, void* argument) {
  idleCallbacks_.push_back({window, callback, argument});
}

void RuntimeKernel::RemoveIdleCallbacks(HWND window) {
  std::erase_if(idleCallbacks_, [window](const Idle& idle) { return idle.window == window; });
}

void RuntimeKernel::ResetForTests() {
  // Each start-up makes its own service window; one left behind would pile up across starts.
  if (serviceWindow_) DestroyWindow(serviceWindow_);
  serviceWindow_ = 0;
  forms_.clear();
  staticRanges_.clear();
  dllCommands_.clear();
  idleCallbacks_.clear();
  errorCount_ = 0;
  exiting_ = false;
  loopStarted_ = false;
  cleanup_ = nullptr;
  exitObserver_ = nullptr;
  currentEventSource_ = {};
  info_ = nullptr;
}

}  // namespace quorlin
