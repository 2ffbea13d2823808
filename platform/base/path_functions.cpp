#include "platform/base/path_functions.h"

#include <cstring>

void PathRemoveBlanksA(LPSTR path) {
  if (!path) return;
  const char* first = path;
  while (*first == ' ') ++first;
  size_t length = std::strlen(first);
  while (length > 0 && first[length - 1] == ' ') --length;
  std::memmove(path, first, length);
  path[length] = '\0';
}

int lstrlenA(LPCSTR text) { return text ? static_cast<int>(std::strlen(text)) : 0; }

LPSTR lstrcpynA(LPSTR destination, LPCSTR source, int maxLength) {
  if (maxLength <= 0) return destination;
  if (!destination || !source) return nullptr;
  const size_t limit = static_cast<size_t>(maxLength) - 1;
  const size_t length = strnlen(source, limit);
  std::memmove(destination, source, length);
  destination[length] = '\0';
  return destination;
}
