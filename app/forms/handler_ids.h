// The application's event handlers as the window templates name them: each value is the handler
// offset stored in the templates, relative to the program's code base, where the application
// keeps its handler table.
#pragma once

#include <cstdint>

namespace quorlin::app {

enum class HandlerId : uint32_t {
  LoadSettings = 0,   // main window created
  GenerateCard,       // 按钮1 clicked
  OpenSettings,       // 按钮4 clicked
  ChooseBackground,   // 按钮3 clicked
  ChooseFont,         // 按钮2 clicked
  DropOnCard,         // 拖放对象1 files dropped
  DropOnPortrait,     // 拖放对象2 files dropped
  ChoosePortrait,     // settings window: 按钮2 clicked
  ShowSettings,       // settings window created
  ApplySettings,      // settings window being destroyed
  MainWindowClosed,   // main window being destroyed
};

inline constexpr uint32_t kHandlerCount = static_cast<uint32_t>(HandlerId::MainWindowClosed) + 1;

}  // namespace quorlin::app
