#include <gtest/gtest.h>

#include <cstring>

#include "platform/base/heap.h"
#include "runtime/kernel/entry_table.h"
#include "runtime/kernel/host_service.h"
#include "runtime/kernel/runtime_kernel.h"
#include "tests/support/child_process.h"

namespace quorlin {
namespace {

alignas(8) const char kConstants[] = "constant text\0second";

class KernelMemory : public ::testing::Test {
 protected:
  void SetUp() override {
    Kernel().ResetForTests();
    Kernel().AddStaticRange(kConstants, sizeof kConstants);
  }
  void TearDown() override { Kernel().ResetForTests(); }
};

TEST_F(KernelMemory, FreeOfAConstantLeavesItAlone) {
  EntryTable().Free(const_cast<char*>(kConstants + 3));
  EntryTable().Free(nullptr);
  EXPECT_STREQ(kConstants, "constant text");
}

TEST_F(KernelMemory, ReallocateOfAConstantCopiesUpToTheRangeEnd) {
  char* constant = const_cast<char*>(kConstants + 14);  // "second" and the range's last bytes
  auto* copy = static_cast<char*>(EntryTable().Reallocate(constant, 64));
  ASSERT_NE(copy, constant);
  EXPECT_STREQ(copy, "second");
  EXPECT_STREQ(kConstants + 14, "second");
  EXPECT_FALSE(Kernel().InStaticRange(copy));
  EntryTable().Free(copy);
}

TEST_F(KernelMemory, ReallocateKeepsContentsAndNullMeansAllocate) {
  auto* block = static_cast<char*>(EntryTable().Reallocate(nullptr, 4));
  std::memcpy(block, "abc", 4);
  block = static_cast<char*>(EntryTable().Reallocate(block, 1 << 20));
  EXPECT_STREQ(block, "abc");
  EntryTable().Free(block);
}

TEST_F(KernelMemory, HostServiceAllocationMayAskForNullInsteadOfAnError) {
  platform::FailHeapAllocations(0);
  EXPECT_EQ(HostService(HostCode::Allocate, 100, 1), 0);
  platform::ResetHeapFailures();
  void* block = reinterpret_cast<void*>(HostService(HostCode::Allocate, 100, 1));
  EXPECT_NE(block, nullptr);
  HostService(HostCode::Free, reinterpret_cast<intptr_t>(block), 0);
}

TEST_F(KernelMemory, AllocationFailureShowsTheBoxAndEndsWithMinusOne) {
  const auto result = testing::RunInChild([] {
    platform::FailHeapAllocations(0);
    EntryTable().Allocate(1234);
  });
  ASSERT_TRUE(result.exited);
  EXPECT_EQ(result.exitStatus, 255);
  EXPECT_EQ(result.standardError,
            "msgbox 错误 | 运行时出错!\\r\\n\\r\\n错误信息：分配 1234 字节内存失败!\\r\\n\n");
}

TEST_F(KernelMemory, MakeArrayWritableCopiesOnlyConstantArrays) {
  alignas(8) static const uint8_t constantArray[] = {1, 0, 0, 0, 2, 0, 0, 0, 7, 0, 0, 0, 9, 0, 0, 0};
  Kernel().AddStaticRange(constantArray, sizeof constantArray);
  void* array = const_cast<uint8_t*>(constantArray);
  EXPECT_EQ(EntryTable().CallKernelRoutine(KernelRoutine::MakeArrayWritable, reinterpret_cast<intptr_t>(&array), 4, 0), 1);
  ASSERT_NE(array, constantArray);
  EXPECT_EQ(std::memcmp(array, constantArray, sizeof constantArray), 0);
  void* heapArray = array;
  EXPECT_EQ(EntryTable().CallKernelRoutine(KernelRoutine::MakeArrayWritable, reinterpret_cast<intptr_t>(&array), 4, 0), 0);
  EXPECT_EQ(array, heapArray);
  EntryTable().Free(array);
}

}  // namespace
}  // namespace quorlin
