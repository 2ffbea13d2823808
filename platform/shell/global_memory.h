// Global memory: movable blocks named by a handle, as the clipboard and drag and drop exchange them.
//
// Every block is reached through its handle with GlobalLock, GMEM_FIXED ones included (a handle
// is a 32-bit value here, never the block's address). The lock count is kept per block; a
// block's address does not change while it lives, locked or not. Thread safe.
#pragma once

#include "platform/base/win_types.h"

inline constexpr DWORD ERROR_NOT_LOCKED = 158;

inline constexpr UINT GMEM_FIXED = 0x0000;
inline constexpr UINT GMEM_MOVEABLE = 0x0002;
inline constexpr UINT GMEM_NOCOMPACT = 0x0010;
inline constexpr UINT GMEM_NODISCARD = 0x0020;
inline constexpr UINT GMEM_ZEROINIT = 0x0040;
inline constexpr UINT GMEM_MODIFY = 0x0080;
inline constexpr UINT GMEM_DISCARDABLE = 0x0100;
inline constexpr UINT GMEM_SHARE = 0x2000;
inline constexpr UINT GMEM_DDESHARE = 0x2000;
inline constexpr UINT GHND = GMEM_MOVEABLE | GMEM_ZEROINIT;
inline constexpr UINT GPTR = GMEM_FIXED | GMEM_ZEROINIT;
inline constexpr UINT GMEM_LOCKCOUNT = 0x00FF;
inline constexpr UINT GMEM_INVALID_HANDLE = 0x8000;

// Null (ERROR_NOT_ENOUGH_MEMORY) above 2 GiB. A block of 0 bytes is valid; locking it gives null.
HGLOBAL GlobalAlloc(UINT flags, SIZE_T bytes);
// Keeps the handle; the contents up to the smaller size stay, GMEM_ZEROINIT zeroes what grows.
// Fails (null) on a locked block, since its address would change.
HGLOBAL GlobalReAlloc(HGLOBAL memory, SIZE_T bytes, UINT flags);
// Null for a dead handle (ERROR_INVALID_HANDLE) or an empty block.
LPVOID GlobalLock(HGLOBAL memory);
// TRUE while the block stays locked; FALSE with ERROR_SUCCESS when the count reached 0,
// FALSE with ERROR_NOT_LOCKED when it was not locked.
BOOL GlobalUnlock(HGLOBAL memory);
// Null on success, the handle when it was not a live block.
HGLOBAL GlobalFree(HGLOBAL memory);
// 0 for a dead handle.
SIZE_T GlobalSize(HGLOBAL memory);
// The lock count in the low byte; GMEM_INVALID_HANDLE for a dead handle.
UINT GlobalFlags(HGLOBAL memory);
// The handle of a block from its locked address, or null.
HGLOBAL GlobalHandle(LPCVOID address);

namespace quorlin::platform {

// A new GMEM_MOVEABLE block holding a copy of the bytes; null when out of memory.
HGLOBAL GlobalFromBytes(const void* bytes, SIZE_T size);
// Whether the handle names a live block.
bool IsGlobalMemory(HGLOBAL memory);

}  // namespace quorlin::platform
