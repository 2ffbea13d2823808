// The program's own card background: a baseline JPEG of 800 × 600 pixels, three components,
// drawn by tools/background_generator at build time. A byte-set block in the constant segment,
// handed to BackPicture as it is.
#pragma once

namespace quorlin::app {

const void* BuiltInBackground();

}  // namespace quorlin::app
