#include "platform/startup/platform_startup.h"

#include <mutex>

#include "platform/base/builtin_exports.h"
#include "platform/com/builtin_exports.h"
#include "platform/com/xmlhttp/xmlhttp.h"
#include "platform/display/desktop_module.h"
#include "platform/gdi/builtin_exports.h"
#include "platform/gdi/font_engine.h"
#include "platform/shell/builtin_exports.h"
#include "platform/user/builtin_exports.h"
#include "platform/user/control_classes.h"

namespace quorlin::platform {

void StartPlatform() {
  static std::once_flag once;
  std::call_once(once, [] {
    // Every window draws text: the font configuration loads while the rest starts.
    gdi::PrepareFontsInBackground();
    RegisterBaseExports();
    RegisterGdiExports();
    RegisterUserExports();
    RegisterControlClasses();
    RegisterComExports();
    RegisterXmlHttpClasses();
    RegisterShellExports();
    // The display is chosen now, on the thread that will make the windows; with no display to
    // be had the process ends here with a line on standard error.
    RegisterDesktopModule();
    CurrentDisplay();
  });
}

}  // namespace quorlin::platform
