// Runtime texts (system code page, GBK) to BSTRs and back.
#pragma once

#include <string_view>

#include "platform/com/oleauto.h"

namespace quorlin::automation {

// A new BSTR of the text converted to UTF-16; null only when out of memory.
BSTR BstrFromText(std::string_view text);
// A new runtime text block of the BSTR converted to the system code page, up to its first NUL
// character; null for an empty string.
char* NewTextFromBstr(BSTR bstr);

}  // namespace quorlin::automation
