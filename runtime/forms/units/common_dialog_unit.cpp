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

// The own properties and where the block keeps them: texts 0 to 6, words 0 to 13.
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
    {"Reserved21", PropertyKind::Integer},
};
static_assert(std::size(kProperties) == 22);

// Text slot of a text property (the face name is kept in the sixth text).
int TextSlot(int k) { return k == kFaceName ? 5 : k - 1; }

class CommonDlgUnit final : public ComponentUnit {
 public:
  CommonDlgUnit(const UnitCreation& creation, CommonDlgData data) : ComponentUnit(creation), data_(std::move(data)) {}

  bool Make(const UnitCreation& creation) { return MakeWindow(creation); }

  bool GetProperty(int k, TypedValue& out) override {
    if (k == kKind) return (out = MakeInteger(static_cast<int32_t>(data_.kind)), true);
    if ((k >= kTitle && k <= kInitialFolder) || k == kFaceName) return (out = TextValue(data_.texts[TextSlot(k)]), true);
    if (k >= kFilterIndex && k < static_cast<int>(std::size(kProperties))) {
      return (out = MakeInteger(static_cast<int32_t>(data_.words[k - kFilterIndex])), true);
    }
    return false;
  }

  WriteOutcome SetProperty(int k, const TypedValue& value) override {
    if (k == kKind) return (data_.kind = value.low, WriteOutcome::Done);
    if ((k >= kTitle && k <= kInitialFolder) || k == kFaceName) {
      data_.texts[TextSlot(k)] = TextOf(value);
      return WriteOutcome::Done;
    }
    if (k >= kFilterIndex && k < static_cast<int>(std::size(kProperties))) {
      data_.words[k - kFilterIndex] = value.low;
      return WriteOutcome::Done;
    }
    return WriteOutcome::Ignored;
  }

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
    std::string filter = data_.texts[TextSlot(kFilter)];
    if (filter.size() < 2 || filter.compare(filter.size() - 2, 2, "||") != 0) filter += "||";
    for (char& c : filter) {
      if (c == '|') c = '\0';
    }
    std::vector<char> file(4096, '\0');
    const std::string& initial = data_.texts[TextSlot(kFileName)];
    std::memcpy(file.data(), initial.data(), std::min(initial.size(), file.size() - 1));
    const std::string& title = data_.texts[TextSlot(kTitle)];
    const std::string& extension = data_.texts[TextSlot(kDefaultExtension)];
    const std::string& folder = data_.texts[TextSlot(kInitialFolder)];

    OPENFILENAMEA ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = owner;
    ofn.lpstrFilter = filter.c_str();
    ofn.nFilterIndex = data_.words[kFilterIndex - kFilterIndex];
    ofn.lpstrFile = file.data();
    ofn.nMaxFile = static_cast<DWORD>(file.size());
    ofn.lpstrTitle = title.empty() ? nullptr : title.c_str();
    ofn.lpstrDefExt = extension.empty() ? nullptr : extension.c_str();
    ofn.lpstrInitialDir = folder.empty() ? nullptr : folder.c_str();
    ofn.Flags = OFN_HIDEREADONLY | OFN_EXPLORER | (save ? OFN_OVERWRITEPROMPT : 0u);
    const BOOL chosen = save ? GetSaveFileNameA(&ofn) : GetOpenFileNameA(&ofn);
    if (!chosen) return false;
    data_.texts[TextSlot(kFileName)] = file.data();
    return true;
  }

  bool OpenFontDialog(HWND owner) {
    LOGFONTA font{};
    const std::string& face = data_.texts[TextSlot(kFaceName)];
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
    data_.texts[TextSlot(kFaceName)] = font.lfFaceName;
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
