// For desktop tests and benchmarks: a private X server, outside commands run while our
// message loop is served, and waits bounded in time.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace quorlin::testing {

// Starts Xvfb on a display number it finds free; the display's name (":N"), or empty when
// Xvfb is missing or did not come up within a few seconds. The server ends with this process.
// Its one screen is width × height pixels, 24 bits deep.
std::string StartXvfb(int width = 1280, int height = 1024);

// Serves the calling thread's message queue (and so the desktop's events) until done() is
// true or timeoutMs passed; whether done() became true.
bool PumpUntil(const std::function<bool()>& done, int timeoutMs);

// Runs a program (looked up in PATH) while the queue is served; its exit status, or -1 when it
// could not start or was killed after timeoutMs. out receives what it wrote to standard output.
int RunWhilePumping(const std::vector<std::string>& argv, std::string* out, int timeoutMs);

// Whether a program is found in PATH.
bool HaveProgram(const std::string& name);

}  // namespace quorlin::testing
