// Making every card of one run, on the window thread once the main window has loaded its
// settings: the requests overlap, the cards are made and written in input order.
#pragma once

#include <filesystem>
#include <vector>

#include "tools/card_tool/card_ids.h"
#include "tools/card_tool/card_options.h"

namespace quorlin::card_tool {

// One line per card on standard output (ID, tab, path), one per failure on standard error (ID,
// tab, reason); a progress bar on standard error when it is a terminal and there are more than
// ten IDs. The cards go into `outFolder` (absolute: the runtime works in the program's folder);
// the lines show them under the folder as the options give it. The exit status: 0 when every
// card was written, else 1.
int MakeCards(const CardOptions& options, const std::filesystem::path& outFolder, const std::vector<CardId>& ids);

}  // namespace quorlin::card_tool
