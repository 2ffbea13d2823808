#include "tests/support/loopback_http_server.h"

#include <arpa/inet.h>
#include <httplib.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <condition_variable>
#include <map>
#include <mutex>
#include <stdexcept>
#include <thread>
#include <variant>

namespace quorlin::testing {
namespace {

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    const auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; };
    if (lower(a[i]) != lower(b[i])) return false;
  }
  return true;
}

std::string_view Trimmed(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r')) text.remove_suffix(1);
  return text;
}

// cpp-httplib keeps request headers in a sorted map, which loses their order and repeated
// spellings; the connection's raw bytes are kept so that the request head can be recorded as
// it was sent.
class RecordingSocketStream final : public httplib::Stream {
 public:
  explicit RecordingSocketStream(int socket) : socket_(socket) {}

  bool is_readable() const override { return WaitFor(POLLIN); }
  bool is_writable() const override { return WaitFor(POLLOUT); }

  ssize_t read(char* ptr, size_t size) override {
    if (!is_readable()) return -1;
    const ssize_t n = recv(socket_, ptr, size, 0);
    if (n > 0 && received_.size() < kHeadLimit) received_.append(ptr, static_cast<size_t>(n));
    return n;
  }

  using httplib::Stream::write;
  ssize_t write(const char* ptr, size_t size) override {
    if (!is_writable()) return -1;
    return send(socket_, ptr, size, MSG_NOSIGNAL);
  }

  void get_remote_ip_and_port(std::string& ip, int& port) const override { Address(true, ip, port); }
  void get_local_ip_and_port(std::string& ip, int& port) const override { Address(false, ip, port); }
  socket_t socket() const override { return socket_; }

  const std::string& Received() const { return received_; }

 private:
  static constexpr size_t kHeadLimit = 64 * 1024;
  static constexpr int kWaitMilliseconds = 5000;

  bool WaitFor(short events) const {
    pollfd fd{socket_, events, 0};
    return poll(&fd, 1, kWaitMilliseconds) > 0 && (fd.revents & (events | POLLHUP)) != 0;
  }

  void Address(bool remote, std::string& ip, int& port) const {
    sockaddr_in address{};
    socklen_t length = sizeof address;
    const int rc = remote ? getpeername(socket_, reinterpret_cast<sockaddr*>(&address), &length)
                          : getsockname(socket_, reinterpret_cast<sockaddr*>(&address), &length);
    if (rc != 0 || address.sin_family != AF_INET) return;
    char text[INET_ADDRSTRLEN] = {};
    inet_ntop(AF_INET, &address.sin_addr, text, sizeof text);
    ip = text;
    port = ntohs(address.sin_port);
  }

  int socket_;
  std::string received_;
};

thread_local const RecordingSocketStream* currentStream = nullptr;

// One request per connection, handled on the stream that records the raw head.
class RecordingServer final : public httplib::Server {
 private:
  bool process_and_close_socket(socket_t sock) override {
    RecordingSocketStream stream(sock);
    currentStream = &stream;
    bool connectionClosed = false;
    const bool handled = process_request(stream, true, connectionClosed, nullptr);
    currentStream = nullptr;
    shutdown(sock, SHUT_RDWR);
    close(sock);
    return handled;
  }
};

RecordedRequest ParseRecordedHead(std::string_view raw) {
  RecordedRequest request;
  const size_t headEnd = raw.find("\r\n\r\n");
  if (headEnd != std::string_view::npos) raw = raw.substr(0, headEnd);
  size_t lineStart = 0;
  bool firstLine = true;
  while (lineStart <= raw.size()) {
    size_t lineEnd = raw.find('\n', lineStart);
    if (lineEnd == std::string_view::npos) lineEnd = raw.size();
    std::string_view line = raw.substr(lineStart, lineEnd - lineStart);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    lineStart = lineEnd + 1;
    if (firstLine) {
      firstLine = false;
      const size_t methodEnd = line.find(' ');
      if (methodEnd == std::string_view::npos) continue;
      request.method = line.substr(0, methodEnd);
      std::string_view target = line.substr(methodEnd + 1);
      target = target.substr(0, target.find(' '));
      const size_t question = target.find('?');
      request.path = target.substr(0, question);
      if (question != std::string_view::npos) request.query = target.substr(question + 1);
      continue;
    }
    if (line.empty()) continue;
    const size_t colon = line.find(':');
    if (colon == std::string_view::npos) continue;
    request.headers.emplace_back(std::string(line.substr(0, colon)), std::string(Trimmed(line.substr(colon + 1))));
  }
  return request;
}

}  // namespace

std::string RecordedRequest::Header(std::string_view name) const {
  for (const auto& [headerName, value] : headers) {
    if (EqualsIgnoringCase(headerName, name)) return value;
  }
  return {};
}

size_t RecordedRequest::HeaderCount(std::string_view name) const {
  size_t count = 0;
  for (const auto& header : headers) count += EqualsIgnoringCase(header.first, name) ? 1 : 0;
  return count;
}

struct LoopbackHttpServer::State {
  using Reply = std::variant<ScriptedReply, ReplyFunction>;

  RecordingServer server;
  std::thread listener;
  int port = -1;

  mutable std::mutex mutex;
  std::condition_variable stopped;
  bool stopping = false;
  std::map<std::string, Reply> replies;
  ScriptedReply defaultReply{404, {}, {}, std::chrono::milliseconds(0)};
  std::vector<RecordedRequest> requests;

  void Handle(const httplib::Request& httpRequest, httplib::Response& response) {
    RecordedRequest request = ParseRecordedHead(currentStream ? std::string_view(currentStream->Received()) : "");
    request.body = httpRequest.body;
    Reply reply;
    {
      std::lock_guard lock(mutex);
      requests.push_back(request);
      const auto found = replies.find(request.path);
      reply = found != replies.end() ? found->second : Reply(defaultReply);
    }
    const ScriptedReply scripted =
        std::holds_alternative<ScriptedReply>(reply) ? std::get<ScriptedReply>(reply) : std::get<ReplyFunction>(reply)(request);
    if (scripted.delay.count() > 0) {
      std::unique_lock lock(mutex);
      stopped.wait_for(lock, scripted.delay, [this] { return stopping; });
    }
    response.status = scripted.status;
    for (const auto& [name, value] : scripted.headers) response.headers.emplace(name, value);
    response.body = scripted.body;
  }
};

LoopbackHttpServer::LoopbackHttpServer() : LoopbackHttpServer(0) {}

LoopbackHttpServer::LoopbackHttpServer(int port, int waitSeconds) : state_(std::make_unique<State>()) {
  State& state = *state_;
  const auto handler = [&state](const httplib::Request& request, httplib::Response& response) {
    state.Handle(request, response);
  };
  // Any path, line breaks included.
  const std::string anyPath = "[\\s\\S]*";
  state.server.Get(anyPath, handler);
  state.server.Post(anyPath, handler);
  state.server.Put(anyPath, handler);
  state.server.Patch(anyPath, handler);
  state.server.Delete(anyPath, handler);
  state.server.Options(anyPath, handler);
  // Without port sharing: a fixed port must be ours alone.
  state.server.set_socket_options([](socket_t socket) {
    int yes = 1;
    setsockopt(socket, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof(yes));
  });
  if (port == 0) {
    state.port = state.server.bind_to_any_port("127.0.0.1");
  } else {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(waitSeconds);
    bool bound = state.server.bind_to_port("127.0.0.1", port);
    while (!bound && std::chrono::steady_clock::now() < deadline) {
      std::this_thread::sleep_for(std::chrono::milliseconds(200));
      bound = state.server.bind_to_port("127.0.0.1", port);
    }
    state.port = bound ? port : -1;
  }
  if (state.port <= 0) throw std::runtime_error("loopback HTTP server: no port to listen on");
  state.listener = std::thread([&state] { state.server.listen_after_bind(); });
  // The socket already accepts connections; waiting for the loop keeps stop() from racing it.
  for (int i = 0; i < 500 && !state.server.is_running(); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
}

LoopbackHttpServer::~LoopbackHttpServer() {
  {
    std::lock_guard lock(state_->mutex);
    state_->stopping = true;
  }
  state_->stopped.notify_all();
  state_->server.stop();
  if (state_->listener.joinable()) state_->listener.join();
}

int LoopbackHttpServer::Port() const { return state_->port; }

std::string LoopbackHttpServer::BaseUrl() const { return "http://127.0.0.1:" + std::to_string(state_->port); }

std::string LoopbackHttpServer::Url(std::string_view pathAndQuery) const {
  return BaseUrl() + std::string(pathAndQuery);
}

void LoopbackHttpServer::SetReply(const std::string& path, ScriptedReply reply) {
  std::lock_guard lock(state_->mutex);
  state_->replies.insert_or_assign(path, std::move(reply));
}

void LoopbackHttpServer::SetReply(const std::string& path, ReplyFunction reply) {
  std::lock_guard lock(state_->mutex);
  state_->replies.insert_or_assign(path, std::move(reply));
}

void LoopbackHttpServer::SetDefaultReply(ScriptedReply reply) {
  std::lock_guard lock(state_->mutex);
  state_->defaultReply = std::move(reply);
}

std::vector<RecordedRequest> LoopbackHttpServer::Requests() const {
  std::lock_guard lock(state_->mutex);
  return state_->requests;
}

size_t LoopbackHttpServer::RequestCount() const {
  std::lock_guard lock(state_->mutex);
  return state_->requests.size();
}

RecordedRequest LoopbackHttpServer::LastRequest() const {
  std::lock_guard lock(state_->mutex);
  return state_->requests.empty() ? RecordedRequest{} : state_->requests.back();
}

void LoopbackHttpServer::ClearRequests() {
  std::lock_guard lock(state_->mutex);
  state_->requests.clear();
}

}  // namespace quorlin::testing
