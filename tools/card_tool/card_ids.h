// Member IDs as the card command receives them (UTF-8, from the arguments or standard input)
// and as the program uses them (the system code page, GBK).
#pragma once

#include <istream>
#include <string>
#include <string_view>
#include <vector>

namespace quorlin::card_tool {

struct CardId {
  std::string given;     // as given, for the output lines
  std::string gbk;       // the ID the card is made for
  std::string fileName;  // the card's file name without its ending: the ID back in UTF-8
  bool usable = false;   // false: a bad ID, no card is made
};

// The IDs in order, each "-" replaced by the lines of `in` (a CR before the line break is
// dropped; empty lines are skipped).
std::vector<std::string> CollectIds(const std::vector<std::string>& arguments, std::istream& in);

// Not usable: not valid UTF-8, empty, holding a control character or a character GBK cannot
// hold, or not a name the window program would save a card under beside itself.
CardId PrepareCardId(std::string_view utf8);

}  // namespace quorlin::card_tool
