#include "app/program_info.h"

#include <iterator>

#include "app/constant_segment.h"
#include "app/forms/template_data.h"
#include "app/handler_table.h"
#include "app/support/dll_commands.h"
#include "runtime/corelib/core_library.h"

namespace quorlin::app {
namespace {

// Library numbers are fixed by the data types that name them (the drop target is library 5);
// the slots of libraries this program links but never calls stay empty.
const LibraryInfoBlock* kLibraries[6];

}  // namespace

const ProgramInfoBlock& ProgramInfo() {
  static const ProgramInfoBlock info = [] {
    kLibraries[0] = &CoreLibraryInfo();
    ProgramInfoBlock block;
    block.runMode = 3;
    block.runSubMode = 0;
    block.buildNumber = 112622;
    block.codeBase = reinterpret_cast<uintptr_t>(HandlerTable());
    block.constantStart = ConstantSegmentStart();
    block.constantLength = ConstantSegmentLength();
    block.templateStart = TemplateData();
    block.templateLength = TemplateDataLength();
    block.libraryCount = 6;
    block.libraries = kLibraries;
    block.dllCommandCount = kDllCommandCount;
    block.dllFileNames = DllFileNames();
    block.dllFunctionNames = DllFunctionNames();
    return block;
  }();
  return info;
}

}  // namespace quorlin::app
