// GUID texts: parsing never reads past its input, and whatever parses prints back to a text
// that parses to the same GUID.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "platform/com/guid.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const auto guid = quorlin::platform::ParseGuid(text);
  if (!guid) return 0;
  const std::string printed = quorlin::platform::FormatGuid(*guid);
  const auto again = quorlin::platform::ParseGuid(printed);
  if (printed.size() != 38 || !again || !(*again == *guid)) std::abort();
  return 0;
}
