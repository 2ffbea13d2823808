// Registration of the drawing layer's exports in the built-in modules gdi32, user32 (icons and
// system colours) and kernel32 (MulDiv).
#pragma once

namespace quorlin::platform {

// Safe to call more than once and from any thread.
void RegisterGdiExports();

}  // namespace quorlin::platform
