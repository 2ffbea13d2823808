// Parts of the program built as shared objects of their own and loaded the first time they are
// needed: a run that never opens a desktop window or never makes a request never maps the
// libraries behind them.
//
// A module is found through the program's run path: beside the program in its build folder,
// in ../lib/quorlin/ when installed.
#pragma once

#include <string>

namespace quorlin::platform {

// The address of the exported `symbol` of the program module `name` ("quorlin-http" for
// quorlin-http.so), loading the module on first use and keeping it loaded. Null with the
// reason in `error` when the module or the symbol cannot be had. Thread-safe.
void* ProgramModuleEntry(const std::string& name, const char* symbol, std::string& error);

}  // namespace quorlin::platform
