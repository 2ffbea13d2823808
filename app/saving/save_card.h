// The save step: what happens to each finished card, by the save mode. No mode shows a
// message or reports a failure.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "app/support/runtime_calls.h"

namespace quorlin::app {

inline constexpr int32_t kSaveToClipboard = 0;
inline constexpr int32_t kSaveBesideProgram = 1;
inline constexpr int32_t kSaveWithDialog = 2;

// 0: the card goes to the clipboard as a bitmap; 1: written beside the program as the ID
// (read again from 编辑框1) followed by ".jpg"; 2: written to the file chosen in a save
// dialog; 3 and any other value: nothing. Files hold the BMP bytes unchanged.
void SaveCard(const OwnedBytes& cardPicture, int32_t saveMode);

// A program that takes the cards for a purpose of its own is shown each card the save step
// receives, before the save mode acts on it; null shows none.
using CardPictureObserver = void (*)(const OwnedBytes& cardPicture);
void ObserveCardPictures(CardPictureObserver observer);

// The name the card of this ID is written under in the program's folder: the ID followed by
// ".jpg". Nothing when that name, read as the system code page's characters, would reach
// outside the folder or a drive: it holds a '/', '\' or ':' character ("." and ".." give the
// plain names "..jpg" and "...jpg"). The byte 0x5C as the second byte of a double-byte
// character (誠, 運 …) is part of that character, not a separator.
std::optional<std::string> CardFileName(std::string_view id);

}  // namespace quorlin::app
