#include "graphics/draw_panel/unit/draw_panel_commands.h"

#include <cmath>
#include <cstring>
#include <optional>
#include <vector>

#include "graphics/draw_panel/draw_panel.h"
#include "graphics/pictures/picture_registry.h"
#include "runtime/commands/value_text.h"
#include "runtime/forms/units/unit_type.h"
#include "runtime/kernel/blocks.h"
#include "runtime/kernel/command.h"
#include "runtime/kernel/host_service.h"
#include "runtime/kernel/library_host.h"

namespace quorlin::drawpanel {
namespace {

// The live panel a control reference names; the kernel ends the program when it names no
// live unit. Null for a live unit that is not a panel.
DrawPanel* PanelOf(const TypedValue& reference) {
  auto* unit = reinterpret_cast<forms::Unit*>(
      LibraryHost::Call(HostCode::FindLiveObjectOrFail, reference.low, reference.high));
  return unit ? DrawPanel::FromWindow(unit->Window()) : nullptr;
}

// A numeric argument as an integer (fractions truncated), nullopt when omitted.
std::optional<int32_t> IntegerArgument(const TypedValue& value) {
  switch (value.tag) {
    case Tag::None: return std::nullopt;
    case Tag::Byte: return static_cast<int32_t>(value.low & 0xFF);
    case Tag::Short: return static_cast<int32_t>(static_cast<int16_t>(value.low));
    case Tag::Long: return static_cast<int32_t>(static_cast<int64_t>(Value64(value)));
    case Tag::Float:
    case Tag::Double: {
      const double d = value.tag == Tag::Float ? FloatOf(value) : DoubleOf(value);
      if (!std::isfinite(d) || d >= 2147483648.0 || d < -2147483648.0) return 0;
      return static_cast<int32_t>(std::trunc(d));
    }
    default: return IntegerOf(value);
  }
}

int32_t Integer(int32_t argCount, const TypedValue* args, int32_t i) {
  return IntegerArgument(ArgumentAt(argCount, args, i)).value_or(0);
}

Optional OptionalInteger(int32_t argCount, const TypedValue* args, int32_t i) {
  return IntegerArgument(ArgumentAt(argCount, args, i));
}

// A value for the WriteText family: texts unchanged, numbers, booleans and date-times as
// ToText makes them, an omitted value empty; other types (byte sets …) skipped.
PanelText TextOfValue(const TypedValue& value) {
  if (value.tag == Tag::None) return std::string();
  if (value.tag == Tag::Text) return std::string(TextView(PointerOf<const char>(value)));
  if (IsNumericTag(value.tag) || value.tag == Tag::Boolean || value.tag == Tag::DateTime) {
    return commands::detail::ScalarText(value);
  }
  return std::nullopt;
}

std::vector<PanelText> TextsFrom(int32_t argCount, const TypedValue* args, int32_t first) {
  std::vector<PanelText> values;
  for (int32_t i = first; i < argCount; ++i) values.push_back(TextOfValue(args[i]));
  return values;
}

// Runs `operation` on the panel named by the first argument.
template <class Operation>
void OnPanel(int32_t argCount, TypedValue* args, Operation operation) {
  if (DrawPanel* panel = PanelOf(ArgumentAt(argCount, args, 0))) operation(*panel);
}

}  // namespace

void ClearCommand(TypedValue*, int32_t n, TypedValue* a) {
  OnPanel(n, a, [&](DrawPanel& p) {
    p.Clear(OptionalInteger(n, a, 1), OptionalInteger(n, a, 2), OptionalInteger(n, a, 3), OptionalInteger(n, a, 4));
  });
}

void SetWritePositionCommand(TypedValue*, int32_t n, TypedValue* a) {
  OnPanel(n, a, [&](DrawPanel& p) { p.SetWritePosition(OptionalInteger(n, a, 1), OptionalInteger(n, a, 2)); });
}

void WriteTextCommand(TypedValue*, int32_t n, TypedValue* a) {
  OnPanel(n, a, [&](DrawPanel& p) { p.WriteText(TextsFrom(n, a, 1)); });
}

void WriteTextAtCommand(TypedValue*, int32_t n, TypedValue* a) {
  OnPanel(n, a, [&](DrawPanel& p) {
    p.WriteTextAt(OptionalInteger(n, a, 1), OptionalInteger(n, a, 2), TextsFrom(n, a, 3));
  });
}

void WriteTextLineCommand(TypedValue*, int32_t n, TypedValue* a) {
  OnPanel(n, a, [&](DrawPanel& p) { p.WriteTextLine(TextsFrom(n, a, 1)); });
}

void ScrollWriteTextLineCommand(TypedValue*, int32_t n, TypedValue* a) {
  OnPanel(n, a, [&](DrawPanel& p) { p.ScrollWriteTextLine(TextsFrom(n, a, 1)); });
}

void CopyAreaCommand(TypedValue*, int32_t n, TypedValue* a) {
  OnPanel(n, a, [&](DrawPanel& p) {
    const TypedValue& targetReference = ArgumentAt(n, a, 5);
    DrawPanel* target = &p;
    if (!IsOmitted(targetReference)) {
      target = PanelOf(targetReference);
      if (!target) return;
    }
    p.CopyArea(OptionalInteger(n, a, 1), OptionalInteger(n, a, 2), OptionalInteger(n, a, 3), OptionalInteger(n, a, 4),
               target, OptionalInteger(n, a, 6), OptionalInteger(n, a, 7), OptionalInteger(n, a, 8));
  });
}

void DrawPictureCommand(TypedValue*, int32_t n, TypedValue* a) {
  OnPanel(n, a, [&](DrawPanel& p) {
    const auto value = static_cast<pictures::PictureValue>(Value64(ArgumentAt(n, a, 1)));
    pictures::WithRegisteredPicture(value, [&](const pictures::DecodedPicture& picture) {
      p.DrawPicture(&picture, Integer(n, a, 2), Integer(n, a, 3), OptionalInteger(n, a, 4), OptionalInteger(n, a, 5),
                    OptionalInteger(n, a, 6));
    });
  });
}

void DrawPointCommand(TypedValue*, int32_t n, TypedValue* a) {
  OnPanel(n, a, [&](DrawPanel& p) {
    p.DrawPoint(Integer(n, a, 1), Integer(n, a, 2), static_cast<COLORREF>(Integer(n, a, 3)));
  });
}

void DrawLineCommand(TypedValue*, int32_t n, TypedValue* a) {
  OnPanel(n, a, [&](DrawPanel& p) { p.DrawLine(Integer(n, a, 1), Integer(n, a, 2), Integer(n, a, 3), Integer(n, a, 4)); });
}

void DrawEllipseCommand(TypedValue*, int32_t n, TypedValue* a) {
  OnPanel(n, a,
          [&](DrawPanel& p) { p.DrawEllipse(Integer(n, a, 1), Integer(n, a, 2), Integer(n, a, 3), Integer(n, a, 4)); });
}

void DrawArcCommand(TypedValue*, int32_t n, TypedValue* a) {
  OnPanel(n, a, [&](DrawPanel& p) {
    p.DrawArc(Integer(n, a, 1), Integer(n, a, 2), Integer(n, a, 3), Integer(n, a, 4), Integer(n, a, 5),
              Integer(n, a, 6), Integer(n, a, 7), Integer(n, a, 8));
  });
}

void DrawChordCommand(TypedValue*, int32_t n, TypedValue* a) {
  OnPanel(n, a, [&](DrawPanel& p) {
    p.DrawChord(Integer(n, a, 1), Integer(n, a, 2), Integer(n, a, 3), Integer(n, a, 4), Integer(n, a, 5),
                Integer(n, a, 6), Integer(n, a, 7), Integer(n, a, 8));
  });
}

void DrawPieCommand(TypedValue*, int32_t n, TypedValue* a) {
  OnPanel(n, a, [&](DrawPanel& p) {
    p.DrawPie(Integer(n, a, 1), Integer(n, a, 2), Integer(n, a, 3), Integer(n, a, 4), Integer(n, a, 5),
              Integer(n, a, 6), Integer(n, a, 7), Integer(n, a, 8));
  });
}

void DrawRectangleCommand(TypedValue*, int32_t n, TypedValue* a) {
  OnPanel(n, a,
          [&](DrawPanel& p) { p.DrawRectangle(Integer(n, a, 1), Integer(n, a, 2), Integer(n, a, 3), Integer(n, a, 4)); });
}

void FillRectangleCommand(TypedValue*, int32_t n, TypedValue* a) {
  OnPanel(n, a,
          [&](DrawPanel& p) { p.FillRectangle(Integer(n, a, 1), Integer(n, a, 2), Integer(n, a, 3), Integer(n, a, 4)); });
}

void DrawRoundRectangleCommand(TypedValue*, int32_t n, TypedValue* a) {
  OnPanel(n, a, [&](DrawPanel& p) {
    p.DrawRoundRectangle(Integer(n, a, 1), Integer(n, a, 2), Integer(n, a, 3), Integer(n, a, 4), Integer(n, a, 5),
                         OptionalInteger(n, a, 6));
  });
}

void InvertRectangleCommand(TypedValue*, int32_t n, TypedValue* a) {
  OnPanel(n, a, [&](DrawPanel& p) {
    p.InvertRectangle(Integer(n, a, 1), Integer(n, a, 2), Integer(n, a, 3), Integer(n, a, 4));
  });
}

void DrawPolygonCommand(TypedValue*, int32_t n, TypedValue* a) {
  OnPanel(n, a, [&](DrawPanel& p) {
    const TypedValue& array = ArgumentAt(n, a, 1);
    if (array.tag != (Tag::Integer | Tag::ArrayFlag)) return;
    const ArrayShape shape = ReadArrayShape(PointerOf<const void>(array));
    std::vector<int32_t> points(shape.elementCount);
    if (!points.empty()) std::memcpy(points.data(), shape.elements, points.size() * sizeof(int32_t));
    p.DrawPolygon(points, OptionalInteger(n, a, 2));
  });
}

void FillGradientCommand(TypedValue*, int32_t n, TypedValue* a) {
  OnPanel(n, a, [&](DrawPanel& p) {
    std::vector<COLORREF> colours;
    for (int32_t i = 6; i < n; ++i) {
      if (const Optional colour = IntegerArgument(a[i])) colours.push_back(static_cast<COLORREF>(*colour));
    }
    p.FillGradient(Integer(n, a, 1), Integer(n, a, 2), Integer(n, a, 3), Integer(n, a, 4), OptionalInteger(n, a, 5),
                   colours);
  });
}

}  // namespace quorlin::drawpanel
