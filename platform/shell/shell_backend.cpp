#include "platform/shell/shell_backend.h"

#include <atomic>

#include "platform/shell/headless_shell.h"

namespace quorlin::platform {
namespace {

std::atomic<ShellBackend*> g_backend{nullptr};

}  // namespace

ShellBackend& CurrentShellBackend() {
  ShellBackend* backend = g_backend.load();
  return backend ? *backend : TheHeadlessShell();
}

ShellBackend* SetShellBackend(ShellBackend* backend) {
  ShellBackend* previous = g_backend.exchange(backend);
  return previous ? previous : &TheHeadlessShell();
}

}  // namespace quorlin::platform
