#include "platform/com/xmlhttp/http_reply_reader.h"

namespace quorlin::platform {
namespace {

char AsciiLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (AsciiLower(a[i]) != AsciiLower(b[i])) return false;
  }
  return true;
}

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view Trimmed(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

std::string_view WithoutLineEnd(std::string_view line) {
  while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.remove_suffix(1);
  return line;
}

}  // namespace

bool HttpReplyReader::AddHeaderLine(std::string_view received) {
  received = WithoutLineEnd(received);
  if (received.empty()) return true;  // the end of one response's header lines
  if (received.size() > kHeaderBytesLimit - headerBytes_) return false;
  headerBytes_ += received.size();
  // A line break or NUL inside a line would forge lines of the header block.
  std::string cleaned(received);
  for (char& c : cleaned) {
    if (c == '\r' || c == '\n' || c == '\0') c = ' ';
  }
  const std::string_view line = cleaned;
  if (line.size() >= 5 && line.substr(0, 5) == "HTTP/") {
    StartResponse(line);
    return true;
  }
  if (IsBlank(line.front())) {
    // An obsolete folded continuation of the previous header's value.
    if (!headers_.empty()) {
      const std::string_view more = Trimmed(line);
      if (!more.empty()) {
        if (!headers_.back().value.empty()) headers_.back().value += ' ';
        headers_.back().value += more;
      }
    }
    return true;
  }
  const size_t colon = line.find(':');
  if (colon == std::string_view::npos) return true;  // not a header line; nothing to keep
  const std::string_view name = Trimmed(line.substr(0, colon));
  if (name.empty()) return true;
  if (headers_.size() >= kHeaderLineLimit) return false;
  headers_.push_back({std::string(name), std::string(Trimmed(line.substr(colon + 1)))});
  return true;
}

void HttpReplyReader::StartResponse(std::string_view statusLine) {
  // An interim (1xx) or redirect response came before: only the last response counts.
  headers_.clear();
  headerBytes_ = statusLine.size();
  body_.clear();
  status_ = 0;
  statusText_.clear();
  const size_t space = statusLine.find(' ');
  if (space == std::string_view::npos) return;
  const std::string_view rest = statusLine.substr(space + 1);
  if (rest.size() < 3) return;
  int code = 0;
  for (size_t i = 0; i < 3; ++i) {
    if (rest[i] < '0' || rest[i] > '9') return;
    code = code * 10 + (rest[i] - '0');
  }
  if (rest.size() > 3 && rest[3] != ' ') return;
  if (code < 100) return;
  status_ = code;
  statusText_ = Trimmed(rest.substr(3));
}

bool HttpReplyReader::AddBodyBytes(std::string_view bytes) {
  if (bytes.size() > kBodyLimit - body_.size()) return false;
  body_.append(bytes);
  return true;
}

std::string HttpReplyReader::HeaderBlock() const {
  std::string block;
  for (const Header& header : headers_) {
    block += header.name;
    block += ": ";
    block += header.value;
    block += "\r\n";
  }
  return block;
}

std::string HttpReplyReader::HeaderValue(std::string_view name) const {
  std::string joined;
  bool first = true;
  for (const Header& header : headers_) {
    if (!EqualsIgnoringCase(header.name, name)) continue;
    if (!first) joined += ", ";
    joined += header.value;
    first = false;
  }
  return joined;
}

bool HttpReplyReader::HasHeader(std::string_view name) const {
  for (const Header& header : headers_) {
    if (EqualsIgnoringCase(header.name, name)) return true;
  }
  return false;
}

std::string HttpReplyReader::Charset() const {
  std::string_view type;
  for (const Header& header : headers_) {
    if (EqualsIgnoringCase(header.name, "Content-Type")) {
      type = header.value;
      break;
    }
  }
  while (!type.empty()) {
    const size_t semicolon = type.find(';');
    const std::string_view parameter = Trimmed(type.substr(0, semicolon));
    type = semicolon == std::string_view::npos ? std::string_view() : type.substr(semicolon + 1);
    const size_t equals = parameter.find('=');
    if (equals == std::string_view::npos || !EqualsIgnoringCase(Trimmed(parameter.substr(0, equals)), "charset")) continue;
    std::string_view value = Trimmed(parameter.substr(equals + 1));
    if (value.size() >= 2 && value.front() == '"' && value.back() == '"') value = value.substr(1, value.size() - 2);
    std::string lower;
    for (char c : Trimmed(value)) lower += AsciiLower(c);
    return lower;
  }
  return {};
}

}  // namespace quorlin::platform
