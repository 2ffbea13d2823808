// The program information block the program carries for the kernel, and the information block
// of each linked support library. On our 64-bit build address fields are native pointers.
#pragma once

#include <cstddef>
#include <cstdint>

#include "runtime/kernel/host_service.h"

namespace quorlin {

struct UnitTypeInfo;  // a data type record, defined by the library that owns the type

struct LibraryInfoBlock {
  uint32_t format = 0;
  const char* guidText = nullptr;
  uint32_t majorVersion = 0;
  uint32_t minorVersion = 0;
  const char* displayName = nullptr;
  uint32_t dataTypeCount = 0;
  const UnitTypeInfo* const* dataTypes = nullptr;  // dataTypeCount records, type number n at n - 1
  LibraryNotifyEntry notify = nullptr;
};

struct ProgramInfoBlock {
  uint32_t runMode = 0;
  uint32_t runSubMode = 0;
  uint32_t buildNumber = 0;
  uintptr_t codeBase = 0;  // event handler offsets of the templates are relative to it
  const uint8_t* constantStart = nullptr;
  uint32_t constantLength = 0;
  const uint8_t* templateStart = nullptr;
  uint32_t templateLength = 0;
  uint32_t libraryCount = 0;
  const LibraryInfoBlock* const* libraries = nullptr;
  uint32_t dllCommandCount = 0;
  const char* const* dllFileNames = nullptr;      // "" = search the default libraries
  const char* const* dllFunctionNames = nullptr;  // "#n" = ordinal n
};

}  // namespace quorlin
