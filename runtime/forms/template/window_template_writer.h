// Writes a template data segment, the exact inverse of ReadTemplateSegment. Here the handler
// fields of the records are offsets relative to the code base (kNoHandlerOffset = none). Used
// at build time and by tests.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "runtime/forms/template/form_template.h"

namespace quorlin::forms {

// Fails (with the reason in *error) on what the format cannot hold: a handler offset or live
// object beyond 32 bits, a NUL inside a NUL-terminated text.
std::optional<std::vector<uint8_t>> WriteTemplateSegment(std::span<const LoadedForm> forms,
                                                          std::string* error = nullptr);

}  // namespace quorlin::forms
