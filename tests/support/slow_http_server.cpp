#include "tests/support/slow_http_server.h"

#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <stdexcept>

namespace quorlin::testing {
namespace {

constexpr int kPollMs = 50;

// Waits for the socket to be readable in short steps, so that stopping is seen; false when
// stopping.
bool WaitReadable(int socket, const std::atomic<bool>& stopping) {
  while (!stopping.load()) {
    pollfd ready{socket, POLLIN, 0};
    if (poll(&ready, 1, kPollMs) > 0) return true;
  }
  return false;
}

// The request head, up to its blank line; false when the client left first.
bool ReadRequestHead(int socket, const std::atomic<bool>& stopping) {
  std::string head;
  char buffer[1024];
  while (head.find("\r\n\r\n") == std::string::npos) {
    if (!WaitReadable(socket, stopping)) return false;
    const ssize_t n = recv(socket, buffer, sizeof buffer, 0);
    if (n <= 0) return false;
    head.append(buffer, static_cast<size_t>(n));
  }
  return true;
}

}  // namespace

SlowHttpServer::SlowHttpServer(Manner manner, std::chrono::milliseconds interval)
    : manner_(manner), interval_(interval) {
  listener_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof address;
  if (listener_ < 0 || bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
      listen(listener_, 16) != 0 || getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
    if (listener_ >= 0) close(listener_);
    throw std::runtime_error("the slow server cannot listen");
  }
  port_ = ntohs(address.sin_port);
  acceptor_ = std::thread([this] { Accept(); });
}

SlowHttpServer::~SlowHttpServer() {
  stopping_ = true;
  acceptor_.join();
  for (std::thread& server : servers_) server.join();
  close(listener_);
}

void SlowHttpServer::Accept() {
  while (WaitReadable(listener_, stopping_)) {
    const int client = accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
    if (client < 0) continue;
    connections_.fetch_add(1);
    servers_.emplace_back([this, client] {
      Serve(client);
      close(client);
    });
  }
}

void SlowHttpServer::Serve(int socket) {
  if (!ReadRequestHead(socket, stopping_)) return;
  if (manner_ == Manner::kTrickling) {
    const std::string head = "HTTP/1.1 200 OK\r\nContent-Type: text/plain\r\nContent-Length: 1000000\r\n\r\n";
    if (send(socket, head.data(), head.size(), MSG_NOSIGNAL) < 0) return;
  }
  auto next = std::chrono::steady_clock::now();
  while (!stopping_.load()) {
    pollfd gone{socket, POLLIN, 0};
    if (poll(&gone, 1, kPollMs) > 0) {
      char byte;
      if (recv(socket, &byte, 1, MSG_DONTWAIT) == 0) return;  // the client closed
    }
    if (manner_ == Manner::kTrickling && std::chrono::steady_clock::now() >= next) {
      if (send(socket, "x", 1, MSG_NOSIGNAL) < 0) return;
      next += interval_;
    }
  }
}

}  // namespace quorlin::testing
