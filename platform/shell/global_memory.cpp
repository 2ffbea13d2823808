#include "platform/shell/global_memory.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>

#include "platform/base/handle_table.h"
#include "platform/base/last_error.h"

namespace quorlin::platform {
namespace {

constexpr SIZE_T kMaxGlobalBlock = SIZE_T{1} << 31;

struct GlobalBlock : HandleObject {
  std::unique_ptr<BYTE[]> bytes;
  SIZE_T size = 0;
  UINT flags = 0;
  int locks = 0;  // guarded by BlockLock()
};

std::mutex& BlockLock() {
  static std::mutex* lock = new std::mutex;
  return *lock;
}

// Locked addresses back to their handles, for GlobalHandle. Guarded by BlockLock().
std::map<const BYTE*, HGLOBAL>& AddressIndex() {
  static auto* index = new std::map<const BYTE*, HGLOBAL>;
  return *index;
}

std::shared_ptr<GlobalBlock> Find(HGLOBAL memory) {
  auto block = LookupHandleAs<GlobalBlock>(memory, HandleKind::GlobalMemory);
  if (!block) SetLastError(ERROR_INVALID_HANDLE);
  return block;
}

std::unique_ptr<BYTE[]> AllocateBytes(SIZE_T size, bool zero) {
  if (size == 0) return nullptr;
  std::unique_ptr<BYTE[]> bytes(new (std::nothrow) BYTE[size]);
  if (bytes && zero) std::memset(bytes.get(), 0, size);
  return bytes;
}

}  // namespace

HGLOBAL GlobalFromBytes(const void* bytes, SIZE_T size) {
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, size);
  if (!memory || size == 0) return memory;
  void* target = GlobalLock(memory);
  std::memcpy(target, bytes, size);
  GlobalUnlock(memory);
  return memory;
}

bool IsGlobalMemory(HGLOBAL memory) { return LookupHandle(memory, HandleKind::GlobalMemory) != nullptr; }

}  // namespace quorlin::platform

using namespace quorlin::platform;

HGLOBAL GlobalAlloc(UINT flags, SIZE_T bytes) {
  if (bytes > kMaxGlobalBlock) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return 0;
  }
  auto block = std::make_shared<GlobalBlock>();
  block->bytes = AllocateBytes(bytes, (flags & GMEM_ZEROINIT) != 0);
  if (bytes > 0 && !block->bytes) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return 0;
  }
  block->size = bytes;
  block->flags = flags & ~GMEM_ZEROINIT;
  return RegisterHandle(HandleKind::GlobalMemory, std::move(block));
}

HGLOBAL GlobalReAlloc(HGLOBAL memory, SIZE_T bytes, UINT flags) {
  auto block = Find(memory);
  if (!block) return 0;
  std::lock_guard lock(BlockLock());
  if (flags & GMEM_MODIFY) {
    block->flags = (block->flags & ~GMEM_MOVEABLE) | (flags & GMEM_MOVEABLE);
    return memory;
  }
  if (block->locks > 0 || bytes > kMaxGlobalBlock) {
    SetLastError(block->locks > 0 ? ERROR_INVALID_PARAMETER : ERROR_NOT_ENOUGH_MEMORY);
    return 0;
  }
  auto grown = AllocateBytes(bytes, (flags & GMEM_ZEROINIT) != 0);
  if (bytes > 0 && !grown) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return 0;
  }
  if (grown && block->bytes) std::memcpy(grown.get(), block->bytes.get(), std::min(bytes, block->size));
  if (block->bytes) AddressIndex().erase(block->bytes.get());
  block->bytes = std::move(grown);
  block->size = bytes;
  return memory;
}

LPVOID GlobalLock(HGLOBAL memory) {
  auto block = Find(memory);
  if (!block) return nullptr;
  std::lock_guard lock(BlockLock());
  if (!block->bytes) return nullptr;
  if (block->locks < int{GMEM_LOCKCOUNT}) ++block->locks;
  AddressIndex()[block->bytes.get()] = memory;
  return block->bytes.get();
}

BOOL GlobalUnlock(HGLOBAL memory) {
  auto block = Find(memory);
  if (!block) return FALSE;
  std::lock_guard lock(BlockLock());
  if (block->locks == 0) {
    SetLastError(ERROR_NOT_LOCKED);
    return FALSE;
  }
  if (--block->locks > 0) return TRUE;
  SetLastError(ERROR_SUCCESS);
  return FALSE;
}

HGLOBAL GlobalFree(HGLOBAL memory) {
  auto block = Find(memory);
  if (!block) return memory;
  {
    std::lock_guard lock(BlockLock());
    if (block->bytes) AddressIndex().erase(block->bytes.get());
  }
  ReleaseHandle(memory, HandleKind::GlobalMemory);
  return 0;
}

SIZE_T GlobalSize(HGLOBAL memory) {
  auto block = Find(memory);
  return block ? block->size : 0;
}

UINT GlobalFlags(HGLOBAL memory) {
  auto block = Find(memory);
  if (!block) return GMEM_INVALID_HANDLE;
  std::lock_guard lock(BlockLock());
  return static_cast<UINT>(block->locks) & GMEM_LOCKCOUNT;
}

HGLOBAL GlobalHandle(LPCVOID address) {
  std::lock_guard lock(BlockLock());
  auto& index = AddressIndex();
  const auto found = index.find(static_cast<const BYTE*>(address));
  if (found == index.end()) {
    SetLastError(ERROR_INVALID_HANDLE);
    return 0;
  }
  if (!LookupHandle(found->second, HandleKind::GlobalMemory)) {
    index.erase(found);
    SetLastError(ERROR_INVALID_HANDLE);
    return 0;
  }
  return found->second;
}
