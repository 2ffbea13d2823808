// Registration of the drawing layer's exports: gdi32, and the icon and system-colour
// functions of user32, MulDiv of kernel32.
#include "platform/gdi/builtin_exports.h"

#include <mutex>

#include "platform/base/dll_modules.h"
#include "platform/gdi/gdi.h"
#include "platform/gdi/icon.h"
#include "platform/gdi/sys_colors.h"

namespace quorlin::platform {

void RegisterGdiExports() {
  static std::once_flag once;
  std::call_once(once, [] {
    static const BuiltinExport gdi32[] = {
        MakeExport<&::CreateCompatibleDC>("CreateCompatibleDC"),
        MakeExport<&::DeleteDC>("DeleteDC"),
        MakeExport<&::RestoreDC>("RestoreDC"),
        MakeExport<&::SelectObject>("SelectObject"),
        MakeExport<&::DeleteObject>("DeleteObject"),
        MakeExport<&::GetStockObject>("GetStockObject"),
        MakeExport<&::GetCurrentObject>("GetCurrentObject"),
        MakeExport<&::GetObjectType>("GetObjectType"),
        MakeExport<&::CreateCompatibleBitmap>("CreateCompatibleBitmap"),
        MakeExport<&::CreateBitmap>("CreateBitmap"),
        MakeExport<&::CreateDIBitmap>("CreateDIBitmap"),
        MakeExport<&::BitBlt>("BitBlt"),
        MakeExport<&::StretchBlt>("StretchBlt"),
        MakeExport<&::PatBlt>("PatBlt"),
        MakeExport<&::SetWindowExtEx>("SetWindowExtEx"),
        MakeExport<&::SetViewportExtEx>("SetViewportExtEx"),
        MakeExport<&::SetWindowOrgEx>("SetWindowOrgEx"),
        MakeExport<&::SetViewportOrgEx>("SetViewportOrgEx"),
        MakeExport<&::GetWindowExtEx>("GetWindowExtEx"),
        MakeExport<&::GetViewportExtEx>("GetViewportExtEx"),
        MakeExport<&::GetWindowOrgEx>("GetWindowOrgEx"),
        MakeExport<&::GetViewportOrgEx>("GetViewportOrgEx"),
        MakeExport<&::LPtoDP>("LPtoDP"),
        MakeExport<&::DPtoLP>("DPtoLP"),
        MakeExport<&::CreatePen>("CreatePen"),
        MakeExport<&::CreatePenIndirect>("CreatePenIndirect"),
        MakeExport<&::CreateSolidBrush>("CreateSolidBrush"),
        MakeExport<&::CreateHatchBrush>("CreateHatchBrush"),
        MakeExport<&::CreatePatternBrush>("CreatePatternBrush"),
        MakeExport<&::CreateBrushIndirect>("CreateBrushIndirect"),
        MakeExport<&::SetTextColor>("SetTextColor"),
        MakeExport<&::GetTextColor>("GetTextColor"),
        MakeExport<&::SetBkColor>("SetBkColor"),
        MakeExport<&::GetBkColor>("GetBkColor"),
        MakeExport<&::SetBrushOrgEx>("SetBrushOrgEx"),
        MakeExport<&::MoveToEx>("MoveToEx"),
        MakeExport<&::GetCurrentPositionEx>("GetCurrentPositionEx"),
        MakeExport<&::LineTo>("LineTo"),
        MakeExport<&::Polyline>("Polyline"),
        MakeExport<&::Polygon>("Polygon"),
        MakeExport<&::Rectangle>("Rectangle"),
        MakeExport<&::Ellipse>("Ellipse"),
        MakeExport<&::RoundRect>("RoundRect"),
        MakeExport<&::Arc>("Arc"),
        MakeExport<&::Chord>("Chord"),
        MakeExport<&::Pie>("Pie"),
        MakeExport<&::InvertRect>("InvertRect"),
        MakeExport<&::SetPixel>("SetPixel"),
        MakeExport<&::GetPixel>("GetPixel"),
        MakeExport<&::CreateRectRgn>("CreateRectRgn"),
        MakeExport<&::CreateRectRgnIndirect>("CreateRectRgnIndirect"),
        MakeExport<&::SetRectRgn>("SetRectRgn"),
        MakeExport<&::PtInRegion>("PtInRegion"),
        MakeExport<&::EqualRgn>("EqualRgn"),
        MakeExport<&::FillRgn>("FillRgn"),
        MakeExport<&::CreatePalette>("CreatePalette"),
        MakeExport<&::SelectPalette>("SelectPalette"),
        MakeExport<&::RealizePalette>("RealizePalette"),
        MakeExport<&::GetPaletteEntries>("GetPaletteEntries"),
        MakeExport<&::GetSystemPaletteEntries>("GetSystemPaletteEntries"),
        MakeExport<&::GetNearestColor>("GetNearestColor"),
        MakeExport<&::CreateFontIndirectA>("CreateFontIndirectA"),
        MakeExport<&::CreateFontIndirectW>("CreateFontIndirectW"),
        MakeExport<&::CreateFontA>("CreateFontA"),
        MakeExport<&::TextOutA>("TextOutA"),
        MakeExport<&::TextOutW>("TextOutW"),
        MakeExport<&::GetTextExtentPoint32A>("GetTextExtentPoint32A"),
        MakeExport<&::GetTextExtentPoint32W>("GetTextExtentPoint32W"),
        MakeExport<&::GetTextMetricsA>("GetTextMetricsA"),
        MakeExport<&::SetTextAlign>("SetTextAlign"),
        MakeExport<&::GetTextAlign>("GetTextAlign"),
    };
    static const BuiltinExport user32[] = {
        MakeExport<&::CreateIconFromResourceEx>("CreateIconFromResourceEx"),
        MakeExport<&::CreateIconFromResource>("CreateIconFromResource"),
        MakeExport<&::CreateIconIndirect>("CreateIconIndirect"),
        MakeExport<&::GetIconInfo>("GetIconInfo"),
        MakeExport<&::DrawIconEx>("DrawIconEx"),
        MakeExport<&::DrawIcon>("DrawIcon"),
        MakeExport<&::DestroyIcon>("DestroyIcon"),
        MakeExport<&::GetSysColor>("GetSysColor"),
        MakeExport<&::GetSysColorBrush>("GetSysColorBrush"),
    };
    static const BuiltinExport kernel32[] = {
        MakeExport<&::MulDiv>("MulDiv"),
    };
    RegisterBuiltinExports("gdi32", gdi32);
    RegisterBuiltinExports("user32", user32);
    RegisterBuiltinExports("kernel32", kernel32);
  });
}

}  // namespace quorlin::platform
