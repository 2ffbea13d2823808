#include "platform/base/handle_table.h"

#include <mutex>
#include <unordered_map>

namespace quorlin::platform {
namespace {

struct Entry {
  HandleKind kind;
  std::shared_ptr<HandleObject> object;
};

struct Table {
  std::mutex mutex;
  std::unordered_map<HANDLE, Entry> entries;
  HANDLE next = 0x1000;
};

Table& TheTable() {
  static Table* table = new Table;  // lives to process exit, past every static destructor
  return *table;
}

}  // namespace

HANDLE RegisterHandle(HandleKind kind, std::shared_ptr<HandleObject> object) {
  Table& t = TheTable();
  std::lock_guard lock(t.mutex);
  HANDLE h;
  do {
    h = t.next;
    t.next += 4;
    if (t.next < 0x1000 || t.next == INVALID_HANDLE_VALUE) t.next = 0x1000;
  } while (t.entries.count(h) != 0);
  t.entries.emplace(h, Entry{kind, std::move(object)});
  return h;
}

std::shared_ptr<HandleObject> LookupHandle(HANDLE handle, HandleKind kind) {
  Table& t = TheTable();
  std::lock_guard lock(t.mutex);
  auto it = t.entries.find(handle);
  if (it == t.entries.end() || it->second.kind != kind) return nullptr;
  return it->second.object;
}

std::optional<HandleKind> HandleKindOf(HANDLE handle) {
  Table& t = TheTable();
  std::lock_guard lock(t.mutex);
  auto it = t.entries.find(handle);
  if (it == t.entries.end()) return std::nullopt;
  return it->second.kind;
}

bool ReleaseHandle(HANDLE handle, HandleKind kind) {
  std::shared_ptr<HandleObject> dying;  // destroyed after the lock is left
  Table& t = TheTable();
  std::lock_guard lock(t.mutex);
  auto it = t.entries.find(handle);
  if (it == t.entries.end() || it->second.kind != kind) return false;
  dying = std::move(it->second.object);
  t.entries.erase(it);
  return true;
}

}  // namespace quorlin::platform
