#include "runtime/forms/units/common_dialog_unit.h"

#include <cstring>
#include <iterator>

#include "platform/gdi/gdi.h"
#include "platform/shell/common_dialogs.h"
#include "platform/user/window_core.h"
#include "runtime/forms/template/template_ids.h"
#include "runtime/forms/units/builtin_unit_types.h"
#include "runtime/forms/units/component_unit.h"
#include "runtime/forms/units/data_unit_type.h"
#include "runtime/forms/units/unit_support.h"
#include "runtime/forms/template/type_data.h"
#include "runtime/kernel/host_service.h"
#include "runtime/kernel/library_host.h"

namespace quorlin::forms {
namespace {

// The own properties and where the block keeps them: the kind in its own word, the texts in
// the seven text slots, every other property in one of the fourteen words.
enum Own { kKind = 0, kTitle = 1, kFileName = 2, kFilter = 3, kDefaultExtension = 4, kInitialFolder = 5,
           kFilterIndex = 6, kFaceName = 17 };

constexpr PropertyInfo kProperties[] = {
    {"Type", PropertyKind::Choice},         {"Title", PropertyKind::Text},          {"FileName", PropertyKind::Text},
    {"Filter", PropertyKind::Text},         {"DefaultExt", PropertyKind::Text},     {"InitDir", PropertyKind::Text},
    {"FilterIndex", PropertyKind::Integer}, {"Reserved7", PropertyKind::Integer},   {"Reserved8", PropertyKind::Integer},
    {"Reserved9", PropertyKind::Integer},   {"Reserved10", PropertyKind::Integer},  {"Reserved11", PropertyKind::Integer},
    {"Reserved12", PropertyKind::Integer},  {"Reserved13", PropertyKind::Integer},  {"Reserved14", PropertyKind::Integer},
    {"Reserved15", PropertyKind::Integer},  {"Reserved16", PropertyKind::Integer},  {"FontName", PropertyKind::Text},
    {"Reserved18", PropertyKind::Integer},  {"Reserved19", PropertyKind::Integer},  {"Reserved20", PropertyKind::Integer},
    {"Reserved21", PropertyKind::Text},
};
static_assert(std::size(kProperties) == 22);

enum class Storage { KindWord, Word, Text };
struct Slot {
  Storage storage;
  size_t index;
};

// Where property k lives: texts fill the text slots in property order, integers the words.
constexpr Slot SlotOf(size_t k) {
  if (k == static_cast<size_t>(kKind)) return {Storage::KindWord, 0};
  size_t texts = 0, words = 0;
  for (size_t i = 1; i < k; ++i) (kProperties[i].kind == PropertyKind::Text ? texts : words) += 1;
  return kProperties[k].kind == PropertyKind::Text ? Slot{Storage::Text, texts} : Slot{Storage::Word, words};
}

constexpr bool EverySlotInsideTheBlock() {
  for (size_t k = 0; k < std::size(kProperties); ++k) {
    const Slot slot = SlotOf(k);
    if (slot.storage == Storage::Word && slot.index >= std::tuple_size_v<decltype(CommonDlgData::words)>) return false;
    if (slot.storage == Storage::Text && slot.index >= std::tuple_size_v<decltype(CommonDlgData::texts)>) return false;
  }
  return true;
}
static_assert(EverySlotInsideTheBlock());
static_assert(SlotOf(kFaceName).index == 5 && SlotOf(kFilterIndex).index == 0);

class CommonDlgUnit final : public ComponentUnit {
 public:
  CommonDlgUnit(const UnitCreation& creation, CommonDlgData data) : ComponentUnit(creation), data_(std::move(data)) {}

  bool Make(const UnitCreation& creation) { return MakeWindow(creation); }

  bool GetProperty(int k, TypedValue& out) override {
    if (k < 0 || k >= static_cast<int>(std::size(kProperties))) return false;
    const Slot slot = SlotOf(static_cast<size_t>(k));
    switch (slot.storage) {
      case Storage::KindWord: out = MakeInteger(static_cast<int32_t>(data_.kind)); break;
      case Storage::Word: out = MakeInteger(static_cast<int32_t>(data_.words[slot.index])); break;
      case Storage::Text: out = TextValue(data_.texts[slot.index]); break;
    }
    return true;
  }

  WriteOutcome SetProperty(int k, const TypedValue& value) override {
    if (k < 0 || k >= static_cast<int>(std::size(kProperties))) return WriteOutcome::Ignored;
    const Slot slot = SlotOf(static_cast<size_t>(k));
    switch (slot.storage) {
      case Storage::KindWord: data_.kind = value.low; break;
      case Storage::Word: data_.words[slot.index] = value.low; break;
      case Storage::Text: data_.texts[slot.index] = TextOf(value); break;
    }
    return WriteOutcome::Done;
  }

  const std::string& Text(Own k) const { return data_.texts[SlotOf(k).index]; }

  std::vector<uint8_t> SaveTypeData() const override { return WriteTypeData(data_); }

  bool Open() {
    const HWND owner = GetAncestor(window_, GA_ROOT);
    switch (data_.kind) {
      case 0: case 1: return OpenFileDialog(owner, data_.kind == 1);
      case 2: return OpenFontDialog(owner);
      default: return false;
    }
  }

 private:
  bool OpenFileDialog(HWND owner, bool save) {
    // "description|pattern|…" becomes the NUL-separated pairs, ended by an empty pair.
    std::string filter = Text(kFilter);
    if (filter.size() < 2 || filter.compare(filter.size() - 2, 2, "||") != 0) filter += "||";
    for (char& c : filter) {
      if (c == '|') c = '\0';
    }
    std::vector<char> file(4096, '\0');
    const std::string& initial = Text(kFileName);
    std::memcpy(file.data(), initial.data(), std::min(initial.size(), file.size() - 1));
    const std::string& title = Text(kTitle);
    const std::string& extension = Text(kDefaultExtension);
    const std::string& folder = Text(kInitialFolder);

    OPENFILENAMEA ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = owner;
    ofn.lpstrFilter = filter.c_str();
    ofn.nFilterIndex = data_.words[SlotOf(kFilterIndex).index];
    ofn.lpstrFile = file.data();
    ofn.nMaxFile = static_cast<DWORD>(file.size());
    ofn.lpstrTitle = title.empty() ? nullptr : title.c_str();
    ofn.lpstrDefExt = extension.empty() ? nullptr : extension.c_str();
    ofn.lpstrInitialDir = folder.empty() ? nullptr : folder.c_str();
    ofn.Flags = OFN_HIDEREADONLY | OFN_EXPLORER | (save ? OFN_OVERWRITEPROMPT : 0u);
    const BOOL chosen = save ? GetSaveFileNameA(&ofn) : GetOpenFileNameA(&ofn);
    if (!chosen) return false;
    data_.texts[SlotOf(kFileName).index] = file.data();
    return true;
  }

  bool OpenFontDialog(HWND owner) {
    LOGFONTA font{};
    const std::string& face = Text(kFaceName);
    GetObjectA(GetStockObject(DEFAULT_GUI_FONT), sizeof font, &font);
    if (!face.empty() && face.size() < sizeof font.lfFaceName) {
      std::memset(font.lfFaceName, 0, sizeof font.lfFaceName);
      std::memcpy(font.lfFaceName, face.data(), face.size());
    }
    CHOOSEFONTA cf{};
    cf.lStructSize = sizeof cf;
    cf.hwndOwner = owner;
    cf.lpLogFont = &font;
    cf.Flags = CF_SCREENFONTS | CF_INITTOLOGFONTSTRUCT;
    if (!ChooseFontA(&cf)) return false;
    font.lfFaceName[sizeof font.lfFaceName - 1] = '\0';
    data_.texts[SlotOf(kFaceName).index] = font.lfFaceName;
    return true;
  }

  CommonDlgData data_;
};

}  // namespace

const UnitType& CommonDlgUnitType() {
  static const DataUnitType<CommonDlgUnit, CommonDlgData> type(kTypeCommonDlg, "通用对话框", "CommonDlg", kProperties);
  return type;
}

void OpenDialogCommand(TypedValue* result, int32_t argCount, TypedValue* args) {
  const TypedValue& reference = ArgumentAt(argCount, args, 0);
  auto* unit = reinterpret_cast<Unit*>(LibraryHost::Call(HostCode::FindLiveObjectOrFail, reference.low, reference.high));
  auto* dialog = dynamic_cast<CommonDlgUnit*>(unit);
  *result = MakeBoolean(dialog && dialog->Open());
}

}  // namespace quorlin::forms
