// Where and how the card's two text lines go on the 580 × 385 canvas. Each line is centred on
// x 290 assuming a fixed width per byte of the system code page (9.5 pixels for the ID line,
// 10 for the age line); the glyphs themselves are not measured.
#pragma once

#include <cstdint>

#include "app/support/runtime_calls.h"

namespace quorlin::app {

inline constexpr int32_t kIdLineY = 265;
inline constexpr int32_t kAgeLineY = 310;
inline constexpr int32_t kIdLinePoints = 16;
inline constexpr int32_t kAgeLinePoints = 14;

// The byte length of a text (the runtime's TextLength).
int32_t TextLength(const char* text);

// trunc(290 − n / 2 × 9.5) and trunc(290 − m / 2 × 10) for the lines' byte lengths.
int32_t IdLineX(int32_t byteLength);
int32_t AgeLineX(int32_t byteLength);

// The ID as the card shows it: an ID of more than 18 bytes becomes its first 16 bytes (a
// double-byte character may be cut in two) followed by "...".
OwnedText ShownIdText(const char* id);
// "吧龄: ", the age, "年".
OwnedText AgeLineText(const char* age);

}  // namespace quorlin::app
