// Turns what libcurl hands over while an HTTP reply arrives — header lines (status lines of
// interim and redirect responses included) and body chunks — into the final response's status,
// header block, charset and body, within fixed bounds.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace quorlin::platform {

class HttpReplyReader {
 public:
  static constexpr size_t kBodyLimit = 64u * 1024 * 1024;
  static constexpr size_t kHeaderBytesLimit = 256u * 1024;  // of one response's header lines
  static constexpr size_t kHeaderLineLimit = 1000;          // lines of one response

  // One header line with or without its line end. A status line ("HTTP/…") starts a new
  // response and drops the previous one's headers; a line starting with a blank continues the
  // previous header; a CR, LF or NUL inside the line becomes a blank. False when the
  // response's headers pass a limit (the reply is then refused).
  bool AddHeaderLine(std::string_view line);
  // False when the body would pass kBodyLimit; nothing of the chunk is kept then.
  bool AddBodyBytes(std::string_view bytes);

  int Status() const { return status_; }  // 0 until a status line was read
  const std::string& StatusText() const { return statusText_; }
  // "Name: value" lines, each ended by CR LF, in the order received, without the status line.
  std::string HeaderBlock() const;
  // Every value of the named header (ASCII case ignored) joined by ", "; empty when absent.
  std::string HeaderValue(std::string_view name) const;
  bool HasHeader(std::string_view name) const;
  // The charset parameter of Content-Type in lower case, quotes removed; empty when absent.
  std::string Charset() const;
  const std::string& Body() const { return body_; }
  std::string TakeBody() { return std::move(body_); }

 private:
  struct Header {
    std::string name;
    std::string value;
  };

  void StartResponse(std::string_view statusLine);

  int status_ = 0;
  std::string statusText_;
  std::vector<Header> headers_;
  size_t headerBytes_ = 0;
  std::string body_;
};

}  // namespace quorlin::platform
