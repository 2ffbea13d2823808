#include "platform/base/heap.h"

#include <gtest/gtest.h>

#include <cstring>
#include <thread>
#include <vector>

#include "platform/base/last_error.h"

namespace {

using quorlin::platform::FailHeapAllocations;
using quorlin::platform::kMaxHeapBlock;
using quorlin::platform::ResetHeapFailures;

TEST(Heap, ZeroingSizesAndReallocation) {
  const HANDLE heap = GetProcessHeap();
  ASSERT_NE(heap, 0u);
  EXPECT_EQ(GetProcessHeap(), heap);

  auto* block = static_cast<unsigned char*>(HeapAlloc(heap, HEAP_ZERO_MEMORY, 64));
  ASSERT_NE(block, nullptr);
  for (int i = 0; i < 64; ++i) ASSERT_EQ(block[i], 0) << i;
  EXPECT_EQ(reinterpret_cast<uintptr_t>(block) % alignof(std::max_align_t), 0u);
  EXPECT_EQ(HeapSize(heap, 0, block), 64u);

  std::memset(block, 0xAB, 64);
  block = static_cast<unsigned char*>(HeapReAlloc(heap, HEAP_ZERO_MEMORY, block, 4096));
  ASSERT_NE(block, nullptr);
  EXPECT_EQ(HeapSize(heap, 0, block), 4096u);
  EXPECT_EQ(block[63], 0xAB);  // the old bytes are kept
  for (int i = 64; i < 4096; ++i) ASSERT_EQ(block[i], 0) << i;  // the added part is zeroed

  // In place only: shrinking works, growing is refused and leaves the block alone.
  EXPECT_EQ(HeapReAlloc(heap, HEAP_REALLOC_IN_PLACE_ONLY, block, 16), block);
  EXPECT_EQ(HeapSize(heap, 0, block), 16u);
  EXPECT_EQ(HeapReAlloc(heap, HEAP_REALLOC_IN_PLACE_ONLY, block, 1 << 20), nullptr);
  EXPECT_EQ(HeapSize(heap, 0, block), 16u);

  void* empty = HeapAlloc(heap, 0, 0);
  EXPECT_NE(empty, nullptr);
  EXPECT_NE(empty, block);
  EXPECT_TRUE(HeapFree(heap, 0, empty));
  EXPECT_TRUE(HeapFree(heap, 0, block));
  EXPECT_TRUE(HeapFree(heap, 0, nullptr));
}

TEST(Heap, InjectedFailureHitsExactlyTheRequestedAllocation) {
  const HANDLE heap = GetProcessHeap();
  FailHeapAllocations(2);
  void* first = HeapAlloc(heap, 0, 8);
  void* second = HeapReAlloc(heap, 0, first, 32);  // a reallocation counts too
  ASSERT_NE(second, nullptr);
  SetLastError(0);
  EXPECT_EQ(HeapAlloc(heap, 0, 8), nullptr);
  EXPECT_EQ(GetLastError(), ERROR_NOT_ENOUGH_MEMORY);
  void* after = HeapAlloc(heap, 0, 8);  // the failure happens once
  EXPECT_NE(after, nullptr);

  FailHeapAllocations(0);
  ResetHeapFailures();
  void* unaffected = HeapAlloc(heap, 0, 8);
  EXPECT_NE(unaffected, nullptr);

  FailHeapAllocations(0);
  EXPECT_EQ(HeapReAlloc(heap, 0, after, 4096), nullptr);
  EXPECT_EQ(HeapSize(heap, 0, after), 8u);  // a failed reallocation keeps the block
  for (void* p : {second, after, unaffected}) EXPECT_TRUE(HeapFree(heap, 0, p));
}

TEST(Heap, AbsurdSizesFailInsteadOfAborting) {
  const HANDLE heap = GetProcessHeap();
  for (SIZE_T bytes : {kMaxHeapBlock + 1, SIZE_T{1} << 40, ~SIZE_T{0}, ~SIZE_T{0} - 8}) {
    SetLastError(0);
    EXPECT_EQ(HeapAlloc(heap, 0, bytes), nullptr) << bytes;
    EXPECT_EQ(GetLastError(), ERROR_NOT_ENOUGH_MEMORY);
  }
  void* block = HeapAlloc(heap, 0, 8);
  EXPECT_EQ(HeapReAlloc(heap, 0, block, ~SIZE_T{0}), nullptr);
  EXPECT_TRUE(HeapFree(heap, 0, block));
}

TEST(Heap, PrivateHeapsKeepTheirBlocksApart) {
  const HANDLE limited = HeapCreate(0, 0, 1000);
  ASSERT_NE(limited, 0u);
  void* a = HeapAlloc(limited, 0, 600);
  ASSERT_NE(a, nullptr);
  EXPECT_EQ(HeapAlloc(limited, 0, 600), nullptr);  // over the heap's maximum
  void* b = HeapAlloc(limited, 0, 400);
  EXPECT_NE(b, nullptr);
  EXPECT_EQ(HeapReAlloc(limited, 0, b, 401), nullptr);

  // A block given to the wrong heap is refused, not freed.
  SetLastError(0);
  EXPECT_FALSE(HeapFree(GetProcessHeap(), 0, a));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
  EXPECT_EQ(HeapSize(GetProcessHeap(), 0, a), static_cast<SIZE_T>(-1));
  EXPECT_TRUE(HeapFree(limited, 0, a));
  EXPECT_NE(HeapAlloc(limited, 0, 500), nullptr);

  // Destroying frees what is left (the leak checker of the sanitizer build sees to that).
  EXPECT_TRUE(HeapDestroy(limited));
  SetLastError(0);
  EXPECT_EQ(HeapAlloc(limited, 0, 8), nullptr);
  EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
  EXPECT_FALSE(HeapDestroy(limited));
  EXPECT_FALSE(HeapDestroy(GetProcessHeap()));
}

TEST(Heap, ConcurrentUseOfOneHeap) {
  const HANDLE shared = HeapCreate(0, 0, 0);
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([shared, t] {
      std::vector<void*> blocks;
      for (int i = 0; i < 2000; ++i) {
        const HANDLE heap = (i % 2) ? shared : GetProcessHeap();
        void* p = HeapAlloc(heap, HEAP_ZERO_MEMORY, static_cast<SIZE_T>(1 + (i * 7 + t) % 100));
        ASSERT_NE(p, nullptr);
        if (i % 3 == 0) p = HeapReAlloc(heap, 0, p, 200);
        ASSERT_NE(p, nullptr);
        if (i % 2) blocks.push_back(p); else ASSERT_TRUE(HeapFree(heap, 0, p));
      }
      for (size_t i = 0; i < blocks.size(); i += 2) ASSERT_TRUE(HeapFree(shared, 0, blocks[i]));
    });
  }
  for (auto& thread : threads) thread.join();
  EXPECT_TRUE(HeapDestroy(shared));  // frees the blocks the threads left
}

}  // namespace
