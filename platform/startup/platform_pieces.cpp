#include "platform/startup/platform_pieces.h"

#include "platform/base/builtin_exports.h"
#include "platform/com/builtin_exports.h"
#include "platform/com/xmlhttp/xmlhttp.h"
#include "platform/gdi/builtin_exports.h"
#include "platform/shell/builtin_exports.h"
#include "platform/user/builtin_exports.h"
#include "platform/user/control_classes.h"

namespace quorlin::platform {

void RegisterPlatformPieces() {
  RegisterBaseExports();
  RegisterGdiExports();
  RegisterUserExports();
  RegisterControlClasses();
  RegisterComExports();
  RegisterXmlHttpClasses();
  RegisterShellExports();
}

}  // namespace quorlin::platform
