// The core library's information block: the library of the basic commands, the controls and
// the drawing, automation and picture types (library number 1).
#pragma once

#include "runtime/kernel/program_info.h"

namespace quorlin {

const LibraryInfoBlock& CoreLibraryInfo();

}  // namespace quorlin
