// ComboBox (type 14, "组合框"): a list of texts with a current item; property 19 is the index
// of the current item counted from 0 (-1 = none). The list kinds (1 drop-down, 2 drop-down
// list) get a window at least 160 pixels high for their list. Event 0 when the user chose
// another item.
#include <algorithm>
#include <iterator>

#include "platform/user/painting.h"
#include "platform/user/window_core.h"
#include "platform/user/window_geometry.h"
#include "runtime/forms/template/template_ids.h"
#include "runtime/forms/units/builtin_unit_types.h"
#include "runtime/forms/units/control_unit.h"
#include "runtime/forms/units/event_record.h"

namespace quorlin::forms {
namespace {

// The platform's combo box messages and styles.
constexpr DWORD kSimple = 0x0001, kDropDown = 0x0002, kDropDownList = 0x0003, kSorted = 0x0100, kAutoScroll = 0x0040;
constexpr UINT kLimitText = 0x0141, kAddString = 0x0143, kGetCount = 0x0146, kGetCurSel = 0x0147;
constexpr UINT kGetItemText = 0x0148, kGetItemTextLength = 0x0149, kResetContent = 0x014B, kSetCurSel = 0x014E;
constexpr WORD kSelectionChanged = 1;
constexpr int kListHeight = 160;

enum Own { kKind, kMaxLength, kSelStart, kSelLength, kSort, kItemHeight, kFurther, kBackColor, kContent, kFont,
           kItems, kCurrentIndex, kPicture };

constexpr PropertyInfo kProperties[] = {
    {"Type", PropertyKind::Choice},        {"MaxLength", PropertyKind::Integer},  {"SelStart", PropertyKind::Integer},
    {"SelLength", PropertyKind::Integer},  {"Sorted", PropertyKind::Boolean},     {"ItemHeight", PropertyKind::Integer},
    {"Reserved6", PropertyKind::Integer},  {"BackColor", PropertyKind::Color},    {"Content", PropertyKind::Text},
    {"Font", PropertyKind::Font},          {"Items", PropertyKind::Text},         {"ListIndex", PropertyKind::Integer},
    {"Picture", PropertyKind::Picture},    {"Reserved13", PropertyKind::Integer}, {"Reserved14", PropertyKind::Integer},
    {"Reserved15", PropertyKind::Integer}, {"Reserved16", PropertyKind::Integer},
};
static_assert(std::size(kProperties) == 17);

class ComboBoxUnit final : public ControlUnit {
 public:
  ComboBoxUnit(const UnitCreation& creation, ComboBoxData data) : ControlUnit(creation), data_(std::move(data)) {}

  bool Make(const UnitCreation& creation) {
    UnitCreation placed = creation;
    if (data_.kind != 0) placed.height = std::max(placed.height, kListHeight);
    const std::string text = data_.kind == 2 ? std::string() : data_.content;
    if (!MakeWindow(placed, "COMBOBOX", text, Style())) return false;
    font_.Apply(window_, data_.font);
    if (data_.maxTextLength != 0) SendMessageA(window_, kLimitText, data_.maxTextLength, 0);
    FillItems();
    const int count = static_cast<int>(data_.items.size());
    const int selected = std::clamp(data_.selectedIndex, -1, count - 1);
    SendMessageA(window_, kSetCurSel, static_cast<WPARAM>(selected), 0);
    return true;
  }

  bool GetProperty(int k, TypedValue& out) override {
    switch (k) {
      case kKind: case kMaxLength: case kSelStart: case kSelLength: case kItemHeight: case kFurther: case kBackColor:
        out = MakeInteger(static_cast<int32_t>(WordOf(k))); return true;
      case kSort: out = MakeBoolean(data_.sorted != 0); return true;
      case kContent: out = TextValue(WindowText(window_)); return true;
      case kFont: out = FontValue(font_); return true;
      case kItems: out = TextValue(JoinedItems()); return true;
      case kCurrentIndex:
        out = MakeInteger(static_cast<int32_t>(SendMessageA(window_, kGetCurSel, 0, 0)));
        return true;
      case kPicture: out = ByteSetValue(data_.picture); return true;
      default:
        if (k < 0 || k >= static_cast<int>(std::size(kProperties))) return false;
        out = MakeInteger(0);
        return true;
    }
  }

  WriteOutcome SetProperty(int k, const TypedValue& value) override {
    switch (k) {
      case kKind: return Restyle(data_.kind, std::min<uint32_t>(value.low, 2));
      case kSort: return Restyle(data_.sorted, value.low != 0);
      case kMaxLength:
        data_.maxTextLength = value.low;
        SendMessageA(window_, kLimitText, value.low, 0);
        return WriteOutcome::Done;
      case kBackColor: data_.backColor = value.low; InvalidateRect(window_, nullptr, TRUE); return WriteOutcome::Done;
      case kContent: {
        const std::string text = TextOf(value);
        SetWindowTextA(window_, text.c_str());
        return WriteOutcome::Done;
      }
      case kFont: font_.Apply(window_, BytesOf(value)); return WriteOutcome::Done;
      case kItems: {
        data_.items = SplitLines(TextOf(value));
        SendMessageA(window_, kResetContent, 0, 0);
        FillItems();
        return WriteOutcome::Done;
      }
      case kCurrentIndex: {
        const auto count = static_cast<int32_t>(SendMessageA(window_, kGetCount, 0, 0));
        const int32_t index = std::clamp(static_cast<int32_t>(value.low), -1, count - 1);
        SendMessageA(window_, kSetCurSel, static_cast<WPARAM>(index), 0);
        return WriteOutcome::Done;
      }
      case kPicture: data_.picture = BytesOf(value); return WriteOutcome::Done;
      default: return WriteOutcome::Ignored;
    }
  }

  std::vector<uint8_t> SaveTypeData() const override {
    ComboBoxData saved = data_;
    saved.items = CurrentItems();
    saved.selectedIndex = static_cast<int32_t>(SendMessageA(window_, kGetCurSel, 0, 0));
    if (saved.kind != 2) saved.content = WindowText(window_);
    saved.font = font_.Block();
    return WriteTypeData(saved);
  }

  bool HandleMessage(HWND, UINT message, WPARAM wParam, LPARAM, LRESULT& result) override {
    return RaiseOnNotification(message, wParam, kSelectionChanged, result);
  }

 private:
  DWORD Style() const {
    DWORD style = data_.kind == 0 ? kSimple : data_.kind == 1 ? kDropDown : kDropDownList;
    if (data_.sorted) style |= kSorted;
    return style | kAutoScroll;
  }

  uint32_t WordOf(int k) const {
    const uint32_t words[] = {data_.kind, data_.maxTextLength, data_.selectionStart, data_.selectionLength,
                              data_.sorted, data_.extraItemHeight, data_.furtherWord, data_.backColor};
    return words[k];
  }

  void FillItems() {
    for (const std::string& item : data_.items) {
      SendMessageA(window_, kAddString, 0, reinterpret_cast<LPARAM>(item.c_str()));
    }
  }

  std::vector<std::string> CurrentItems() const {
    std::vector<std::string> items;
    const auto count = static_cast<int>(SendMessageA(window_, kGetCount, 0, 0));
    for (int i = 0; i < count; ++i) {
      const auto length = static_cast<int>(SendMessageA(window_, kGetItemTextLength, i, 0));
      std::string item(length > 0 ? static_cast<size_t>(length) + 1 : 1, '\0');
      SendMessageA(window_, kGetItemText, i, reinterpret_cast<LPARAM>(item.data()));
      item.resize(length > 0 ? static_cast<size_t>(length) : 0);
      items.push_back(std::move(item));
    }
    return items;
  }

  std::string JoinedItems() const {
    std::string joined;
    for (const std::string& item : CurrentItems()) joined += (joined.empty() ? "" : "\r\n") + item;
    return joined;
  }

  static std::vector<std::string> SplitLines(const std::string& text) {
    std::vector<std::string> lines;
    size_t at = 0;
    while (at < text.size()) {
      size_t end = text.find("\r\n", at);
      if (end == std::string::npos) end = text.size();
      lines.push_back(text.substr(at, end - at));
      at = end + 2;
    }
    return lines;
  }

  WriteOutcome Restyle(uint32_t& field, uint32_t value) {
    if (field == value) return WriteOutcome::Done;
    data_.items = CurrentItems();
    data_.selectedIndex = static_cast<int32_t>(SendMessageA(window_, kGetCurSel, 0, 0));
    field = value;
    return WriteOutcome::NeedsNewWindow;
  }

  ComboBoxData data_;
};

}  // namespace

const UnitType& ComboBoxUnitType() {
  static const DataUnitType<ComboBoxUnit, ComboBoxData> type(kTypeComboBox, "组合框", "ComboBox", kProperties);
  return type;
}

}  // namespace quorlin::forms
