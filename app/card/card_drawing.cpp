#include "app/card/card_drawing.h"

#include "app/card/card_layout.h"
#include "app/forms/unit_ids.h"
#include "app/settings/property_numbers.h"
#include "app/settings/settings_texts.h"
#include "graphics/draw_panel/unit/draw_panel_commands.h"
#include "graphics/snapshot/snapshot_command.h"
#include "runtime/commands/text_commands.h"
#include "runtime/forms/layer/forms_runtime.h"

namespace quorlin::app {
namespace {

// The small card: the square of the canvas at (150, 50), copied onto 画板1.
constexpr int32_t kSmallCardSourceX = 150;
constexpr int32_t kSmallCardSourceY = 50;
constexpr int32_t kSmallCardSize = 300;
constexpr int32_t kPlainCopy = 1;

void SetFontFace(const char* face) {
  WriteTextProperty(units::Canvas, property::kPanelFont, face, property::kFontFace);
}
void SetFontSize(int32_t points) {
  WriteIntegerProperty(units::Canvas, property::kPanelFont, points, property::kFontSize);
}
void SetFontBold(bool bold) { WriteBooleanProperty(units::Canvas, property::kPanelFont, bold, property::kFontBold); }

void WriteLine(const char* text, int32_t x, int32_t y) {
  CallCore(&drawpanel::SetWritePositionCommand, {units::Canvas.Value(), MakeInteger(x), MakeInteger(y)});
  CallCore(&drawpanel::WriteTextCommand, {units::Canvas.Value(), MakeText(text)});
}

}  // namespace

void DrawCardTexts(const char* id, const char* age, const char* fontFace) {
  // The ID line: bold is left as it is (the panel's font is never bold).
  if (TextLength(fontFace) == 0) {
    SetFontFace(texts::kHeiTi);
    SetFontBold(false);
  } else {
    SetFontFace(fontFace);
  }
  SetFontSize(kIdLinePoints);
  const OwnedText shownId = ShownIdText(id);
  WriteLine(shownId.get(), IdLineX(TextLength(shownId.get())), kIdLineY);

  // The age line takes the face unchanged; the panel replaces an empty one by "宋体".
  SetFontFace(fontFace);
  SetFontBold(false);
  SetFontSize(kAgeLinePoints);
  const OwnedText ageLine = AgeLineText(age);
  WriteLine(ageLine.get(), AgeLineX(TextLength(ageLine.get())), kAgeLineY);
}

OwnedBytes TakeCardPicture(int32_t smallCard) {
  if (smallCard == 1) {
    CallCore(&drawpanel::CopyAreaCommand,
             {units::Canvas.Value(), MakeInteger(kSmallCardSourceX), MakeInteger(kSmallCardSourceY),
              MakeInteger(kSmallCardSize), MakeInteger(kSmallCardSize), units::SmallCardPanel.Value(), MakeInteger(0),
              MakeInteger(0), MakeInteger(kPlainCopy)});
    return CallCoreBytes(&snapshot::SnapshotCommand, {MakeInteger(WindowHandleOf(units::SmallCardPanel))});
  }
  const int32_t handle = WindowHandleOf(units::Canvas);
  const int32_t width = ReadIntegerProperty(units::Canvas, property::kWidth);
  const int32_t height = ReadIntegerProperty(units::Canvas, property::kHeight);
  return CallCoreBytes(&snapshot::SnapshotCommand, {MakeInteger(handle), MakeInteger(width), MakeInteger(height)});
}

}  // namespace quorlin::app
