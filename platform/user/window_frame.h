// Inside the window layer: the non-client frame's parts, its hit test and its drawing.
#pragma once

#include "platform/base/win_types.h"

inline constexpr LRESULT HTERROR = -2;
inline constexpr LRESULT HTTRANSPARENT = -1;
inline constexpr LRESULT HTNOWHERE = 0;
inline constexpr LRESULT HTCLIENT = 1;
inline constexpr LRESULT HTCAPTION = 2;
inline constexpr LRESULT HTSYSMENU = 3;
inline constexpr LRESULT HTMINBUTTON = 8;
inline constexpr LRESULT HTMAXBUTTON = 9;
inline constexpr LRESULT HTBORDER = 18;
inline constexpr LRESULT HTCLOSE = 20;

namespace quorlin::platform {

// Which part of the window a screen point is over (WM_NCHITTEST's answer).
LRESULT FrameHitTest(HWND hwnd, POINT screen);
// Draws the frame (border, edges, caption with title, minimize, maximize and close boxes) with
// a window DC.
void DrawWindowFrame(HWND hwnd);

}  // namespace quorlin::platform
