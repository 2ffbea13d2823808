#include "tools/card_tool/card_options.h"

#include <string_view>

namespace quorlin::card_tool {
namespace {

ParsedArguments Bad(std::string problem) { return {std::nullopt, std::move(problem)}; }

bool TakesValue(std::string_view name) { return name == "--out" || name == "--format" || name == "--config"; }

}  // namespace

const char* CardUsage() {
  return "usage: quorlin-card [options] ID...\n"
         "       quorlin-card [options] -      (IDs one per line from standard input, UTF-8)\n"
         "Makes each member's card as the Quorlin window program would, with the same quorlin.ini\n"
         "and service hosts, and writes it to a file named after the ID.\n"
         "  --out DIR          write the cards into DIR (default: the current folder)\n"
         "  --format bmp|png   bmp (default): the program's own picture bytes; png: the same pixels\n"
         "  --small, --full    the 300 x 300 square or the whole 580 x 385 card, whatever the\n"
         "                     settings say\n"
         "  --config FILE      take the settings from FILE instead of the program's quorlin.ini\n"
         "  --help, --version  show this text or the version, and write no card\n"
         "Each card written gives ID<TAB>path on standard output, each failure ID<TAB>reason on\n"
         "standard error. Exit status: 0 every card written, 1 some failed, 2 bad usage.\n";
}

ParsedArguments ParseCardArguments(const std::vector<std::string>& arguments) {
  CardOptions options;
  bool optionsEnded = false;
  for (size_t i = 0; i < arguments.size(); ++i) {
    const std::string& argument = arguments[i];
    if (optionsEnded || argument == "-" || argument.empty() || argument[0] != '-') {
      options.ids.push_back(argument);
      continue;
    }
    if (argument == "--") {
      optionsEnded = true;
      continue;
    }
    std::string name = argument;
    std::optional<std::string> value;
    if (const size_t equals = argument.find('='); equals != std::string::npos && argument.starts_with("--")) {
      name = argument.substr(0, equals);
      value = argument.substr(equals + 1);
    }
    if (TakesValue(name)) {
      if (!value) {
        if (i + 1 >= arguments.size()) return Bad(name + " needs a value");
        value = arguments[++i];
      }
      if (value->empty()) return Bad(name + " needs a value");
      if (name == "--out") {
        options.outFolder = *value;
      } else if (name == "--config") {
        options.configFile = *value;
      } else if (*value == "bmp") {
        options.format = CardFormat::Bmp;
      } else if (*value == "png") {
        options.format = CardFormat::Png;
      } else {
        return Bad("unknown format " + *value + " (bmp or png)");
      }
      continue;
    }
    if (value) return Bad(name + " takes no value");
    if (name == "--small") {
      options.smallCard = true;
    } else if (name == "--full") {
      options.smallCard = false;
    } else if (name == "--help" || name == "-h") {
      options.help = true;
    } else if (name == "--version") {
      options.version = true;
    } else {
      return Bad("unknown option " + name);
    }
  }
  if (options.ids.empty() && !options.help && !options.version) return Bad("no ID given");
  return {std::move(options), {}};
}

}  // namespace quorlin::card_tool
