#include "platform/base/heap.h"

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <mutex>

#include "platform/base/handle_table.h"
#include "platform/base/last_error.h"

namespace {

using quorlin::platform::HandleKind;
using quorlin::platform::kMaxHeapBlock;

constexpr uint32_t kLiveBlock = 0x51484C42;  // "QHLB"
constexpr uint32_t kFreedBlock = 0x51484644;

// Sits in front of every block. Blocks of private heaps are linked so HeapDestroy can free them;
// process-heap blocks are not linked, so they need no lock at all.
struct BlockHeader {
  BlockHeader* previous;
  BlockHeader* next;
  size_t size;
  HANDLE heap;
  uint32_t magic;
};
static_assert(sizeof(BlockHeader) % alignof(std::max_align_t) == 0, "blocks must stay aligned");

struct Heap : quorlin::platform::HandleObject {
  explicit Heap(bool tracked, size_t maximum) : tracked(tracked), maximum(maximum) {}
  ~Heap() override { FreeAll(); }

  void Link(BlockHeader* block) {
    block->previous = nullptr;
    block->next = first;
    if (first) first->previous = block;
    first = block;
  }
  void Unlink(BlockHeader* block) {
    if (block->previous) block->previous->next = block->next; else first = block->next;
    if (block->next) block->next->previous = block->previous;
  }
  void FreeAll() {
    while (first) {
      BlockHeader* block = first;
      first = block->next;
      block->magic = kFreedBlock;
      std::free(block);
    }
    total = 0;
  }

  const bool tracked;
  const size_t maximum;  // 0: growable
  std::mutex mutex;      // guards the fields below (private heaps only)
  BlockHeader* first = nullptr;
  size_t total = 0;
  bool destroyed = false;
};

std::atomic<int> failureCountdown{-1};

bool TakeInjectedFailure() {
  int value = failureCountdown.load(std::memory_order_relaxed);
  while (value >= 0) {
    const int next = value == 0 ? -1 : value - 1;
    if (failureCountdown.compare_exchange_weak(value, next, std::memory_order_relaxed)) return value == 0;
  }
  return false;
}

Heap& ProcessHeapObject() {
  static Heap* heap = new Heap(false, 0);  // lives to process exit
  return *heap;
}

HANDLE ProcessHeapHandle() {
  static const HANDLE handle = quorlin::platform::RegisterHandle(
      HandleKind::Heap, std::shared_ptr<quorlin::platform::HandleObject>(&ProcessHeapObject(), [](auto*) {}));
  return handle;
}

// The heap behind a handle, kept alive for the call; null (and ERROR_INVALID_HANDLE) when none.
std::shared_ptr<Heap> ResolveHeap(HANDLE handle) {
  if (handle == ProcessHeapHandle()) return std::shared_ptr<Heap>(&ProcessHeapObject(), [](Heap*) {});
  auto heap = quorlin::platform::LookupHandleAs<Heap>(handle, HandleKind::Heap);
  if (!heap) SetLastError(ERROR_INVALID_HANDLE);
  return heap;
}

BlockHeader* HeaderOf(LPCVOID memory) {
  return reinterpret_cast<BlockHeader*>(const_cast<char*>(static_cast<const char*>(memory)) - sizeof(BlockHeader));
}
void* PayloadOf(BlockHeader* block) { return reinterpret_cast<char*>(block) + sizeof(BlockHeader); }

// The block's header when the block is a live one of this heap; otherwise ERROR_INVALID_PARAMETER.
BlockHeader* CheckedHeader(HANDLE heap, LPCVOID memory) {
  BlockHeader* block = HeaderOf(memory);
  if (block->magic != kLiveBlock || block->heap != heap) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  return block;
}

void* OutOfMemory() {
  SetLastError(ERROR_NOT_ENOUGH_MEMORY);
  return nullptr;
}

// Whether a private heap with a maximum can take `grow` more bytes (lock held).
bool FitsLimit(const Heap& heap, size_t grow) {
  return heap.maximum == 0 || (heap.total <= heap.maximum && grow <= heap.maximum - heap.total);
}

}  // namespace

HANDLE GetProcessHeap() { return ProcessHeapHandle(); }

HANDLE HeapCreate(DWORD options, SIZE_T initialSize, SIZE_T maximumSize) {
  return quorlin::platform::RegisterHandle(HandleKind::Heap, std::make_shared<Heap>(true, maximumSize));
}

BOOL HeapDestroy(HANDLE handle) {
  if (handle == ProcessHeapHandle()) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  auto heap = quorlin::platform::LookupHandleAs<Heap>(handle, HandleKind::Heap);
  if (!heap || !quorlin::platform::ReleaseHandle(handle, HandleKind::Heap)) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  std::lock_guard lock(heap->mutex);
  heap->FreeAll();
  heap->destroyed = true;
  return TRUE;
}

LPVOID HeapAlloc(HANDLE handle, DWORD flags, SIZE_T bytes) {
  auto heap = ResolveHeap(handle);
  if (!heap) return nullptr;
  if (bytes > kMaxHeapBlock || TakeInjectedFailure()) return OutOfMemory();

  const size_t total = sizeof(BlockHeader) + bytes;
  void* raw = (flags & HEAP_ZERO_MEMORY) ? std::calloc(1, total) : std::malloc(total);
  if (!raw) return OutOfMemory();
  auto* block = static_cast<BlockHeader*>(raw);
  block->previous = block->next = nullptr;
  block->size = bytes;
  block->heap = handle;
  block->magic = kLiveBlock;
  if (heap->tracked) {
    std::lock_guard lock(heap->mutex);
    if (heap->destroyed || !FitsLimit(*heap, bytes)) {
      std::free(raw);
      return OutOfMemory();
    }
    heap->Link(block);
    heap->total += bytes;
  }
  return PayloadOf(block);
}

LPVOID HeapReAlloc(HANDLE handle, DWORD flags, LPVOID memory, SIZE_T bytes) {
  auto heap = ResolveHeap(handle);
  if (!heap) return nullptr;
  if (!memory) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  std::unique_lock<std::mutex> lock;
  if (heap->tracked) lock = std::unique_lock(heap->mutex);
  BlockHeader* block = CheckedHeader(handle, memory);
  if (!block) return nullptr;
  const size_t oldSize = block->size;

  if (flags & HEAP_REALLOC_IN_PLACE_ONLY) {
    if (bytes > oldSize) return OutOfMemory();
    block->size = bytes;
    if (heap->tracked) heap->total -= oldSize - bytes;
    return memory;
  }
  if (bytes > kMaxHeapBlock || TakeInjectedFailure()) return OutOfMemory();
  if (heap->tracked && bytes > oldSize && !FitsLimit(*heap, bytes - oldSize)) return OutOfMemory();

  if (heap->tracked) heap->Unlink(block);
  auto* moved = static_cast<BlockHeader*>(std::realloc(block, sizeof(BlockHeader) + bytes));
  if (!moved) {
    if (heap->tracked) heap->Link(block);
    return OutOfMemory();
  }
  moved->size = bytes;
  if (heap->tracked) {
    heap->Link(moved);
    heap->total = heap->total - oldSize + bytes;
  }
  if ((flags & HEAP_ZERO_MEMORY) && bytes > oldSize) {
    std::memset(static_cast<char*>(PayloadOf(moved)) + oldSize, 0, bytes - oldSize);
  }
  return PayloadOf(moved);
}

BOOL HeapFree(HANDLE handle, DWORD flags, LPVOID memory) {
  auto heap = ResolveHeap(handle);
  if (!heap) return FALSE;
  if (!memory) return TRUE;
  std::unique_lock<std::mutex> lock;
  if (heap->tracked) lock = std::unique_lock(heap->mutex);
  BlockHeader* block = CheckedHeader(handle, memory);
  if (!block) return FALSE;
  if (heap->tracked) {
    heap->Unlink(block);
    heap->total -= block->size;
  }
  block->magic = kFreedBlock;
  std::free(block);
  return TRUE;
}

SIZE_T HeapSize(HANDLE handle, DWORD flags, LPCVOID memory) {
  auto heap = ResolveHeap(handle);
  if (!heap) return static_cast<SIZE_T>(-1);
  if (!memory) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return static_cast<SIZE_T>(-1);
  }
  std::unique_lock<std::mutex> lock;
  if (heap->tracked) lock = std::unique_lock(heap->mutex);
  BlockHeader* block = CheckedHeader(handle, memory);
  return block ? block->size : static_cast<SIZE_T>(-1);
}

namespace quorlin::platform {

void FailHeapAllocations(int afterCount) {
  failureCountdown.store(afterCount < 0 ? -1 : afterCount, std::memory_order_relaxed);
}

void ResetHeapFailures() { failureCountdown.store(-1, std::memory_order_relaxed); }

}  // namespace quorlin::platform
