#include "tools/gbk_literals/gbk_literals.h"

#include <iconv.h>

#include <cctype>
#include <cerrno>

namespace quorlin::tools {
namespace {

bool IsIdentifierStart(char c) { return std::isalpha(static_cast<unsigned char>(c)) || c == '_'; }
bool IsIdentifierPart(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; }
bool IsHexDigit(char c) { return std::isxdigit(static_cast<unsigned char>(c)) != 0; }

// UTF-8 to GBK; nothing when a character has no GBK form or the bytes are no UTF-8.
std::optional<std::string> ToGbk(std::string_view utf8) {
  const iconv_t converter = iconv_open("GBK", "UTF-8");
  if (converter == reinterpret_cast<iconv_t>(-1)) return std::nullopt;
  std::string out(utf8.size() * 2, '\0');
  char* in = const_cast<char*>(utf8.data());
  size_t inLeft = utf8.size();
  char* outPtr = out.data();
  size_t outLeft = out.size();
  const size_t result = iconv(converter, &in, &inLeft, &outPtr, &outLeft);
  iconv_close(converter);
  if (result == static_cast<size_t>(-1) || inLeft != 0) return std::nullopt;
  out.resize(out.size() - outLeft);
  return out;
}

class Rewriter {
 public:
  Rewriter(std::string_view source, std::string* error) : in_(source), error_(error) {}

  std::optional<std::string> Run() {
    while (at_ < in_.size()) {
      const char c = in_[at_];
      const bool ok = c == '/' && Next(1) == '/'   ? CopyLineComment()
                      : c == '/' && Next(1) == '*' ? CopyBlockComment()
                      : c == '"'                   ? RewriteStringLiteral()
                      : c == '\''                  ? CopyCharacterLiteral()
                      : std::isdigit(static_cast<unsigned char>(c)) ? CopyNumber()
                      : IsIdentifierStart(c)       ? CopyIdentifierAndItsLiteral()
                                                   : CopyOne();
      if (!ok) return std::nullopt;
    }
    return out_;
  }

 private:
  char Next(size_t offset) const { return at_ + offset < in_.size() ? in_[at_ + offset] : '\0'; }

  bool Fail(const std::string& reason) {
    if (error_) *error_ = "line " + std::to_string(Line()) + ": " + reason;
    return false;
  }
  size_t Line() const {
    size_t line = 1;
    for (size_t i = 0; i < at_ && i < in_.size(); ++i) line += in_[i] == '\n' ? 1 : 0;
    return line;
  }

  bool CopyOne() {
    out_ += in_[at_++];
    return true;
  }

  bool CopyUpTo(size_t end) {
    out_.append(in_.substr(at_, end - at_));
    at_ = end;
    return true;
  }

  bool CopyLineComment() {
    const size_t end = in_.find('\n', at_);
    return CopyUpTo(end == std::string_view::npos ? in_.size() : end);
  }

  bool CopyBlockComment() {
    const size_t end = in_.find("*/", at_ + 2);
    if (end == std::string_view::npos) return Fail("a comment that does not end");
    return CopyUpTo(end + 2);
  }

  // A pp-number, digit separators included: 1'000 is no character literal.
  bool CopyNumber() {
    size_t end = at_;
    while (end < in_.size()) {
      const char c = in_[end];
      const char before = end > at_ ? in_[end - 1] : '\0';
      if (IsIdentifierPart(c) || c == '.' || c == '\'' ||
          ((c == '+' || c == '-') && (before == 'e' || before == 'E' || before == 'p' || before == 'P'))) {
        ++end;
      } else {
        break;
      }
    }
    return CopyUpTo(end);
  }

  // The end of a quoted literal starting at `start` (its opening quote), after the closing one.
  std::optional<size_t> QuotedEnd(size_t start, char quote) const {
    for (size_t i = start + 1; i < in_.size(); ++i) {
      if (in_[i] == '\\') {
        ++i;
      } else if (in_[i] == quote) {
        return i + 1;
      } else if (in_[i] == '\n') {
        return std::nullopt;
      }
    }
    return std::nullopt;
  }

  static bool IsAscii(std::string_view text) {
    for (char c : text) {
      if (static_cast<unsigned char>(c) >= 0x80) return false;
    }
    return true;
  }

  bool CopyCharacterLiteral() {
    const std::optional<size_t> end = QuotedEnd(at_, '\'');
    if (!end) return Fail("a character literal that does not end");
    if (!IsAscii(in_.substr(at_, *end - at_))) return Fail("a non-ASCII character literal");
    return CopyUpTo(*end);
  }

  bool CopyRawStringLiteral() {
    // R"delimiter( ... )delimiter"
    const size_t open = in_.find('(', at_);
    if (open == std::string_view::npos) return Fail("a raw string literal without its parenthesis");
    const std::string closing = ")" + std::string(in_.substr(at_ + 1, open - at_ - 1)) + "\"";
    const size_t end = in_.find(closing, open);
    if (end == std::string_view::npos) return Fail("a raw string literal that does not end");
    return CopyUpTo(end + closing.size());
  }

  bool CopyIdentifierAndItsLiteral() {
    size_t end = at_;
    while (end < in_.size() && IsIdentifierPart(in_[end])) ++end;
    const std::string_view identifier = in_.substr(at_, end - at_);
    const char next = end < in_.size() ? in_[end] : '\0';
    CopyUpTo(end);
    const bool prefix = identifier == "u8" || identifier == "u" || identifier == "U" || identifier == "L";
    const bool rawPrefix = identifier == "R" || identifier == "u8R" || identifier == "uR" || identifier == "UR" ||
                           identifier == "LR";
    if (next == '"' && rawPrefix) {
      const size_t start = at_;
      if (!CopyRawStringLiteral()) return false;
      if (identifier == "R" && !IsAscii(in_.substr(start, at_ - start))) return Fail("a non-ASCII raw string literal");
      return true;
    }
    if ((next == '"' || next == '\'') && prefix) {
      // Its own character type: stored as written.
      const std::optional<size_t> literalEnd = QuotedEnd(at_, next);
      if (!literalEnd) return Fail("a literal that does not end");
      return CopyUpTo(*literalEnd);
    }
    return true;
  }

  bool RewriteStringLiteral() {
    const std::optional<size_t> end = QuotedEnd(at_, '"');
    if (!end) return Fail("a string literal that does not end");
    const std::string_view body = in_.substr(at_ + 1, *end - at_ - 2);
    if (IsAscii(body)) return CopyUpTo(*end);

    std::string literal = "\"";
    bool afterHexEscape = false;
    for (size_t i = 0; i < body.size();) {
      const auto byte = static_cast<unsigned char>(body[i]);
      if (byte >= 0x80) {
        size_t runEnd = i;
        while (runEnd < body.size() && static_cast<unsigned char>(body[runEnd]) >= 0x80) ++runEnd;
        const std::optional<std::string> gbk = ToGbk(body.substr(i, runEnd - i));
        if (!gbk) return Fail("a character without a GBK form: " + std::string(body.substr(i, runEnd - i)));
        static constexpr char kHex[] = "0123456789ABCDEF";
        for (const char b : *gbk) {
          const auto value = static_cast<unsigned char>(b);
          literal += "\\x";
          literal += kHex[value >> 4];
          literal += kHex[value & 0xF];
        }
        afterHexEscape = true;
        i = runEnd;
        continue;
      }
      // A hex digit right after a \x escape would join it: the literal is split there.
      if (afterHexEscape && IsHexDigit(body[i])) literal += "\" \"";
      afterHexEscape = false;
      if (body[i] == '\\' && i + 1 < body.size()) {
        size_t escapeEnd = i + 2;
        if (body[i + 1] == 'x') {
          while (escapeEnd < body.size() && IsHexDigit(body[escapeEnd])) ++escapeEnd;
          afterHexEscape = true;
        }
        literal.append(body.substr(i, escapeEnd - i));
        i = escapeEnd;
      } else {
        literal += body[i++];
      }
    }
    literal += '"';
    out_ += literal;
    at_ = *end;
    return true;
  }

  std::string_view in_;
  std::string* error_;
  size_t at_ = 0;
  std::string out_;
};

}  // namespace

std::optional<std::string> RewriteLiteralsAsGbk(std::string_view source, std::string* error) {
  return Rewriter(source, error).Run();
}

}  // namespace quorlin::tools
