// The program-wide settings: one set of values, alive for the whole run, read and written
// directly by every handler of the program.
#pragma once

#include <cstdint>

#include "app/support/runtime_calls.h"

namespace quorlin::app {

inline constexpr int32_t kWhite = 16777215;

struct AppSettings {
  AppSettings();

  int32_t borderColour = 0;    // the portrait frame's colour, 0x00BBGGRR
  int32_t onlineAvatar = 0;    // 1: the portrait comes from the portrait host
  OwnedText avatarPath;        // the local portrait picture's path
  OwnedBytes localAvatarBytes; // and its bytes
  OwnedText fontFace;          // face of the card texts ("宋体" until loaded)
  int32_t smallCard = 0;       // 1: the saved card is the 300 × 300 square
  int32_t saveMode = 0;        // 0 clipboard, 1 program folder, 2 save dialog, 3 nothing
};

// The program's settings (made on first use).
AppSettings& Settings();

// The start of the program's globals: the settings are made, and their release is handed to
// the kernel as the program's clean-up routine, which runs once at a normal end, after the last
// window is gone.
void InitialiseGlobals();

}  // namespace quorlin::app
