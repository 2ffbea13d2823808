// The screen's measures that text sizes in points depend on.
#pragma once

namespace quorlin::platform {

// The screen's logical pixels per inch vertically (a screen context's LOGPIXELSY); 96 when no
// screen context can be had.
int ScreenPixelsPerInchY();

}  // namespace quorlin::platform
