// The save step: what happens to each finished card, by the save mode. No mode shows a
// message or reports a failure.
#pragma once

#include <cstdint>
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

// Whether an ID names a single file in the program's folder: no '/', '\' or ':' byte (a
// double-byte character whose second byte is '\' counts too) and not "." or "..". Any other
// ID would reach outside the folder or a drive, and that card is not written at all.
bool IsPlainFileStem(std::string_view id);

}  // namespace quorlin::app
