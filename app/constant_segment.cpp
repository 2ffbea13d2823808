#include "app/constant_segment.h"

// Bounds the linker provides for a section whose name is a C identifier.
extern "C" const uint8_t __start_quorlin_constants[];
extern "C" const uint8_t __stop_quorlin_constants[];

namespace quorlin::app {

const uint8_t* ConstantSegmentStart() { return __start_quorlin_constants; }

uint32_t ConstantSegmentLength() {
  return static_cast<uint32_t>(__stop_quorlin_constants - __start_quorlin_constants);
}

}  // namespace quorlin::app
