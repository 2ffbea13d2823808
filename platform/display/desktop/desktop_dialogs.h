// Inside the desktop display: the common dialogs and message boxes as native Qt dialogs. Each
// runs modally on Qt's thread while our own windows keep painting.
#pragma once

#include "platform/shell/shell_backend.h"

namespace quorlin::platform {

FileDialogAnswer RunFileDialog(const FileDialogRequest& request);
FontDialogAnswer RunFontDialog(const FontDialogRequest& request);
ColourDialogAnswer RunColourDialog(const ColourDialogRequest& request);
// A MessageBoxPresenter (message_box.h); on another thread than Qt's the presenter it replaced
// shows the box.
int PresentNativeMessageBox(HWND owner, LPCSTR text, LPCSTR caption, UINT type);
void InstallNativeMessageBoxes();

}  // namespace quorlin::platform
