// Identifiers and data types of window templates.
//
// Bits 24 to 27 of an id give its kind (2 form, 6 unit, 9 code module); bits 28 to 31 divide
// units (0 the window unit of a form, 1 a control, 2 a menu item). An id is valid only when both
// its low 24 bits and its kind bits are non-zero.
#pragma once

#include <cstdint>

namespace quorlin::forms {

inline constexpr uint32_t kIdKindForm = 2;
inline constexpr uint32_t kIdKindUnit = 6;
inline constexpr uint32_t kIdKindCodeModule = 9;

inline constexpr uint32_t kUnitClassWindow = 0;
inline constexpr uint32_t kUnitClassControl = 1;
inline constexpr uint32_t kUnitClassMenuItem = 2;

constexpr uint32_t IdKind(uint32_t id) { return (id >> 24) & 0xF; }
constexpr uint32_t IdUnitClass(uint32_t id) { return id >> 28; }
constexpr uint32_t IdNumber(uint32_t id) { return id & 0xFFFFFF; }
constexpr bool IsValidId(uint32_t id) { return IdNumber(id) != 0 && IdKind(id) != 0; }
constexpr bool IsFormId(uint32_t id) { return IsValidId(id) && IdKind(id) == kIdKindForm; }
constexpr bool IsUnitId(uint32_t id) { return IsValidId(id) && IdKind(id) == kIdKindUnit; }
constexpr bool IsWindowUnitId(uint32_t id) { return IsUnitId(id) && IdUnitClass(id) == kUnitClassWindow; }
constexpr bool IsMenuItemId(uint32_t id) { return IsUnitId(id) && IdUnitClass(id) == kUnitClassMenuItem; }

// Data types: library number in the high 16 bits, type number in the low 16 bits.
constexpr uint32_t DataType(uint32_t library, uint32_t type) { return (library << 16) | type; }
inline constexpr uint32_t kTypeWindow = DataType(1, 1);
inline constexpr uint32_t kTypeMenuItem = DataType(1, 3);
inline constexpr uint32_t kTypeEditBox = DataType(1, 5);
inline constexpr uint32_t kTypePicBox = DataType(1, 6);
inline constexpr uint32_t kTypeDrawPanel = DataType(1, 8);
inline constexpr uint32_t kTypeLabel = DataType(1, 10);
inline constexpr uint32_t kTypeButton = DataType(1, 11);
inline constexpr uint32_t kTypeCheckBox = DataType(1, 12);
inline constexpr uint32_t kTypeComboBox = DataType(1, 14);
inline constexpr uint32_t kTypeColorPicker = DataType(1, 28);
inline constexpr uint32_t kTypeCommonDlg = DataType(1, 31);
inline constexpr uint32_t kTypeDropTarget = DataType(5, 1);

// State flags of a unit record.
inline constexpr uint32_t kStateVisible = 1u << 0;
inline constexpr uint32_t kStateDisabled = 1u << 1;
inline constexpr uint32_t kStateFocusable = 1u << 2;

// The handler offset that means "no handler".
inline constexpr uint32_t kNoHandlerOffset = 0xFFFFFFFF;

}  // namespace quorlin::forms
