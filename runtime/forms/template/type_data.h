// The property blocks ("type data") of the unit types, as plain structs.
//
// A block is a 32-bit version word followed by the type's fields in a fixed order, each a 32-bit
// word, a 16-bit word, a byte block (length, bytes), a text (length, bytes, no NUL) or, in the
// combo box, a list of texts (16-bit count, 0xFFFF meaning a 32-bit count follows). Reading:
// - an empty block gives the defaults below;
// - a version above the type's kVersion is rejected;
// - a block of the current version must hold every field and nothing after them;
// - a block of an older version may end early at a field boundary, the rest keeping defaults.
// Words whose meaning the controls decide are kept as arrays in their order.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace quorlin::forms {

using ByteBlock = std::vector<uint8_t>;

inline constexpr uint32_t kDefaultColor = 0xFF000000;  // the system colour / transparent marker
inline constexpr uint32_t kWhite = 0x00FFFFFF;

struct WindowData {
  static constexpr uint32_t kVersion = 6;
  uint32_t version = kVersion;
  uint32_t borderKind = 1;  // 0 none, 1 resizable frame, 2 fixed frame
  uint32_t appearance = 1;
  uint32_t backColor = kDefaultColor;
  uint32_t maximizeBox = 1;
  uint32_t minimizeBox = 1;
  uint32_t controlMenu = 1;
  uint32_t startPosition = 0;  // 0 template position, 1 centred, 2 minimised, 3 maximised
  std::array<uint32_t, 13> moreWords{};
  ByteBlock icon;  // an ICO file image, empty = none
  ByteBlock backPicture;
  std::string title;
  ByteBlock moreData;
  bool operator==(const WindowData&) const = default;
};

struct ButtonData {
  static constexpr uint32_t kVersion = 1;
  uint32_t version = kVersion;
  uint32_t kind = 0;  // 0 normal, 1 default button
  uint32_t horizontalAlign = 1;  // 0 left, 1 centre, 2 right
  uint32_t verticalAlign = 1;    // 0 top, 1 centre, 2 bottom
  ByteBlock picture;
  ByteBlock font;  // a 60-byte LOGFONT, empty = the default GUI font
  std::string caption;
  bool operator==(const ButtonData&) const = default;
};

struct LabelData {
  static constexpr uint32_t kVersion = 2;
  uint32_t version = kVersion;
  std::array<uint32_t, 16> words{};
  ByteBlock picture;
  ByteBlock font;
  std::string caption;
  std::string text2;
  std::string text3;
  bool operator==(const LabelData&) const = default;
};

struct EditBoxData {
  static constexpr uint32_t kVersion = 2;
  uint32_t version = kVersion;
  std::array<uint32_t, 9> words{};
  uint16_t half = 0;
  std::array<uint32_t, 6> moreWords{};
  ByteBlock font;
  std::string content;
  std::string text2;
  std::string text3;
  bool operator==(const EditBoxData&) const = default;
};

struct CheckBoxData {
  static constexpr uint32_t kVersion = 2;
  uint32_t version = kVersion;
  std::array<uint32_t, 7> words{};
  uint32_t checked = 0;  // 1 checked
  ByteBlock picture;
  ByteBlock font;
  std::string caption;
  std::string text2;
  std::string text3;
  bool operator==(const CheckBoxData&) const = default;
};

struct ComboBoxData {
  static constexpr uint32_t kVersion = 3;
  uint32_t version = kVersion;
  uint32_t kind = 1;  // 0 simple, 1 drop-down, 2 drop-down list
  uint32_t maxTextLength = 0;
  uint32_t selectionStart = 0;
  uint32_t selectionLength = 0;
  uint32_t sorted = 0;
  uint32_t extraItemHeight = 0;
  uint32_t furtherWord = 0;
  uint32_t backColor = kWhite;
  int32_t selectedIndex = -1;  // clamped to -1 .. item count - 1 on creation
  ByteBlock picture;
  ByteBlock font;
  std::string content;
  std::vector<std::string> items;
  std::string text2;
  std::string text3;
  uint32_t lastWord = 0;
  bool operator==(const ComboBoxData&) const = default;
};

struct ColorPickerData {
  static constexpr uint32_t kVersion = 1;
  uint32_t version = kVersion;
  uint32_t color = 0;
  uint32_t allowTransparent = 0;
  bool operator==(const ColorPickerData&) const = default;
};

struct PicBoxData {
  static constexpr uint32_t kVersion = 2;
  uint32_t version = kVersion;
  uint32_t border = 0;
  uint32_t backColor = kDefaultColor;
  uint32_t displayMode = 0;
  uint32_t animate = 1;
  ByteBlock picture;
  std::string text1;
  std::string text2;
  bool operator==(const PicBoxData&) const = default;
};

// The words are the draw panel's properties 8, 9 and 11 to 21, in that order.
struct DrawPanelData {
  static constexpr uint32_t kVersion = 1;
  uint32_t version = kVersion;
  uint32_t border = 0;
  uint32_t backColor = kDefaultColor;
  uint32_t backPictureMode = 1;
  uint32_t autoRedraw = 0;
  uint32_t drawingUnit = 0;
  uint32_t penType = 1;
  uint32_t drawMode = 12;
  uint32_t penWidth = 0;
  uint32_t penColor = 0;
  uint32_t brushType = 1;
  uint32_t brushColor = kWhite;
  uint32_t textColor = 0;
  uint32_t textBackColor = kDefaultColor;
  ByteBlock font;  // a 60-byte LOGFONT, empty = none set
  ByteBlock backPicture;
  bool operator==(const DrawPanelData&) const = default;
};

struct CommonDlgData {
  static constexpr uint32_t kVersion = 1;
  uint32_t version = kVersion;
  uint32_t kind = 0;  // 0 open a file, 1 save a file, 2 choose a font
  std::array<uint32_t, 14> words{};
  std::array<std::string, 7> texts;
  bool operator==(const CommonDlgData&) const = default;
};

struct DropTargetData {
  static constexpr uint32_t kVersion = 1;
  uint32_t version = kVersion;
  uint32_t acceptText = 1;
  uint32_t acceptHtml = 1;
  uint32_t acceptUrl = 1;
  uint32_t acceptFiles = 1;
  bool operator==(const DropTargetData&) const = default;
};

// Defined for each struct above. A failed read gives nullopt and the broken rule in *error.
template <class Data>
std::optional<Data> ReadTypeData(std::span<const uint8_t> block, std::string* error = nullptr);
// Writes the block at the struct's version (older versions are written with all fields).
template <class Data>
ByteBlock WriteTypeData(const Data& data);

// A 60-byte LOGFONT: height, width, escapement, orientation, weight, italic, underline,
// strike-out, character set, the three precision/quality bytes and pitch, a 32-byte face.
struct LogFontFields {
  int32_t height = 0;
  int32_t weight = 400;
  uint8_t charSet = 134;  // GB2312
  std::string face;       // GBK, at most 31 bytes
};
ByteBlock MakeLogFont(const LogFontFields& fields);

}  // namespace quorlin::forms
