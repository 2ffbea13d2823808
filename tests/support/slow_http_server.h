// A loopback HTTP server that never finishes a reply, for the bounds of waiting: on 127.0.0.1,
// an ephemeral port, it accepts every connection and reads the request; then it either stays
// silent or announces a long body and sends it one byte every `interval`, until it is destroyed
// or the client goes away.
#pragma once

#include <atomic>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

namespace quorlin::testing {

class SlowHttpServer {
 public:
  enum class Manner { kSilent, kTrickling };

  explicit SlowHttpServer(Manner manner, std::chrono::milliseconds interval = std::chrono::milliseconds(500));
  ~SlowHttpServer();
  SlowHttpServer(const SlowHttpServer&) = delete;
  SlowHttpServer& operator=(const SlowHttpServer&) = delete;

  int Port() const { return port_; }
  std::string HostAndPort() const { return "127.0.0.1:" + std::to_string(port_); }
  std::string Url(const std::string& path) const { return "http://" + HostAndPort() + path; }
  int Connections() const { return connections_.load(); }

 private:
  void Accept();
  void Serve(int socket);

  const Manner manner_;
  const std::chrono::milliseconds interval_;
  int listener_ = -1;
  int port_ = 0;
  std::atomic<bool> stopping_{false};
  std::atomic<int> connections_{0};
  std::thread acceptor_;
  std::vector<std::thread> servers_;  // the acceptor's own
};

}  // namespace quorlin::testing
