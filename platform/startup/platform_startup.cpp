#include "platform/startup/platform_startup.h"

#include <mutex>

#include "platform/base/builtin_exports.h"
#include "platform/com/builtin_exports.h"
#include "platform/gdi/builtin_exports.h"
#include "platform/user/builtin_exports.h"
#include "platform/user/control_classes.h"

namespace quorlin::platform {

void StartPlatform() {
  static std::once_flag once;
  std::call_once(once, [] {
    RegisterBaseExports();
    RegisterGdiExports();
    RegisterUserExports();
    RegisterControlClasses();
    RegisterComExports();
  });
}

}  // namespace quorlin::platform
