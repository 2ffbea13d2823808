// Brings the platform stand-in up once per process, before the runtime starts: every piece
// registers its built-in module exports.
#pragma once

namespace quorlin::platform {

void StartPlatform();

}  // namespace quorlin::platform
