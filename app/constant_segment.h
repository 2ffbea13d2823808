// The application's constants (texts, byte-set constants, pictures) live in one linker section,
// quorlin_constants, whose bounds are the program's constant segment: the kernel never frees a
// block inside it, so constants are handed around without copying.
#pragma once

#include <cstdint>

#define QUORLIN_CONSTANT __attribute__((section("quorlin_constants"), used))
// For a header's declaration of such a constant: a later definition may not add the section.
#define QUORLIN_CONSTANT_DECLARATION __attribute__((section("quorlin_constants")))

namespace quorlin::app {

const uint8_t* ConstantSegmentStart();
uint32_t ConstantSegmentLength();

}  // namespace quorlin::app
