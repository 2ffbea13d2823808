// The pure conversions of the desktop display: keys and exchanged bytes.
#include <gtest/gtest.h>

#include <string>

#include "platform/display/desktop/exchange_formats.h"
#include "platform/display/desktop/key_mapping.h"
#include "platform/user/virtual_keys.h"

namespace quorlin::platform {
namespace {

constexpr int kQtKeyEscape = 0x01000000, kQtKeyReturn = 0x01000004, kQtKeyLeft = 0x01000012, kQtKeyF5 = 0x01000034;

TEST(DesktopKeys, QtKeysBecomeVirtualKeys) {
  const struct {
    int qtKey;
    bool keypad;
    BYTE expected;
  } rows[] = {
      {'A', false, 'A'},          {'7', false, '7'},           {'7', true, VK_NUMPAD0 + 7},
      {'*', true, VK_MULTIPLY},   {'*', false, '8'},           {';', false, VK_OEM_1},
      {kQtKeyEscape, false, VK_ESCAPE}, {kQtKeyReturn, false, VK_RETURN}, {kQtKeyLeft, false, VK_LEFT},
      {kQtKeyF5, false, 0x74},    {0x01FFFFFF, false, 0},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(VirtualKeyOfQtKey(row.qtKey, row.keypad), row.expected) << std::hex << row.qtKey;
  }
}

// TranslateMessage gives a plain key its character; everything else travels as characters so
// that nothing arrives twice or in the wrong case.
TEST(DesktopKeys, TextTravelsOnceWhateverTheKey) {
  const struct {
    BYTE vk;
    std::u16string text;
    bool ctrlOrAlt;
    BYTE keyDown;
    std::string characters;
  } rows[] = {
      {'A', u"a", false, 'A', ""},                      // TranslateMessage types the 'a'
      {'A', u"A", false, VK_PROCESSKEY, "A"},           // shifted: the capital itself
      {'1', u"!", false, VK_PROCESSKEY, "!"},
      {VK_RETURN, u"\r", false, VK_RETURN, ""},
      {'C', u"\x03", true, 'C', ""},                    // Ctrl+C: the key alone
      {0, u"\u4E2D", false, VK_PROCESSKEY, "\xD6\xD0"}, // 中 in GBK
      {VK_LEFT, u"", false, VK_LEFT, ""},
  };
  for (const auto& row : rows) {
    const KeyPress press = KeyPressOf(row.vk, row.text, row.ctrlOrAlt);
    EXPECT_EQ(press.keyDown, row.keyDown) << int(row.vk);
    EXPECT_EQ(press.characters, row.characters) << int(row.vk);
  }
}

// The header's offsets must point at the fragment marks and the end, as readers rely on them.
TEST(DesktopExchange, HtmlFormatOffsetsPointIntoTheBytes) {
  const std::vector<BYTE> bytes = HtmlFormatOf("<b>\xE4\xB8\xAD</b>");
  const std::string all(bytes.begin(), bytes.end());
  auto offset = [&](const std::string& name) { return std::stoul(all.substr(all.find(name) + name.size(), 10)); };
  ASSERT_EQ(all.rfind("Version:0.9\r\n", 0), 0u);
  EXPECT_EQ(all.substr(offset("StartHTML:"), 6), "<html>");
  EXPECT_EQ(offset("EndHTML:"), all.size());
  EXPECT_EQ(all.substr(offset("StartFragment:"), offset("EndFragment:") - offset("StartFragment:")),
            "<b>\xE4\xB8\xAD</b>");
  EXPECT_EQ(HtmlOfHtmlFormat(bytes), "<b>\xE4\xB8\xAD</b>");
}

TEST(DesktopExchange, HtmlOfBrokenHeaderFallsBackToTheText) {
  const std::string text = "Version:0.9\r\nStartFragment:999999\r\nEndFragment:1000000\r\n<p>x</p>";
  EXPECT_EQ(HtmlOfHtmlFormat(std::vector<BYTE>(text.begin(), text.end())), text);
}

TEST(DesktopExchange, DibAndBmpFileRoundTrip) {
  // A 2 × 1 DIB of 8 bits with a two-colour table.
  std::vector<BYTE> dib(40 + 8 + 4, 0);
  dib[0] = 40;
  dib[4] = 2;
  dib[8] = 1;
  dib[12] = 1;
  dib[14] = 8;
  dib[32] = 2;  // colours used
  const auto file = BmpFileOfDib(dib);
  ASSERT_TRUE(file);
  EXPECT_EQ((*file)[0], 'B');
  EXPECT_EQ((*file)[10], 14 + 40 + 8);  // the pixels start after the colour table
  EXPECT_EQ(DibOfBmpFile(*file), dib);
  EXPECT_FALSE(BmpFileOfDib(std::vector<BYTE>(10, 0)));
  dib[0] = 200;  // a header longer than the bytes
  EXPECT_FALSE(BmpFileOfDib(dib));
}

TEST(DesktopExchange, FilterPairsBecomeNameFilters) {
  EXPECT_EQ(NameFilterOf({"Pictures", "*.jpg;*.png"}), "Pictures (*.jpg *.png)");
  EXPECT_EQ(NameFilterOf({"", "*.txt"}), "*.txt (*.txt)");
}

}  // namespace
}  // namespace quorlin::platform
