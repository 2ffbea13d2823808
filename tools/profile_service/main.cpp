// quorlin-profile-service [--bind ADDR] [--port N] [--members FILE]
//
// A demo profile service and portrait picture host on one server, with a few invented
// members: the card tool asks it out of the box (127.0.0.1 on the port it listens on by
// default), and the end-to-end tests use it. Prints "listening on HOST:PORT" once it accepts
// connections (--port 0 picks a free port), serves until SIGINT or SIGTERM, then exits with
// status 0. Exit status 2 for bad arguments or an unreadable members file, 1 when the address
// cannot be bound (another program listens there).
#include <pthread.h>
#include <signal.h>
#include <sys/socket.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <string>
#include <thread>

#include "tools/profile_service/member_directory.h"
#include "tools/profile_service/profile_server.h"
#include "tools/profile_service/service_options.h"

int main(int argc, char** argv) {
  using namespace quorlin::profile_service;
  std::string error;
  const auto options = ParseServiceOptions(argc - 1, argv + 1, &error);
  if (!options) {
    std::fprintf(stderr, "quorlin-profile-service: %s\nusage: quorlin-profile-service [--bind ADDR] [--port N] [--members FILE]\n",
                 error.c_str());
    return 2;
  }
  MemberDirectory members = MemberDirectory::BuiltIn();
  if (!options->membersFile.empty() && !members.LoadFile(options->membersFile, &error)) {
    std::fprintf(stderr, "quorlin-profile-service: %s: %s\n", options->membersFile.c_str(), error.c_str());
    return 2;
  }

  // The signals are taken by one thread with sigwait; every other thread inherits the mask.
  sigset_t endSignals;
  sigemptyset(&endSignals);
  sigaddset(&endSignals, SIGINT);
  sigaddset(&endSignals, SIGTERM);
  pthread_sigmask(SIG_BLOCK, &endSignals, nullptr);
  signal(SIGPIPE, SIG_IGN);

  httplib::Server server;
  // Without port sharing, so that binding fails while another program listens there.
  server.set_socket_options([](socket_t socket) {
    int yes = 1;
    setsockopt(socket, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof(yes));
  });
  InstallProfileRoutes(server, members);
  int port = options->port;
  if (port == 0) {
    port = server.bind_to_any_port(options->bindAddress);
  } else if (!server.bind_to_port(options->bindAddress, port)) {
    port = -1;
  }
  if (port <= 0) {
    std::fprintf(stderr, "quorlin-profile-service: cannot listen on %s:%d (is another program listening there?)\n",
                 options->bindAddress.c_str(), options->port);
    return 1;
  }

  std::atomic<bool> listenReturned{false};
  std::thread signalWatcher([&server, &endSignals, &listenReturned] {
    int taken = 0;
    sigwait(&endSignals, &taken);
    // stop() does nothing before the accept loop runs, and must be called once only.
    while (!listenReturned) {
      if (server.is_running()) {
        server.stop();
        break;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
  });
  std::printf("listening on %s:%d\n", options->bindAddress.c_str(), port);
  std::fflush(stdout);
  server.listen_after_bind();
  listenReturned = true;
  pthread_kill(signalWatcher.native_handle(), SIGTERM);  // ends its wait when no signal came
  signalWatcher.join();
  return 0;
}
