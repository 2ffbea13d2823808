// The card command's arguments: options, then member IDs (or "-" for IDs one per line from
// standard input).
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace quorlin::card_tool {

enum class CardFormat { Bmp, Png };

struct CardOptions {
  std::string outFolder;                 // empty: the current folder
  CardFormat format = CardFormat::Bmp;
  std::optional<bool> smallCard;         // --small / --full; none: the setting decides
  std::string configFile;                // empty: the program's quorlin.ini
  bool help = false;
  bool version = false;
  std::vector<std::string> ids;          // UTF-8, as given; "-" stands for standard input
};

struct ParsedArguments {
  std::optional<CardOptions> options;  // none: bad usage
  std::string problem;                 // why, for the usage message
};

// argv without the program name. "--" ends the options; "--name=value" and "--name value" are
// both taken. Bad usage: an unknown option, an option without its value, a format other than
// bmp or png, or no ID at all (unless --help or --version).
ParsedArguments ParseCardArguments(const std::vector<std::string>& arguments);

// The usage text, ending in a line break.
const char* CardUsage();

}  // namespace quorlin::card_tool
