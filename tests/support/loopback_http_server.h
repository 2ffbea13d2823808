// A scripted HTTP server on 127.0.0.1 for tests: it listens on an ephemeral port (or one port
// the test names) in its own threads from construction to destruction, records every request
// exactly as it arrived and answers each path with the reply the test scripted for it.
#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace quorlin::testing {

// Header lines in order; a name may repeat (several Set-Cookie lines).
using HeaderLines = std::vector<std::pair<std::string, std::string>>;

struct RecordedRequest {
  std::string method;
  std::string path;     // as sent, still percent-encoded, without the query
  std::string query;    // the text after '?', as sent; empty when there is none
  HeaderLines headers;  // in the order received, names spelled as sent, values trimmed
  std::string body;     // the request body bytes

  // The value of the first header of that name (ASCII case ignored); empty when absent.
  std::string Header(std::string_view name) const;
  // How many header lines carry that name (ASCII case ignored).
  size_t HeaderCount(std::string_view name) const;
};

struct ScriptedReply {
  int status = 200;
  // Lines of one name keep their order (the server sorts lines by name); Content-Length and
  // "Connection: close" are added by the server.
  HeaderLines headers;
  std::string body;     // any bytes, zero bytes included
  // Time to wait before answering, for time-out tests. Stopping the server cuts it short.
  std::chrono::milliseconds delay{0};
};

// Builds the reply from the request, for replies that depend on what was sent.
using ReplyFunction = std::function<ScriptedReply(const RecordedRequest&)>;

class LoopbackHttpServer {
 public:
  LoopbackHttpServer();  // listening when the constructor returns
  // On exactly this port, which no other program may share; throws when it stays taken for
  // waitSeconds.
  explicit LoopbackHttpServer(int port, int waitSeconds = 30);
  ~LoopbackHttpServer();
  LoopbackHttpServer(const LoopbackHttpServer&) = delete;
  LoopbackHttpServer& operator=(const LoopbackHttpServer&) = delete;

  int Port() const;
  std::string BaseUrl() const;                         // "http://127.0.0.1:<port>"
  std::string Url(std::string_view pathAndQuery) const;  // BaseUrl() + pathAndQuery

  // The reply for requests of any method to exactly this path (query not compared);
  // a later call for the same path replaces the earlier one.
  void SetReply(const std::string& path, ScriptedReply reply);
  void SetReply(const std::string& path, ReplyFunction reply);
  // The reply for paths without their own; until set, 404 with an empty body.
  void SetDefaultReply(ScriptedReply reply);

  // Requests received so far, in the order their handling began.
  std::vector<RecordedRequest> Requests() const;
  size_t RequestCount() const;
  // The most recent request; an empty record when there was none.
  RecordedRequest LastRequest() const;
  void ClearRequests();

 private:
  struct State;
  std::unique_ptr<State> state_;
};

}  // namespace quorlin::testing
