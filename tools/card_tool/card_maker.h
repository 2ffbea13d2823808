// One card made by the window program's own card generation on the headless display: the ID
// goes into the ID box, the generate button's handler runs with nothing saved, and the card is
// the picture the handler hands to its save step.
#pragma once

#include <optional>

#include "app/support/runtime_calls.h"
#include "tools/card_tool/card_ids.h"
#include "tools/card_tool/card_requests.h"

namespace quorlin::card_tool {

class CardMaker {
 public:
  // After the main window has loaded the settings. `smallCard` overrides the small-card
  // setting when given; the save mode becomes "nothing" in memory (the settings file is never
  // written).
  explicit CardMaker(std::optional<bool> smallCard);
  ~CardMaker();
  CardMaker(const CardMaker&) = delete;
  CardMaker& operator=(const CardMaker&) = delete;

  struct Card {
    app::OwnedBytes picture;     // the BMP bytes the save step received; empty when it got none
    bool messageShown = false;  // the generation showed a message box
  };
  Card Make(const CardId& id, const CardReplies& replies);
};

}  // namespace quorlin::card_tool
