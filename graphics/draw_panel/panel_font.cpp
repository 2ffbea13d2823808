#include "graphics/draw_panel/panel_font.h"

#include <cmath>
#include <cstdlib>
#include <cstring>

#include "platform/gdi/gdi.h"
#include "platform/user/screen_metrics.h"

namespace quorlin::drawpanel {
namespace {

// Logical units per inch of drawing units 1..5. Unit 1 uses 253.807… (1000 / 3.94) rather
// than 254, as the panel always has.
constexpr double kUnitsPerInch[6] = {0, 253.8071065989848, 2538.0710659898477, 100, 1000, 1440};

}  // namespace

LOGFONTA FontRecordOf(const std::vector<uint8_t>& fontBytes) {
  LOGFONTA record{};
  if (fontBytes.size() == kFontRecordSize) {
    std::memcpy(&record, fontBytes.data(), kFontRecordSize);
  } else {
    GetObjectA(GetStockObject(DEFAULT_GUI_FONT), sizeof record, &record);
  }
  record.lfFaceName[LF_FACESIZE - 1] = '\0';
  return record;
}

std::vector<uint8_t> FontBytesOf(const LOGFONTA& record) {
  std::vector<uint8_t> bytes(kFontRecordSize);
  std::memcpy(bytes.data(), &record, kFontRecordSize);
  return bytes;
}

LOGFONTA PanelFontRecord(const std::vector<uint8_t>& fontBytes, int drawingUnit, int dpi) {
  LOGFONTA record = FontRecordOf(fontBytes);
  if (drawingUnit >= 1 && drawingUnit <= 5 && dpi > 0) {
    const double height = std::fabs(static_cast<double>(record.lfHeight));
    record.lfHeight = -static_cast<LONG>(std::trunc(height / dpi * kUnitsPerInch[drawingUnit]));
  }
  record.lfCharSet = DEFAULT_CHARSET;
  record.lfOutPrecision = 0;
  record.lfClipPrecision = 0;
  record.lfQuality = 2;  // proof quality
  record.lfPitchAndFamily = 0;
  return record;
}

HFONT CreatePanelFont(const std::vector<uint8_t>& fontBytes, int drawingUnit) {
  const LOGFONTA record = PanelFontRecord(fontBytes, drawingUnit, platform::ScreenPixelsPerInchY());
  return CreateFontIndirectA(&record);
}

}  // namespace quorlin::drawpanel
