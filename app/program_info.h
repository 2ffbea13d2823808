// The program information block this program carries for the kernel.
#pragma once

#include "runtime/kernel/program_info.h"

namespace quorlin::app {

inline constexpr uint32_t MainWindowFormId = 0x52010001;
inline constexpr uint32_t SettingsWindowFormId = 0x52011988;

const ProgramInfoBlock& ProgramInfo();

}  // namespace quorlin::app
