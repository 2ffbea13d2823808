// The property numbers (and font members) the program's handlers use.
#pragma once

#include <cstdint>

namespace quorlin::app::property {

inline constexpr int32_t kWidth = 2;
inline constexpr int32_t kHeight = 3;
inline constexpr int32_t kVisible = 5;

inline constexpr int32_t kWindowTitle = 8;
inline constexpr int32_t kEditContent = 8;
inline constexpr int32_t kPicBoxBackColor = 9;
inline constexpr int32_t kPicBoxPicture = 10;
inline constexpr int32_t kPanelBackPicture = 10;
inline constexpr int32_t kPanelFont = 22;
inline constexpr int32_t kCheckBoxChecked = 18;
inline constexpr int32_t kComboCurrentIndex = 19;
inline constexpr int32_t kPickerCurrentColor = 8;
inline constexpr int32_t kDialogKind = 8;
inline constexpr int32_t kDialogFileName = 10;
inline constexpr int32_t kDialogFilter = 11;
inline constexpr int32_t kDialogFontFace = 25;

// Members of a font property.
inline constexpr int32_t kFontBold = 1;
inline constexpr int32_t kFontSize = 5;
inline constexpr int32_t kFontFace = 6;

// Common dialog kinds.
inline constexpr int32_t kOpenFileDialog = 0;
inline constexpr int32_t kSaveFileDialog = 1;
inline constexpr int32_t kFontDialog = 2;

}  // namespace quorlin::app::property
