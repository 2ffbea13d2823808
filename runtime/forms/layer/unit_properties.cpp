// ReadUnitProperty and WriteUnitProperty: the common properties 0 to 7 of every unit, the
// type-specific ones through the unit's type, value kinds, clamps, and font members.
#include <algorithm>
#include <cstring>

#include "platform/gdi/gdi.h"
#include "platform/user/painting.h"
#include "platform/user/screen_metrics.h"
#include "platform/user/window_core.h"
#include "platform/user/window_geometry.h"
#include "runtime/forms/layer/forms_layer_impl.h"
#include "runtime/forms/layer/forms_runtime.h"
#include "runtime/forms/layer/property_values.h"
#include "runtime/forms/template/template_ids.h"
#include "runtime/forms/units/unit_support.h"
#include "runtime/kernel/blocks.h"
#include "runtime/kernel/runtime_error.h"
#include "runtime/kernel/runtime_kernel.h"

namespace quorlin::forms {
namespace {

namespace Message {
constexpr const char* FormNotLoaded = "未载入欲访问窗口组件所在的窗口";
constexpr const char* WindowNotLoaded = "指定窗口尚未载入";
}  // namespace Message

namespace Common {
constexpr int32_t Left = 0, Top = 1, Width = 2, Height = 3, TagText = 4, Visible = 5, Disabled = 6, MousePointer = 7;
}

constexpr int32_t kPositionLimit = 32627;

uint64_t PointerWord(const void* p) { return reinterpret_cast<uintptr_t>(p); }
const void* PointerOfWords(uint32_t low, uint32_t high) {
  return reinterpret_cast<const void*>(static_cast<uintptr_t>(static_cast<uint64_t>(high) << 32 | low));
}

// The live window's rectangle in its parent's client coordinates (screen for a top-level one).
RECT PlacedRect(HWND window) {
  RECT rect{};
  GetWindowRect(window, &rect);
  const HWND parent = (GetWindowLongA(window, GWL_STYLE) & static_cast<LONG>(WS_CHILD)) ? GetParent(window) : 0;
  if (parent) MapWindowPoints(0, parent, reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

Unit* LiveObjectOf(const UnitRecord& record) { return reinterpret_cast<Unit*>(record.liveObject); }

HWND LiveWindowOf(const UnitRecord& record) {
  Unit* unit = LiveObjectOf(record);
  return unit && IsWindow(unit->Window()) ? unit->Window() : 0;
}

uint64_t ReadCommon(const UnitRecord& record, int32_t property) {
  const HWND window = LiveWindowOf(record);
  switch (property) {
    case Common::Left: case Common::Top: case Common::Width: case Common::Height: {
      if (!window) {
        const int64_t values[] = {record.left, record.top, record.width, record.height};
        return static_cast<uint32_t>(values[property]);
      }
      const RECT r = PlacedRect(window);
      const LONG values[] = {r.left, r.top, r.right - r.left, r.bottom - r.top};
      return static_cast<uint32_t>(values[property]);
    }
    case Common::TagText: return PointerWord(NewText(record.tag));
    case Common::Visible: return window ? (IsWindowVisible(window) ? 1 : 0) : (record.stateFlags & kStateVisible ? 1 : 0);
    case Common::Disabled: return window ? (IsWindowEnabled(window) ? 0 : 1) : (record.stateFlags & kStateDisabled ? 1 : 0);
    case Common::MousePointer: return PointerWord(NewByteSet(record.mousePointer.data(), record.mousePointer.size()));
    default: return 0;
  }
}

void WriteCommon(UnitRecord& record, int32_t property, uint32_t low, uint32_t high) {
  const HWND window = LiveWindowOf(record);
  const auto value = static_cast<int32_t>(low);
  switch (property) {
    case Common::Left: case Common::Top: {
      const int32_t position = std::clamp(value, -kPositionLimit, kPositionLimit);
      (property == Common::Left ? record.left : record.top) = position;
      if (window) {
        const RECT r = PlacedRect(window);
        SetWindowPos(window, 0, property == Common::Left ? position : r.left, property == Common::Top ? position : r.top,
                     0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
      }
      return;
    }
    case Common::Width: case Common::Height: {
      const int32_t size = std::clamp(value, 0, kPositionLimit);
      (property == Common::Width ? record.width : record.height) = static_cast<uint32_t>(size);
      if (window) {
        const RECT r = PlacedRect(window);
        SetWindowPos(window, 0, 0, 0, property == Common::Width ? size : r.right - r.left,
                     property == Common::Height ? size : r.bottom - r.top, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
      }
      return;
    }
    case Common::TagText: record.tag = std::string(TextView(static_cast<const char*>(PointerOfWords(low, high)))); return;
    case Common::Visible: {
      const bool visible = low != 0;
      record.stateFlags = visible ? record.stateFlags | kStateVisible : record.stateFlags & ~kStateVisible;
      Unit* unit = LiveObjectOf(record);
      if (window && unit && !unit->IsComponent()) ShowWindow(window, visible ? SW_SHOWNA : SW_HIDE);
      return;
    }
    case Common::Disabled: {
      const bool disabled = low != 0;
      record.stateFlags = disabled ? record.stateFlags | kStateDisabled : record.stateFlags & ~kStateDisabled;
      if (window) EnableWindow(window, !disabled);
      return;
    }
    case Common::MousePointer: {
      const void* block = PointerOfWords(low, high);
      const uint8_t* data = ByteSetData(block);
      record.mousePointer.assign(data, data + ByteSetLength(block));
      return;
    }
    default: return;
  }
}

// The kind of a type-specific property; 0 when the type has no such property.
uint16_t KindOf(const UnitRecord& record, int k) {
  const UnitType* type = FindUnitType(record.dataType);
  if (!type || k < 0 || static_cast<size_t>(k) >= type->Properties().size()) return 0;
  return type->Properties()[static_cast<size_t>(k)].kind;
}

// The value as the type receives it, converted by the property's kind.
TypedValue ConvertedForWrite(uint16_t kind, uint32_t low, uint32_t high) {
  switch (kind) {
    case PropertyKind::Boolean: return MakeBoolean(low != 0);
    case PropertyKind::Choice: return MakeInteger(static_cast<int32_t>(low) < 0 ? 0 : static_cast<int32_t>(low));
    case 1002: case 1004: return TypedValue{low, high, Tag::EightByteValue};
    case PropertyKind::Text: return MakeText(static_cast<const char*>(PointerOfWords(low, high)));
    case PropertyKind::Picture: case PropertyKind::ByteData: case 1012: case 1023: case 1024:
    case PropertyKind::MousePointer: case PropertyKind::Font:
      return MakeByteSet(PointerOfWords(low, high));
    case 1000: case PropertyKind::Integer: case PropertyKind::Color: case PropertyKind::Integer2:
    case PropertyKind::Integer3:
      return MakeInteger(static_cast<int32_t>(low));
    default: return MakeText(static_cast<const char*>(PointerOfWords(low, high)));
  }
}

uint64_t WordsOfRead(const TypedValue& value) {
  switch (value.tag) {
    case Tag::Text: case Tag::ByteSet: case Tag::Long: case Tag::Double: case Tag::DateTime:
    case Tag::EightByteValue:
      return Value64(value);
    default: return value.low;
  }
}

// The unit's font as a LOGFONT: its own, else the default GUI font.
LOGFONTA CurrentFont(Unit& unit, int k) {
  LOGFONTA font{};
  TypedValue value{};
  if (unit.GetProperty(k, value) && value.tag == Tag::ByteSet) {
    void* block = PointerOf(value);
    if (ByteSetLength(block) == sizeof font) std::memcpy(&font, ByteSetData(block), sizeof font);
    else GetObjectA(GetStockObject(DEFAULT_GUI_FONT), sizeof font, &font);
    Kernel().Free(block);
  } else {
    GetObjectA(GetStockObject(DEFAULT_GUI_FONT), sizeof font, &font);
  }
  return font;
}

}  // namespace

// --- font members

void SetFontMember(LOGFONTA& font, int32_t member, uint32_t low, uint32_t high) {
  const auto value = static_cast<int32_t>(low);
  switch (member) {
    case 0: {
      int32_t angle = value % 3600;
      if (angle < 0) angle += 3600;
      font.lfEscapement = font.lfOrientation = angle;
      return;
    }
    case 1: font.lfWeight = value != 0 ? 700 : 0; return;
    case 2: font.lfItalic = value != 0; return;
    case 3: font.lfUnderline = value != 0; return;
    case 4: font.lfStrikeOut = value != 0; return;
    case 5: font.lfHeight = -MulDiv(std::max(value, 0), platform::ScreenPixelsPerInchY(), 72); return;
    case 6: {
      const std::string_view face = TextView(static_cast<const char*>(PointerOfWords(low, high)));
      std::memset(font.lfFaceName, 0, sizeof font.lfFaceName);
      if (face.empty() || face.size() >= sizeof font.lfFaceName) {
        std::strcpy(font.lfFaceName, kDefaultFace);
      } else {
        std::memcpy(font.lfFaceName, face.data(), face.size());
      }
      return;
    }
    default: return;
  }
}

uint64_t FontMember(const LOGFONTA& font, int32_t member) {
  switch (member) {
    case 0: return static_cast<uint32_t>(font.lfEscapement);
    case 1: return font.lfWeight >= 700 ? 1 : 0;
    case 2: return font.lfItalic ? 1 : 0;
    case 3: return font.lfUnderline ? 1 : 0;
    case 4: return font.lfStrikeOut ? 1 : 0;
    case 5: {
      const int height = font.lfHeight < 0 ? -font.lfHeight : font.lfHeight;
      return static_cast<uint32_t>(MulDiv(height, 72, platform::ScreenPixelsPerInchY()));
    }
    case 6: {
      char face[sizeof font.lfFaceName + 1] = {};
      std::memcpy(face, font.lfFaceName, sizeof font.lfFaceName);
      return PointerWord(NewText(face));
    }
    default: return 0;
  }
}

LOGFONTA FontOfRecord(const FontRecord& record) {
  LOGFONTA font{};
  font.lfCharSet = 134;
  SetFontMember(font, 0, static_cast<uint32_t>(record.angle), 0);
  SetFontMember(font, 1, static_cast<uint32_t>(record.bold), 0);
  SetFontMember(font, 2, static_cast<uint32_t>(record.italic), 0);
  SetFontMember(font, 3, static_cast<uint32_t>(record.underline), 0);
  SetFontMember(font, 4, static_cast<uint32_t>(record.strikeOut), 0);
  SetFontMember(font, 5, static_cast<uint32_t>(record.size), 0);
  const auto face = reinterpret_cast<uintptr_t>(record.face);
  SetFontMember(font, 6, static_cast<uint32_t>(face), static_cast<uint32_t>(static_cast<uint64_t>(face) >> 32));
  return font;
}

// --- the entries

bool FormsLayerImpl::ReadOwnProperty(LoadedForm& form, UnitRecord& record, int32_t property, int32_t member,
                                     TypedValue& out, bool raise) {
  Unit* unit = LiveObjectOf(record);
  if (!unit || !IsWindow(unit->Window())) {
    if (raise) Kernel().ReportRuntimeError(Message::WindowNotLoaded, 0);
    return false;
  }
  const int k = property - 8;
  if (KindOf(record, k) == PropertyKind::Font && member >= 0) {
    const LOGFONTA font = CurrentFont(*unit, k);
    const uint64_t value = FontMember(font, member);
    out = member == 6 ? MakePointerValue(reinterpret_cast<const void*>(static_cast<uintptr_t>(value)), Tag::Text)
                      : MakeInteger(static_cast<int32_t>(value));
    return true;
  }
  return unit->GetProperty(k, out);
}

uint64_t FormsLayerImpl::ReadUnitProperty(uint32_t formId, uint32_t unitId, int32_t property, int32_t member) {
  LoadedForm* form = LoadedFormOf(formId);
  if (!form) Kernel().ReportRuntimeError(Message::FormNotLoaded, 0);
  UnitRecord* record = FindUnitRecord(*form, unitId);
  if (!record) Kernel().ReportRuntimeError(KernelMessage::UnitNotLoaded, 0);
  if (record->IsMenuItem()) {
    const uint32_t state = record->menuWords[2];
    switch (property) {
      case 0: return PointerWord(NewText(record->caption));
      case 1: return (state >> 2) & 1;
      case 2: return (state >> 1) & 1;
      case 3: return (state & 1) ? 0 : 1;
      default: return 0;
    }
  }
  if (property < 8) return ReadCommon(*record, property);
  TypedValue value{};
  if (!ReadOwnProperty(*form, *record, property, member, value, true)) return 0;
  return WordsOfRead(value);
}

void FormsLayerImpl::WriteUnitProperty(uint32_t formId, uint32_t unitId, int32_t property, int32_t member,
                                       uint32_t low, uint32_t high) {
  LoadedForm* form = LoadedFormOf(formId);
  if (!form) Kernel().ReportRuntimeError(Message::FormNotLoaded, 0);
  UnitRecord* record = FindUnitRecord(*form, unitId);
  if (!record) Kernel().ReportRuntimeError(KernelMessage::UnitNotLoaded, 0);
  if (record->IsMenuItem()) {
    uint32_t& state = record->menuWords[2];
    const auto setBit = [&](uint32_t bit, bool on) { state = on ? state | bit : state & ~bit; };
    switch (property) {
      case 0: {
        const std::string caption(TextView(static_cast<const char*>(PointerOfWords(low, high))));
        if (caption != record->caption) record->caption = caption;
        return;
      }
      case 1: setBit(4, low != 0); return;
      case 2: setBit(2, low != 0); return;
      case 3: setBit(1, low == 0); return;
      default: return;
    }
  }
  if (property < 8) return WriteCommon(*record, property, low, high);

  Unit* unit = LiveObjectOf(*record);
  if (!unit || !IsWindow(unit->Window())) Kernel().ReportRuntimeError(Message::WindowNotLoaded, 0);
  const int k = property - 8;
  const uint16_t kind = KindOf(*record, k);
  WriteOutcome outcome = WriteOutcome::Ignored;
  if (kind == PropertyKind::Font) {
    LOGFONTA font{};
    if (member < 0) {
      const auto* fontRecord = static_cast<const FontRecord*>(PointerOfWords(low, high));
      if (!fontRecord) return;  // a null record leaves the font as it is
      font = FontOfRecord(*fontRecord);
    } else {
      font = CurrentFont(*unit, k);
      SetFontMember(font, member, low, high);
    }
    void* block = NewByteSet(&font, sizeof font);
    outcome = unit->SetProperty(k, MakeByteSet(block));
    Kernel().Free(block);
  } else {
    outcome = unit->SetProperty(k, ConvertedForWrite(kind, low, high));
  }
  if (outcome == WriteOutcome::NeedsNewWindow) Recreate(*form, *record);
}

// --- what the scenario player reads

bool FormsLayerImpl::ReadPropertyText(HWND window, std::string_view unitName, int index, std::string& value,
                                      std::string& reason) {
  for (auto& [formId, live] : live_) {
    if (!live.window || live.window->Window() != window) continue;
    LoadedForm* form = LoadedFormOf(formId);
    UnitRecord* record = nullptr;
    for (size_t i = 1; form && i < form->units.size(); ++i) {
      if (form->units[i].name == unitName && !form->units[i].IsMenuItem()) record = &form->units[i];
    }
    if (!record) return (reason = "no such unit", false);
    TypedValue read{};
    if (index < 0) return (reason = "no such property", false);
    if (index < 8) {
      const uint64_t words = ReadCommon(*record, index);
      if (index == 4) read = MakePointerValue(reinterpret_cast<const void*>(static_cast<uintptr_t>(words)), Tag::Text);
      else if (index == 7) read = MakePointerValue(reinterpret_cast<const void*>(static_cast<uintptr_t>(words)), Tag::ByteSet);
      else if (index == 5 || index == 6) read = MakeBoolean(words != 0);
      else read = MakeInteger(static_cast<int32_t>(words));
    } else {
      if (!LiveWindowOf(*record)) return (reason = "the unit has no live window", false);
      if (!ReadOwnProperty(*form, *record, index, -1, read, false)) return (reason = "no such property", false);
    }
    value = PropertyValueText(read);
    if (read.tag == Tag::Text || read.tag == Tag::ByteSet) Kernel().Free(PointerOf(read));
    return true;
  }
  reason = "no such window";
  return false;
}

}  // namespace quorlin::forms
