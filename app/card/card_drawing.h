// Drawing the card's texts on the card canvas 画板2 and taking the finished card's picture.
#pragma once

#include <cstdint>

#include "app/support/runtime_calls.h"

namespace quorlin::app {

// The ID line and then the age line, in `fontFace` ("黑体" for the ID line when it is empty).
void DrawCardTexts(const char* id, const char* age, const char* fontFace);

// The card as the window shows it, as BMP bytes: the 300 × 300 square around the portrait
// when `smallCard` is 1, else the whole 580 × 385 canvas.
OwnedBytes TakeCardPicture(int32_t smallCard);

}  // namespace quorlin::app
