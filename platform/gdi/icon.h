// Icons made from resource images: a DIB with its XOR (colour) and AND (mask) parts, of 1, 4, 8,
// 24 or 32 bits per pixel (32 with alpha), or a PNG image. Data that is malformed in any way
// gives no icon.
#pragma once

#include "platform/gdi/gdi_types.h"

HICON CreateIconFromResourceEx(const BYTE* bits, DWORD size, BOOL isIcon, DWORD version, int desiredWidth,
                               int desiredHeight, UINT flags);
HICON CreateIconFromResource(const BYTE* bits, DWORD size, BOOL isIcon, DWORD version);
HICON CreateIconIndirect(const ICONINFO* info);
BOOL GetIconInfo(HICON icon, ICONINFO* info);
// Width and height 0 draw the icon at its own size (or the system icon size with DI_DEFAULTSIZE).
BOOL DrawIconEx(HDC hdc, int x, int y, HICON icon, int width, int height, UINT step, HBRUSH flickerFreeBrush,
                UINT flags);
BOOL DrawIcon(HDC hdc, int x, int y, HICON icon);
BOOL DestroyIcon(HICON icon);
