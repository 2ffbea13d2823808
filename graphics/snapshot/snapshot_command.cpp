#include "graphics/snapshot/snapshot_command.h"

#include "graphics/snapshot/snapshot.h"
#include "runtime/kernel/blocks.h"
#include "runtime/kernel/command.h"

namespace quorlin::snapshot {

void SnapshotCommand(TypedValue* result, int32_t argCount, TypedValue* args) {
  const std::vector<uint8_t> bmp =
      Snapshot(static_cast<HWND>(ArgumentAt(argCount, args, 0).low), IntegerOf(ArgumentAt(argCount, args, 1)),
               IntegerOf(ArgumentAt(argCount, args, 2)));
  *result = MakeByteSet(bmp.empty() ? nullptr : NewByteSet(bmp.data(), bmp.size()));
}

}  // namespace quorlin::snapshot
