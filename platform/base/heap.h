// Heaps: the process heap and private heaps over the C allocator, thread safe.
//
// A block remembers its size and its heap, so HeapSize works, HEAP_ZERO_MEMORY also zeroes the
// part a HeapReAlloc adds, and a block handed to the wrong heap is refused instead of corrupting
// it. HeapDestroy frees every block still allocated from that heap. A request above 2 GiB fails
// (null, ERROR_NOT_ENOUGH_MEMORY) instead of aborting the process. HEAP_GENERATE_EXCEPTIONS is
// accepted but a failure is still reported by a null result.
#pragma once

#include "platform/base/win_types.h"

inline constexpr DWORD HEAP_NO_SERIALIZE = 0x00000001;
inline constexpr DWORD HEAP_GROWABLE = 0x00000002;
inline constexpr DWORD HEAP_GENERATE_EXCEPTIONS = 0x00000004;
inline constexpr DWORD HEAP_ZERO_MEMORY = 0x00000008;
inline constexpr DWORD HEAP_REALLOC_IN_PLACE_ONLY = 0x00000010;
inline constexpr DWORD HEAP_CREATE_ENABLE_EXECUTE = 0x00040000;

HANDLE GetProcessHeap();
// A maximum size of 0 makes a growable heap; otherwise the heap's blocks together never exceed it.
HANDLE HeapCreate(DWORD options, SIZE_T initialSize, SIZE_T maximumSize);
BOOL HeapDestroy(HANDLE heap);
LPVOID HeapAlloc(HANDLE heap, DWORD flags, SIZE_T bytes);
LPVOID HeapReAlloc(HANDLE heap, DWORD flags, LPVOID memory, SIZE_T bytes);
// A null block is accepted and does nothing.
BOOL HeapFree(HANDLE heap, DWORD flags, LPVOID memory);
// (SIZE_T)-1 for a block that is not of this heap.
SIZE_T HeapSize(HANDLE heap, DWORD flags, LPCVOID memory);

namespace quorlin::platform {

// The largest block a heap hands out.
inline constexpr SIZE_T kMaxHeapBlock = SIZE_T{1} << 31;

// Test hook: after afterCount further successful allocations (HeapAlloc or HeapReAlloc, any
// heap), the next one fails once, as if memory were exhausted.
void FailHeapAllocations(int afterCount);
// Cancels a pending FailHeapAllocations.
void ResetHeapFailures();

}  // namespace quorlin::platform
