// The program's window template data segment (the main window and the settings window),
// generated at build time and embedded in the executable.
#pragma once

#include <cstdint>

namespace quorlin::app {

inline constexpr uint32_t kMainWindowFormId = 0x52010001;
inline constexpr uint32_t kSettingsWindowFormId = 0x52011988;

const uint8_t* TemplateData();
uint32_t TemplateDataLength();

}  // namespace quorlin::app
