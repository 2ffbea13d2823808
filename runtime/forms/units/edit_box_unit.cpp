// EditBox (type 5, "编辑框"): a text field; property 8 is its content. Of its words the edit
// box uses: border (0 sunken, 1 thin line, 2 none), alignment (0 left, 1 centre, 2 right),
// multi-line, read-only, password, maximum length (0 = the control's own limit), digits only,
// letter case (0 as typed, 1 upper, 2 lower); the 16-bit word is the password character
// (0 = '*'). Alignment, multi-line, digits and case are creation styles: changing one makes a
// new window. Event 0 when the content changed.
#include <algorithm>
#include <iterator>

#include "platform/user/edit_control.h"
#include "platform/user/painting.h"
#include "platform/user/window_core.h"
#include "platform/user/window_geometry.h"
#include "runtime/forms/template/template_ids.h"
#include "runtime/forms/units/builtin_unit_types.h"
#include "runtime/forms/units/control_unit.h"
#include "runtime/forms/units/event_record.h"

namespace quorlin::forms {
namespace {

enum Word { kBorder, kAlignment, kMultiLine, kReadOnly, kPassword, kMaxLength, kDigits, kCase };

constexpr PropertyInfo kProperties[] = {
    {"Content", PropertyKind::Text},       {"Border", PropertyKind::Choice},       {"Alignment", PropertyKind::Choice},
    {"MultiLine", PropertyKind::Boolean},  {"ReadOnly", PropertyKind::Boolean},    {"Password", PropertyKind::Boolean},
    {"MaxLength", PropertyKind::Integer},  {"DigitsOnly", PropertyKind::Boolean},  {"LetterCase", PropertyKind::Choice},
    {"Font", PropertyKind::Font},          {"SelStart", PropertyKind::Integer},    {"SelLength", PropertyKind::Integer},
    {"SelText", PropertyKind::Text},       {"Reserved13", PropertyKind::Integer},  {"Reserved14", PropertyKind::Integer},
    {"Reserved15", PropertyKind::Integer}, {"Reserved16", PropertyKind::Integer},  {"Reserved17", PropertyKind::Integer},
    {"Reserved18", PropertyKind::Integer}, {"Reserved19", PropertyKind::Integer},  {"Reserved20", PropertyKind::Integer},
};
static_assert(std::size(kProperties) == 21);

class EditBoxUnit final : public ControlUnit {
 public:
  EditBoxUnit(const UnitCreation& creation, EditBoxData data) : ControlUnit(creation), data_(std::move(data)) {}

  bool Make(const UnitCreation& creation) {
    const DWORD exStyle = data_.words[kBorder] == 0 ? WS_EX_CLIENTEDGE : 0;
    if (!MakeWindow(creation, "EDIT", data_.content, Style(), exStyle)) return false;
    font_.Apply(window_, data_.font);
    if (data_.words[kMaxLength] != 0) SendMessageA(window_, EM_LIMITTEXT, data_.words[kMaxLength], 0);
    if (data_.words[kPassword]) SendMessageA(window_, EM_SETPASSWORDCHAR, PasswordCharacter(), 0);
    return true;
  }

  bool GetProperty(int k, TypedValue& out) override {
    switch (k) {
      case 0: out = TextValue(WindowText(window_)); return true;
      case 1: case 2: case 5: case 8: out = MakeInteger(static_cast<int32_t>(data_.words[WordOf(k)])); return true;
      case 3: case 4: case 7: out = MakeBoolean(data_.words[WordOf(k)] != 0); return true;
      case 6: out = MakeInteger(static_cast<int32_t>(data_.words[kMaxLength])); return true;
      case 9: out = FontValue(font_); return true;
      case 10: case 11: case 12: {
        DWORD start = 0, end = 0;
        SendMessageA(window_, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
        const std::string text = WindowText(window_);
        end = std::min<DWORD>(end, static_cast<DWORD>(text.size()));
        start = std::min(start, end);
        if (k == 10) out = MakeInteger(static_cast<int32_t>(start));
        if (k == 11) out = MakeInteger(static_cast<int32_t>(end - start));
        if (k == 12) out = TextValue(text.substr(start, end - start));
        return true;
      }
      default:
        if (k < 0 || k >= static_cast<int>(std::size(kProperties))) return false;
        out = MakeInteger(0);
        return true;
    }
  }

  WriteOutcome SetProperty(int k, const TypedValue& value) override {
    switch (k) {
      case 0: {
        const std::string text = TextOf(value);
        SetWindowTextA(window_, text.c_str());
        return WriteOutcome::Done;
      }
      case 1: return Restyle(kBorder, value.low > 2 ? 2 : value.low);
      case 2: return Restyle(kAlignment, value.low > 2 ? 2 : value.low);
      case 3: return Restyle(kMultiLine, value.low != 0);
      case 7: return Restyle(kDigits, value.low != 0);
      case 8: return Restyle(kCase, value.low > 2 ? 2 : value.low);
      case 4:
        data_.words[kReadOnly] = value.low != 0;
        SendMessageA(window_, EM_SETREADONLY, data_.words[kReadOnly], 0);
        return WriteOutcome::Done;
      case 5:
        data_.words[kPassword] = value.low != 0;
        SendMessageA(window_, EM_SETPASSWORDCHAR, data_.words[kPassword] ? PasswordCharacter() : 0, 0);
        InvalidateRect(window_, nullptr, TRUE);
        return WriteOutcome::Done;
      case 6:
        data_.words[kMaxLength] = value.low;
        SendMessageA(window_, EM_LIMITTEXT, value.low, 0);
        return WriteOutcome::Done;
      case 9: font_.Apply(window_, BytesOf(value)); return WriteOutcome::Done;
      case 10: case 11: {
        DWORD start = 0, end = 0;
        SendMessageA(window_, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
        const auto v = static_cast<int32_t>(value.low) < 0 ? 0u : value.low;
        if (k == 10) SendMessageA(window_, EM_SETSEL, v, v + (end - start));
        else SendMessageA(window_, EM_SETSEL, start, start + v);
        return WriteOutcome::Done;
      }
      case 12: {
        const std::string text = TextOf(value);
        SendMessageA(window_, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(text.c_str()));
        return WriteOutcome::Done;
      }
      default: return WriteOutcome::Ignored;
    }
  }

  std::vector<uint8_t> SaveTypeData() const override {
    EditBoxData saved = data_;
    saved.content = WindowText(window_);
    saved.font = font_.Block();
    return WriteTypeData(saved);
  }

  bool HandleMessage(HWND, UINT message, WPARAM wParam, LPARAM, LRESULT& result) override {
    return RaiseOnNotification(message, wParam, EN_CHANGE, result);
  }

 private:
  static Word WordOf(int k) {
    switch (k) {
      case 1: return kBorder;
      case 2: return kAlignment;
      case 3: return kMultiLine;
      case 4: return kReadOnly;
      case 5: return kPassword;
      case 7: return kDigits;
      default: return kCase;
    }
  }

  WPARAM PasswordCharacter() const { return data_.half != 0 ? data_.half : '*'; }

  DWORD Style() const {
    DWORD style = ES_AUTOHSCROLL;
    style |= data_.words[kAlignment] == 1 ? ES_CENTER : data_.words[kAlignment] == 2 ? ES_RIGHT : ES_LEFT;
    if (data_.words[kMultiLine]) style |= ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN;
    if (data_.words[kReadOnly]) style |= ES_READONLY;
    if (data_.words[kDigits]) style |= ES_NUMBER;
    if (data_.words[kCase] == 1) style |= ES_UPPERCASE;
    if (data_.words[kCase] == 2) style |= ES_LOWERCASE;
    if (data_.words[kBorder] == 1) style |= WS_BORDER;
    return style;
  }

  WriteOutcome Restyle(Word word, uint32_t value) {
    if (data_.words[word] == value) return WriteOutcome::Done;
    data_.words[word] = value;
    return WriteOutcome::NeedsNewWindow;
  }

  EditBoxData data_;
};

}  // namespace

const UnitType& EditBoxUnitType() {
  static const DataUnitType<EditBoxUnit, EditBoxData> type(kTypeEditBox, "编辑框", "EditBox", kProperties);
  return type;
}

}  // namespace quorlin::forms
