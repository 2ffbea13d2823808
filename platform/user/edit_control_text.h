// Inside the EDIT class: its text with caret and selection, as GBK characters.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace quorlin::platform {

bool IsGbkLeadByte(unsigned char c);
bool IsGbkTrailByte(unsigned char c);

// ASCII letters changed to upper (or lower) case; the trail bytes of double-byte characters,
// which may look like letters, are left alone.
std::string GbkToUpper(std::string_view text);
std::string GbkToLower(std::string_view text);
// The number of characters (a double-byte character or "\r\n" counts once).
size_t GbkCharacterCount(std::string_view text);

// The text, an anchor and a caret (the selection lies between them), and the byte limit.
class EditText {
 public:
  struct Change {
    bool changed = false;
    bool truncated = false;  // the inserted text did not fit the limit and was cut
  };
  struct Line {
    size_t start;
    size_t end;  // before the line break
  };

  const std::string& Text() const { return text_; }
  size_t Size() const { return text_.size(); }
  size_t Anchor() const { return anchor_; }
  size_t Caret() const { return caret_; }
  size_t SelectionStart() const { return anchor_ < caret_ ? anchor_ : caret_; }
  size_t SelectionEnd() const { return anchor_ < caret_ ? caret_ : anchor_; }
  bool HasSelection() const { return anchor_ != caret_; }
  std::string SelectedText() const { return text_.substr(SelectionStart(), SelectionEnd() - SelectionStart()); }

  size_t Limit() const { return limit_; }
  void SetLimit(size_t limit) { limit_ = limit; }

  // Replaces everything; caret and anchor go to the start.
  void SetText(std::string_view text);
  // Both ends are clamped to the text and moved back to the start of the character they fall in.
  void Select(size_t anchor, size_t caret);
  void MoveCaret(size_t caret, bool extend) { Select(extend ? anchor_ : caret, caret); }
  // Replaces the selection and puts the caret after the new text. With the limit applied the
  // inserted text is cut, between characters, to what fits.
  Change ReplaceSelection(std::string_view inserted, bool applyLimit);

  // Character boundaries around a position (positions inside a character count as its start).
  size_t Snap(size_t position) const;
  size_t Previous(size_t position) const;
  size_t Next(size_t position) const;
  // Word moves as Ctrl+Left / Ctrl+Right make them: a word is a run of non-blank characters.
  size_t PreviousWord(size_t position) const;
  size_t NextWord(size_t position) const;
  // The word (or run of blanks) around a position, for a double click.
  void WordAround(size_t position, size_t& start, size_t& end) const;

  // Lines broken at "\r\n" or "\n" when multiLine, else one line holding everything.
  std::vector<Line> Lines(bool multiLine) const;

 private:
  // Length of the character starting at i.
  size_t CharLength(size_t i) const;

  std::string text_;
  size_t anchor_ = 0;
  size_t caret_ = 0;
  size_t limit_ = 0x7FFF;
};

}  // namespace quorlin::platform
