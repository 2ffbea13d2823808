// The card command's arguments: what is taken, and what is bad usage.
#include <gtest/gtest.h>

#include "tools/card_tool/card_options.h"

namespace quorlin::card_tool {
namespace {

TEST(CardArguments, OptionsTakeTheirValuesInBothFormsAndIdsKeepTheirOrder) {
  const ParsedArguments parsed =
      ParseCardArguments({"abc", "--out", "cards", "--format=png", "张三", "--config", "my.ini", "-", "x"});
  ASSERT_TRUE(parsed.options) << parsed.problem;
  const CardOptions& options = *parsed.options;
  EXPECT_EQ(options.outFolder, "cards");
  EXPECT_EQ(options.format, CardFormat::Png);
  EXPECT_EQ(options.configFile, "my.ini");
  EXPECT_FALSE(options.smallCard.has_value());
  EXPECT_EQ(options.ids, (std::vector<std::string>{"abc", "张三", "-", "x"}));
}

TEST(CardArguments, TheLastOfSmallAndFullWinsAndBmpIsTheDefault) {
  const ParsedArguments small = ParseCardArguments({"--full", "--small", "a"});
  ASSERT_TRUE(small.options);
  EXPECT_EQ(small.options->smallCard, std::optional<bool>(true));
  EXPECT_EQ(small.options->format, CardFormat::Bmp);
  const ParsedArguments full = ParseCardArguments({"--small", "a", "--full"});
  ASSERT_TRUE(full.options);
  EXPECT_EQ(full.options->smallCard, std::optional<bool>(false));
}

TEST(CardArguments, AfterTheDoubleDashEverythingIsAnId) {
  const ParsedArguments parsed = ParseCardArguments({"--", "--small", "-x"});
  ASSERT_TRUE(parsed.options) << parsed.problem;
  EXPECT_FALSE(parsed.options->smallCard.has_value());
  EXPECT_EQ(parsed.options->ids, (std::vector<std::string>{"--small", "-x"}));
}

TEST(CardArguments, HelpAndVersionNeedNoId) {
  EXPECT_TRUE(ParseCardArguments({"--help"}).options->help);
  EXPECT_TRUE(ParseCardArguments({"--version"}).options->version);
}

TEST(CardArguments, BadUsageSaysWhy) {
  const struct {
    std::vector<std::string> arguments;
    std::string problem;
  } rows[] = {
      {{}, "no ID given"},
      {{"--small"}, "no ID given"},
      {{"--bogus", "a"}, "unknown option --bogus"},
      {{"-x", "a"}, "unknown option -x"},
      {{"--format", "gif", "a"}, "unknown format gif (bmp or png)"},
      {{"a", "--out"}, "--out needs a value"},
      {{"--out=", "a"}, "--out needs a value"},
      {{"--small=1", "a"}, "--small takes no value"},
  };
  for (const auto& row : rows) {
    const ParsedArguments parsed = ParseCardArguments(row.arguments);
    EXPECT_FALSE(parsed.options) << row.problem;
    EXPECT_EQ(parsed.problem, row.problem);
  }
}

}  // namespace
}  // namespace quorlin::card_tool
