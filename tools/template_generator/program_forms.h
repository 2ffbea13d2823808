// The description of the program's two windows, unit by unit, as the generator writes them.
// Texts here are UTF-8; they are stored as GBK. Handler fields hold handler offsets.
#pragma once

#include <vector>

#include "runtime/forms/template/form_template.h"

namespace quorlin::tools {

std::vector<forms::LoadedForm> ProgramForms();

}  // namespace quorlin::tools
