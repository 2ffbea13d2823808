// The card canvas's hot operations: clearing the whole 580 × 385 panel over a tiled 800 × 600
// JPEG background, writing one 19-byte line, and taking the 580 × 385 snapshot.
#include <benchmark/benchmark.h>

#include <cstring>

#include <stdexcept>
#include <string>

#include "graphics/draw_panel/draw_panel.h"
#include "graphics/draw_panel/panel_font.h"
#include "graphics/snapshot/snapshot.h"
#include "platform/gdi/gdi.h"
#include "platform/user/message_queue.h"
#include "platform/user/window_core.h"
#include "tests/graphics/pictures/picture_writers.h"

namespace {

using quorlin::drawpanel::DrawPanel;
using quorlin::drawpanel::PanelProperties;

void Pump() {
  MSG msg;
  while (PeekMessageA(&msg, 0, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
}

// The card canvas as the main window has it, made once for all benchmarks.
DrawPanel& Card() {
  static DrawPanel* panel = [] {
    WNDCLASSA wc{};
    wc.lpfnWndProc = &DefWindowProcA;
    wc.lpszClassName = "DrawPanelBenchFrame";
    RegisterClassA(&wc);
    const HWND frame = CreateWindowExA(0, "DrawPanelBenchFrame", "", WS_POPUP | WS_VISIBLE, 0, 0, 580, 385, 0, 0, 0,
                                       nullptr);
    PanelProperties properties;
    properties.autoRedraw = true;
    properties.backPictureMode = 1;
    properties.textColor = 0xFFFFFF;
    properties.backPicture = quorlin::pictures::testing::WriteJpeg(quorlin::pictures::testing::TestImage(800, 600), 90);
    // The card's ID line: the face 黑体 (spelled in GBK), 16 points at 96 pixels per inch.
    LOGFONTA font = quorlin::drawpanel::FontRecordOf({});
    font.lfHeight = -21;
    std::memset(font.lfFaceName, 0, sizeof font.lfFaceName);
    std::memcpy(font.lfFaceName, "\xBA\xDA\xCC\xE5", 4);
    properties.font = quorlin::drawpanel::FontBytesOf(font);
    const HWND hwnd = DrawPanel::Create(properties, frame, 0, 0, 580, 385, WS_VISIBLE, 1);
    DrawPanel* made = DrawPanel::FromWindow(hwnd);
    if (!made) throw std::runtime_error("no panel");
    Pump();
    made->Clear();  // decodes the background once
    return made;
  }();
  return *panel;
}

void BM_ClearTiledJpegBackground(benchmark::State& state) {
  DrawPanel& panel = Card();
  for (auto _ : state) panel.Clear();
}
BENCHMARK(BM_ClearTiledJpegBackground)->Unit(benchmark::kMicrosecond);

void BM_WriteText19Bytes(benchmark::State& state) {
  DrawPanel& panel = Card();
  const std::vector<quorlin::drawpanel::PanelText> line{std::string("member_id_123456...")};
  for (auto _ : state) {
    panel.SetWritePosition(199, 265);
    panel.WriteText(line);
  }
}
BENCHMARK(BM_WriteText19Bytes)->Unit(benchmark::kMicrosecond);

void BM_Snapshot580x385(benchmark::State& state) {
  DrawPanel& panel = Card();
  for (auto _ : state) {
    std::vector<uint8_t> bmp = quorlin::snapshot::Snapshot(panel.Window(), 580, 385);
    if (bmp.size() != 54 + 385 * 1740) state.SkipWithError("wrong size");
    benchmark::DoNotOptimize(bmp.data());
  }
}
BENCHMARK(BM_Snapshot580x385)->Unit(benchmark::kMicrosecond);

}  // namespace
