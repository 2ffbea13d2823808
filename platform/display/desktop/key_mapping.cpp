#include "platform/display/desktop/key_mapping.h"

#include "platform/base/code_page.h"
#include "platform/user/virtual_keys.h"

namespace quorlin::platform {
namespace {

// Qt::Key values (qnamespace.h), spelled out so that this file needs no Qt header.
enum QtKey : int {
  kEscape = 0x01000000, kTab = 0x01000001, kBacktab = 0x01000002, kBackspace = 0x01000003,
  kReturn = 0x01000004, kEnter = 0x01000005, kInsert = 0x01000006, kDelete = 0x01000007,
  kPause = 0x01000008, kPrint = 0x01000009, kClear = 0x0100000b, kHome = 0x01000010,
  kEnd = 0x01000011, kLeft = 0x01000012, kUp = 0x01000013, kRight = 0x01000014, kDown = 0x01000015,
  kPageUp = 0x01000016, kPageDown = 0x01000017, kShift = 0x01000020, kControl = 0x01000021,
  kMeta = 0x01000022, kAlt = 0x01000023, kCapsLock = 0x01000024, kNumLock = 0x01000025,
  kScrollLock = 0x01000026, kF1 = 0x01000030, kF12 = 0x0100003b, kMenu = 0x01000055,
  kAltGr = 0x01001103,
};

BYTE PunctuationKey(int key) {
  switch (key) {
    case ';': case ':': return VK_OEM_1;
    case '=': case '+': return VK_OEM_PLUS;
    case ',': case '<': return VK_OEM_COMMA;
    case '-': case '_': return VK_OEM_MINUS;
    case '.': case '>': return VK_OEM_PERIOD;
    case '/': case '?': return VK_OEM_2;
    case '`': case '~': return VK_OEM_3;
    case '[': case '{': return VK_OEM_4;
    case '\\': case '|': return VK_OEM_5;
    case ']': case '}': return VK_OEM_6;
    case '\'': case '"': return VK_OEM_7;
    // Shifted digits of a US keyboard come as their symbols.
    case '!': return '1';
    case '@': return '2';
    case '#': return '3';
    case '$': return '4';
    case '%': return '5';
    case '^': return '6';
    case '&': return '7';
    case '*': return '8';
    case '(': return '9';
    case ')': return '0';
    default: return 0;
  }
}

BYTE KeypadKey(int key) {
  if (key >= '0' && key <= '9') return static_cast<BYTE>(VK_NUMPAD0 + (key - '0'));
  switch (key) {
    case '*': return VK_MULTIPLY;
    case '+': return VK_ADD;
    case '-': return VK_SUBTRACT;
    case '.': case ',': return VK_DECIMAL;
    case '/': return VK_DIVIDE;
    default: return 0;
  }
}

}  // namespace

BYTE VirtualKeyOfQtKey(int key, bool keypad) {
  if (keypad) {
    if (const BYTE vk = KeypadKey(key)) return vk;
  }
  if (key >= 'A' && key <= 'Z') return static_cast<BYTE>(key);
  if (key >= 'a' && key <= 'z') return static_cast<BYTE>(key - 'a' + 'A');
  if (key >= '0' && key <= '9') return static_cast<BYTE>(key);
  if (key == ' ') return VK_SPACE;
  if (key >= kF1 && key <= kF12) return static_cast<BYTE>(0x70 + (key - kF1));
  switch (key) {
    case kEscape: return VK_ESCAPE;
    case kTab: case kBacktab: return VK_TAB;
    case kBackspace: return VK_BACK;
    case kReturn: case kEnter: return VK_RETURN;
    case kInsert: return VK_INSERT;
    case kDelete: return VK_DELETE;
    case kPause: return VK_PAUSE;
    case kPrint: return VK_SNAPSHOT;
    case kClear: return VK_CLEAR;
    case kHome: return VK_HOME;
    case kEnd: return VK_END;
    case kLeft: return VK_LEFT;
    case kUp: return VK_UP;
    case kRight: return VK_RIGHT;
    case kDown: return VK_DOWN;
    case kPageUp: return VK_PRIOR;
    case kPageDown: return VK_NEXT;
    case kShift: return VK_SHIFT;
    case kControl: return VK_CONTROL;
    case kAlt: case kAltGr: return VK_MENU;
    case kMeta: return VK_LWIN;
    case kCapsLock: return VK_CAPITAL;
    case kNumLock: return VK_NUMLOCK;
    case kScrollLock: return VK_SCROLL;
    case kMenu: return VK_APPS;
    default: return PunctuationKey(key);
  }
}

KeyPress KeyPressOf(BYTE vk, std::u16string_view text, bool ctrlOrAlt) {
  if (ctrlOrAlt || text.empty()) return KeyPress{vk, {}};
  // Control characters (Enter, Backspace …) come from TranslateMessage.
  for (char16_t c : text) {
    if (c < 0x20 || c == 0x7F) return KeyPress{vk, {}};
  }
  if (vk && text.size() == 1 && CharacterOfKey(vk, false) == static_cast<char>(text[0]) && text[0] < 0x80) {
    return KeyPress{vk, {}};
  }
  return KeyPress{VK_PROCESSKEY, Utf16ToGbk(text)};
}

}  // namespace quorlin::platform
