// Reads the template data segment: the form directory, then one form record per form with its
// unit table. Handler offsets become addresses: 0xFFFFFFFF → 0, any other v → codeBase + v.
//
// Malformed data (a short read, a length past what remains, an invalid or repeated id, an offset
// outside the unit table, a record whose fields overrun its length, a parent or event-source
// chain that loops, bytes after the last form) fails with a message naming the broken rule, and
// `forms` is left as it was.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "runtime/forms/template/form_template.h"

namespace quorlin::forms {

bool ReadTemplateSegment(const uint8_t* data, size_t length, uintptr_t codeBase, FormTable& forms,
                         std::string* error = nullptr);

}  // namespace quorlin::forms
