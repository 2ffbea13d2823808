// The application's constants (texts, byte-set constants, pictures) live in one linker section,
// quorlin_constants, whose bounds are the program's constant segment: the kernel never frees a
// block inside it, so constants are handed around without copying.
#pragma once

#include <cstdint>

#define QUORLIN_CONSTANT __attribute__((section("quorlin_constants"), used))

namespace quorlin::app {

const uint8_t* ConstantSegmentStart();
uint32_t ConstantSegmentLength();

}  // namespace quorlin::app
