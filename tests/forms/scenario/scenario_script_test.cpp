#include "runtime/forms/scenario/scenario_script.h"

#include <gtest/gtest.h>

#include "platform/user/virtual_keys.h"

namespace quorlin::forms {
namespace {

struct GoodStep {
  const char* name;
  const char* line;
  StepKind kind;
  const char* unit;
  const char* text;
  uint32_t number;
};

TEST(ScenarioScript, ReadsEveryStepWithItsFields) {
  const GoodStep rows[] = {
      {"click", "click 按钮1", StepKind::Click, "按钮1", "", 0},
      {"leading blanks", " \t focus 编辑框1  ", StepKind::Focus, "编辑框1", "", 0},
      {"type keeps the rest verbatim", "type  a #b  ", StepKind::Type, "", " a #b  ", 0},
      {"close keeps the spaces of the title", "close Quorlin    - by Tamsk", StepKind::Close, "",
       "Quorlin    - by Tamsk", 0},
      {"wait", "wait 250", StepKind::Wait, "", "", 250},
      {"longest wait", "wait 600000", StepKind::Wait, "", "", 600000},
      {"meanwhile", "meanwhile 1000", StepKind::Meanwhile, "", "", 1000},
      {"quit", "quit", StepKind::Quit, "", "", 0},
      {"prop", "prop 编辑框1 8", StepKind::Prop, "编辑框1", "", 8},
      {"shot of the screen", "shot out.png", StepKind::Shot, "", "out.png", 0},
      {"shot of a unit", "shot out.BMP 画板2", StepKind::Shot, "画板2", "out.BMP", 0},
      {"clipboard", "clipboard card.bmp", StepKind::Clipboard, "", "card.bmp", 0},
      {"answer open", "answer open /tmp/a b.jpg", StepKind::Answer, "", "/tmp/a b.jpg", 0},
      {"answer font", "answer font 黑体", StepKind::Answer, "", "黑体", 0},
  };
  for (const GoodStep& row : rows) {
    const ScenarioScript script = ParseScenarioScript(row.line);
    ASSERT_FALSE(script.error) << row.name << ": " << script.error->reason;
    ASSERT_EQ(script.steps.size(), 1u) << row.name;
    const ScenarioStep& step = script.steps[0];
    EXPECT_EQ(step.kind, row.kind) << row.name;
    EXPECT_EQ(step.unit, row.unit) << row.name;
    EXPECT_EQ(step.text, row.text) << row.name;
    EXPECT_EQ(step.number, row.number) << row.name;
    EXPECT_EQ(step.line, 1) << row.name;
  }
}

TEST(ScenarioScript, ReadsKeysAnswersAndDropPaths) {
  const ScenarioScript script = ParseScenarioScript(
      "key Enter\nkey Back\nanswer colour 00ff7F\nanswer cancel\nanswer save out.jpg\n"
      "drop 画板2 /tmp/one picture.jpg\t/tmp/two.png\n");
  ASSERT_FALSE(script.error) << script.error->reason;
  ASSERT_EQ(script.steps.size(), 6u);
  EXPECT_EQ(script.steps[0].virtualKey, VK_RETURN);
  EXPECT_EQ(script.steps[1].virtualKey, VK_BACK);
  EXPECT_EQ(script.steps[2].answer, AnswerKind::Colour);
  EXPECT_EQ(script.steps[2].colour, 0x00FF7Fu);
  EXPECT_EQ(script.steps[3].answer, AnswerKind::Cancel);
  EXPECT_EQ(script.steps[4].answer, AnswerKind::Save);
  EXPECT_EQ(script.steps[4].text, "out.jpg");
  EXPECT_EQ(script.steps[5].unit, "画板2");
  EXPECT_EQ(script.steps[5].paths, (std::vector<std::string>{"/tmp/one picture.jpg", "/tmp/two.png"}));
}

TEST(ScenarioScript, CountsLinesPastCommentsBlanksAndCrLf) {
  const ScenarioScript script = ParseScenarioScript("\xEF\xBB\xBF# start\r\n\r\n   \n  # indented\nclick a\r\nquit");
  ASSERT_FALSE(script.error) << script.error->reason;
  ASSERT_EQ(script.steps.size(), 2u);
  EXPECT_EQ(script.steps[0].line, 5);
  EXPECT_EQ(script.steps[0].unit, "a");
  EXPECT_EQ(script.steps[1].line, 6);
  EXPECT_EQ(script.lineCount, 6);
}

struct BadScript {
  const char* script;
  int line;
  const char* reason;
};

TEST(ScenarioScript, ReportsTheFirstMalformedLineAndKeepsNoSteps) {
  const BadScript rows[] = {
      {"click a\nfrobnicate", 2, "unknown step \"frobnicate\""},
      {"Click a", 1, "unknown step \"Click\""},
      {"click", 1, "click takes one unit name"},
      {"click a b", 1, "click takes one unit name"},
      {"type", 1, "type needs a text"},
      {"type ", 1, "type needs a text"},
      {"close", 1, "close needs a window title"},
      {"key Return", 1, "unknown key \"Return\""},
      {"key", 1, "key takes one key name"},
      {"wait", 1, "wait takes milliseconds from 0 to 600000"},
      {"wait -1", 1, "wait takes milliseconds from 0 to 600000"},
      {"wait 600001", 1, "wait takes milliseconds from 0 to 600000"},
      {"wait 99999999999999999999", 1, "wait takes milliseconds from 0 to 600000"},
      {"meanwhile soon", 1, "meanwhile takes milliseconds from 0 to 600000"},
      {"quit now", 1, "quit takes nothing"},
      {"prop a", 1, "prop takes a unit name and a property index"},
      {"prop a x", 1, "prop takes a unit name and a property index"},
      {"shot", 1, "shot takes a file and an optional unit name"},
      {"shot a.jpg", 1, "shot writes a .png or .bmp file"},
      {"shot a.png u v", 1, "shot takes a file and an optional unit name"},
      {"clipboard", 1, "clipboard takes one file"},
      {"drop a", 1, "drop takes a unit name and paths"},
      {"drop a x\t\ty", 1, "drop has an empty path"},
      {"answer", 1, "answer takes open, save, font, colour or cancel"},
      {"answer open", 1, "answer open needs a value"},
      {"answer colour 12345", 1, "answer colour takes RRGGBB"},
      {"answer colour 12345G", 1, "answer colour takes RRGGBB"},
      {"answer cancel now", 1, "answer cancel takes nothing"},
      {"quit\nclick \xC3\x28", 2, "the line is not UTF-8"},
      {"click \xED\xA0\x80", 1, "the line is not UTF-8"},       // a surrogate
      {"click \xC0\xAF", 1, "the line is not UTF-8"},           // overlong
      {"type a\rb", 1, "the line holds a control character"},
  };
  for (const BadScript& row : rows) {
    const ScenarioScript script = ParseScenarioScript(row.script);
    ASSERT_TRUE(script.error) << row.script;
    EXPECT_EQ(script.error->line, row.line) << row.script;
    EXPECT_EQ(script.error->reason, row.reason) << row.script;
    EXPECT_TRUE(script.steps.empty()) << row.script;
  }
}

TEST(ScenarioScript, NulInsideALineIsRefused) {
  const ScenarioScript script = ParseScenarioScript(std::string_view("type a\0b", 8));
  ASSERT_TRUE(script.error);
  EXPECT_EQ(script.error->reason, "the line holds a control character");
}

TEST(ScenarioScript, ATooLargeScriptIsRefusedAsAWhole) {
  const ScenarioScript script = ParseScenarioScript(std::string(MaxScriptBytes + 1, '#'));
  ASSERT_TRUE(script.error);
  EXPECT_EQ(script.error->line, 0);
}

}  // namespace
}  // namespace quorlin::forms
