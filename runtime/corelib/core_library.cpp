#include "runtime/corelib/core_library.h"

#include "runtime/kernel/library_host.h"

namespace quorlin {
namespace {

intptr_t CoreLibraryNotify(int32_t code, intptr_t p1, intptr_t p2) {
  if (code == NotifyCode::Attach) LibraryHost::Attach(reinterpret_cast<HostServiceEntry>(p1));
  return 0;
}

}  // namespace

const LibraryInfoBlock& CoreLibraryInfo() {
  static const LibraryInfoBlock block{
      .format = 1,
      .guidText = "{2D9BC2EB-17CA-4A4E-BF57-E46904964E74}",
      .majorVersion = 1,
      .minorVersion = 0,
      .displayName = "Quorlin core library",
      .dataTypeCount = 0,
      .dataTypes = nullptr,
      .notify = &CoreLibraryNotify,
  };
  return block;
}

}  // namespace quorlin
