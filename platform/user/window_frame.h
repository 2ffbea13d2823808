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
// a window DC. A top-level window's frame with a caption is owed instead: its title is drawn in
// a bold face of its own, which nothing need load while nobody looks at the frame (a desktop
// shows its own frame, a headless run may never read the screen). The frame is drawn, exactly
// as it was asked for, before anything reaches its pixels: PaintOwedFrame and PaintOwedFrames.
void DrawWindowFrame(HWND hwnd);
// Draws the frame a top-level window owes, if any. Before a window DC of it is opened.
void PaintOwedFrame(HWND hwnd);
// Draws the frames owed by the shown top-level windows within area (screen coordinates).
// Before the screen's pixels are composed there.
void PaintOwedFrames(const RECT& area);

}  // namespace quorlin::platform
