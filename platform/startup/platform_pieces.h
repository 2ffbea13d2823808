// The pieces of the platform every process needs, whatever its display: each registers its
// built-in module exports and classes. StartPlatform and StartHeadlessPlatform run it once.
#pragma once

namespace quorlin::platform {

void RegisterPlatformPieces();

}  // namespace quorlin::platform
