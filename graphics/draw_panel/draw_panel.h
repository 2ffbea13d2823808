// DrawPanel ("画板"): a child window that paints a background (a colour, optionally a picture
// placed, tiled or fitted), carries a drawing state (pen, brush, text colours, font, mix mode,
// drawing unit), keeps an optional off-screen image of everything drawn on it (`AutoRedraw`)
// and offers the drawing operations.
//
//   HWND hwnd = DrawPanel::Create(properties, parent, 0, 0, 580, 385, WS_VISIBLE, id);
//   DrawPanel* panel = DrawPanel::FromWindow(hwnd);
//   panel->Clear();
//   panel->SetWritePosition(204, 265);
//   const std::vector<PanelText> line{PanelText("ID")};
//   panel->WriteText(line);
//
// Every drawing operation lands on the off-screen image (while there is one) and on the window.
// Coordinates are in the panel's drawing unit except where a comment says pixels. The panel
// belongs to its window and is deleted with it. Events (number 0: paint, with the invalid
// rectangle's left, top, right and bottom) go to the sink set with SetEventSink.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "graphics/draw_panel/panel_properties.h"
#include "graphics/pictures/decoded_picture.h"
#include "graphics/pictures/drawable_picture.h"
#include "platform/base/win_types.h"

namespace quorlin::drawpanel {

inline constexpr const char* kDrawPanelClassName = "QuorlinDrawPanel";
inline constexpr int kPaintEvent = 0;

// One value for the WriteText family, already turned into text; nullopt is a value of a type
// that is not written (a byte set, for instance) and is skipped.
using PanelText = std::optional<std::string>;
using Optional = std::optional<int32_t>;

class DrawPanel;
using PanelEventSink = std::function<void(DrawPanel& panel, int eventNumber, std::span<const int32_t> arguments)>;

class DrawPanel {
 public:
  // Creates the panel's child window (style: `style` | WS_CHILD | WS_CLIPSIBLINGS) and applies
  // the border style; 0 on failure. Out-of-range values in `properties` are clamped.
  static HWND Create(const PanelProperties& properties, HWND parent, int x, int y, int width, int height,
                     DWORD style, int id);
  // The panel of a window of the panel class, else null.
  static DrawPanel* FromWindow(HWND hwnd);

  HWND Window() const { return hwnd_; }
  void SetEventSink(PanelEventSink sink) { sink_ = std::move(sink); }

  // --- properties (indices 8..24) ---
  static bool IsBytesProperty(PanelProperty property);
  int32_t ReadInteger(PanelProperty property) const;
  std::vector<uint8_t> ReadBytes(PanelProperty property) const;
  void WriteInteger(PanelProperty property, int32_t value);
  void WriteBytes(PanelProperty property, std::span<const uint8_t> bytes);
  const PanelProperties& Properties() const { return props_; }

  // The write position, in client pixels.
  POINT WritePosition() const { return writePosition_; }
  bool HasOffscreenImage() const { return imageDC_ != 0; }
  // The off-screen image's device context (0 without AutoRedraw); for copying from it.
  HDC OffscreenImageDC() const { return imageDC_; }

  // --- operations ---
  // Pixels, whatever the drawing unit; all omitted: the whole client area.
  void Clear(Optional left = {}, Optional top = {}, Optional width = {}, Optional height = {});
  void SetWritePosition(Optional x, Optional y);
  void WriteText(std::span<const PanelText> values);
  void WriteTextAt(Optional x, Optional y, std::span<const PanelText> values);
  void WriteTextLine(std::span<const PanelText> values);
  void ScrollWriteTextLine(std::span<const PanelText> values);
  // target null: this panel. Raster mode 1 copy, 2 inverted copy, 3 XOR, 4 OR, 5 AND, any
  // other value a ternary raster operation.
  void CopyArea(Optional sourceX = {}, Optional sourceY = {}, Optional width = {}, Optional height = {},
                DrawPanel* target = nullptr, Optional targetX = {}, Optional targetY = {}, Optional rasterMode = {});

  void DrawPoint(int x, int y, COLORREF colour);
  void DrawLine(int x1, int y1, int x2, int y2);
  void DrawEllipse(int left, int top, int right, int bottom);
  void DrawArc(int left, int top, int right, int bottom, int startX, int startY, int endX, int endY);
  void DrawChord(int left, int top, int right, int bottom, int startX, int startY, int endX, int endY);
  void DrawPie(int left, int top, int right, int bottom, int startX, int startY, int endX, int endY);
  void DrawRectangle(int left, int top, int right, int bottom);
  void FillRectangle(int left, int top, int right, int bottom);
  void DrawRoundRectangle(int left, int top, int right, int bottom, int cornerWidth, Optional cornerHeight = {});
  void InvertRectangle(int left, int top, int right, int bottom);
  // points: x, y pairs; count: at most the pairs given.
  void DrawPolygon(std::span<const int32_t> points, Optional count = {});
  // picture null (not a registered picture): nothing. Raster mode as CopyArea's; −c draws
  // with colour c transparent.
  void DrawPicture(const pictures::DecodedPicture* picture, int x, int y, Optional width = {}, Optional height = {},
                   Optional rasterMode = {});
  // direction 1..8 (default 2): 1 left to right, 2 top to bottom, 3 right to left, 4 bottom
  // to top, 5 top-left to bottom-right, 6 bottom-right to top-left, 7 top-right to
  // bottom-left, 8 bottom-left to top-right. Colours are spread evenly along it.
  void FillGradient(int x, int y, int width, int height, Optional direction, std::span<const COLORREF> colours);

  DrawPanel(const DrawPanel&) = delete;
  DrawPanel& operator=(const DrawPanel&) = delete;

 private:
  enum class Use { Figure, Text };
  enum class TextMode { Write, WriteAt, Line, ScrollLine };
  struct DrawablePictureCache;

  DrawPanel(HWND hwnd, const PanelProperties& properties);
  ~DrawPanel();
  static LRESULT WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
  void Paint();
  void Resized();

  // drawing state
  void RebuildPen();
  void RebuildBrush();
  void RebuildFont();
  void ApplyBorder();
  COLORREF EffectiveBackColor() const;
  void ApplyDrawingUnit(HDC dc) const;
  void PrepareTarget(HDC dc, Use use) const;
  static void RestoreTarget(HDC dc);
  // Runs `draw` on the off-screen image, then on the window, each prepared for `use`.
  void DrawOnTargets(Use use, const std::function<void(HDC dc, bool window)>& draw);
  // A device context of the window: the paint target inside the paint event, else a new one.
  HDC AcquireWindowDC() const;
  void ReleaseWindowDC(HDC dc) const;
  POINT ToPixels(POINT logical) const;
  RECT ClientRect() const;

  // background and off-screen image
  bool EnsureDecodedPicture();
  SIZE PictureShown(int width, int height) const;
  const pictures::DrawablePicture* DrawableFor(HDC dc, COLORREF background);
  void FillBackground(HDC dc, const RECT& rect);
  void RebuildImage(bool keepDrawing);
  void RefillImage(bool keepDrawing);
  void DiscardImage();
  void DropPicture();

  void WriteValues(TextMode mode, Optional x, Optional y, std::span<const PanelText> values);
  void ScrollForLine(HDC dc, POINT& point, int lineHeight);

  HWND hwnd_;
  PanelProperties props_;
  PanelEventSink sink_;
  std::unique_ptr<pictures::DecodedPicture> picture_;
  std::unique_ptr<DrawablePictureCache> drawable_;
  POINT writePosition_{0, 0};
  HPEN pen_ = 0;
  HBRUSH brush_ = 0;
  HFONT font_ = 0;
  HDC imageDC_ = 0;
  HBITMAP image_ = 0;
  HGDIOBJ imageOldBitmap_ = 0;
  SIZE imageSize_{0, 0};
  HDC paintTarget_ = 0;
  RECT invalidRect_{0, 0, 0, 0};
  int eventDepth_ = 0;
  bool destroyed_ = false;
};

}  // namespace quorlin::drawpanel
