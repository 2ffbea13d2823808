#include "platform/startup/platform_pieces.h"

#include "platform/base/builtin_exports.h"
#include "platform/com/builtin_exports.h"
#include "platform/com/xmlhttp/xmlhttp.h"
#include "platform/gdi/builtin_exports.h"
#include "platform/gdi/font_engine.h"
#include "platform/shell/builtin_exports.h"
#include "platform/user/builtin_exports.h"
#include "platform/user/control_classes.h"

namespace quorlin::platform {

void RegisterPlatformPieces() {
  // Every program draws text: the font configuration loads while the rest starts.
  gdi::PrepareFontsInBackground();
  RegisterBaseExports();
  RegisterGdiExports();
  RegisterUserExports();
  RegisterControlClasses();
  RegisterComExports();
  RegisterXmlHttpClasses();
  RegisterShellExports();
}

}  // namespace quorlin::platform
