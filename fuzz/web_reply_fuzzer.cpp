// Feeds arbitrary reply bytes to the reply side of WebRequest: the cookie extraction from a
// reply header block and TextBetween over reply text with markers taken from the input.
//
// Input: left marker length byte, right marker length byte, the markers' bytes, then the reply
// text (its first NUL ends it, as it ends every text).
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "app/support/runtime_calls.h"
#include "app/web/reply_cookies.h"
#include "app/web/text_helpers.h"
#include "fuzz/kept_working_directory.h"
#include "platform/startup/platform_startup.h"
#include "runtime/corelib/core_library.h"
#include "runtime/kernel/runtime_kernel.h"

namespace {

using quorlin::app::OwnedText;

void StartKernel() {
  static bool started = false;
  if (started) return;
  started = true;
  const quorlin::fuzz::KeptWorkingDirectory keptDirectory;
  setenv("QUORLIN_DISPLAY", "headless", 0);
  quorlin::platform::StartPlatform();
  static const quorlin::LibraryInfoBlock* libraries[1] = {&quorlin::CoreLibraryInfo()};
  static quorlin::ProgramInfoBlock info{};
  info.runMode = 3;
  info.libraryCount = 1;
  info.libraries = libraries;
  quorlin::Kernel().InitialiseInstance(info, nullptr);
  quorlin::Kernel().LoadTemplates();
}

std::string_view Take(std::string_view& input, size_t count) {
  const std::string_view piece = input.substr(0, count);
  input.remove_prefix(piece.size());
  return piece;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  StartKernel();
  std::string_view input(reinterpret_cast<const char*>(data), size);
  const size_t leftLength = input.empty() ? 0 : static_cast<uint8_t>(input[0]) % 16;
  const size_t rightLength = input.size() < 2 ? 0 : static_cast<uint8_t>(input[1]) % 16;
  Take(input, 2);
  const OwnedText left = OwnedText::Copy(Take(input, leftLength));
  const OwnedText right = OwnedText::Copy(Take(input, rightLength));
  const OwnedText reply = OwnedText::Copy(input);

  const OwnedText cookies = quorlin::app::web::CookiesOfReplyHeaders(reply.get());
  if (!cookies.empty() && !cookies.view().ends_with("; ")) std::abort();
  if (cookies.view().size() > reply.view().size() * 2 + 2) std::abort();

  const OwnedText between = quorlin::app::web::TextBetween(reply.get(), left.get(), right.get());
  if (!between.empty() && reply.view().find(between.view()) == std::string_view::npos) std::abort();
  return 0;
}
