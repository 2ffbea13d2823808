// quorlin-card [options] ID...: the window program's cards from the command line, made by the
// application's own card code on the headless display.
#include <malloc.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <system_error>
#include <vector>

#include "app/program_info.h"
#include "app/program_setup.h"
#include "app/settings/settings_file.h"
#include "platform/base/code_page.h"
#include "platform/startup/headless_startup.h"
#include "runtime/kernel/runtime_kernel.h"
#include "tools/card_tool/card_ids.h"
#include "tools/card_tool/card_options.h"
#include "tools/card_tool/card_run.h"

namespace {

constexpr int kBadUsage = 2;
constexpr int kLargestHeapBlock = 16 << 20;
constexpr const char* kScreenSize = "586x453";

struct Run {
  quorlin::card_tool::CardOptions options;
  std::vector<quorlin::card_tool::CardId> ids;
  std::string settingsFile;  // GBK, empty: the program's own
  std::filesystem::path outFolder;  // absolute
};

Run& TheRun() {
  static Run run;
  return run;
}

[[noreturn]] void BadUsage(const std::string& problem) {
  std::fprintf(stderr, "quorlin-card: %s\n%s", problem.c_str(), quorlin::card_tool::CardUsage());
  std::exit(kBadUsage);
}

// The settings file's full name as the ini commands take it; bad usage when it cannot be read
// or named in the system code page.
std::string SettingsFileName(const std::string& given) {
  std::error_code error;
  const std::filesystem::path path = std::filesystem::absolute(given, error);
  if (error || !std::filesystem::is_regular_file(path, error) || !std::ifstream(path)) {
    BadUsage("cannot read the settings file " + given);
  }
  const std::string gbk = quorlin::platform::Utf8ToGbk(path.string());
  if (quorlin::platform::GbkToUtf8(gbk) != path.string()) BadUsage("the settings file's name cannot be used: " + given);
  return gbk;
}

// The folder's full name (the runtime works in the program's folder), made when missing.
std::filesystem::path OutFolder(const std::string& given) {
  std::error_code error;
  const std::filesystem::path folder = std::filesystem::absolute(given.empty() ? "." : given, error);
  if (!error && !std::filesystem::is_directory(folder, error)) std::filesystem::create_directories(folder, error);
  if (error) BadUsage("cannot make the folder " + given + ": " + error.message());
  return folder;
}

int CardEntry() {
  quorlin::app::LoadMainWindow();
  const Run& run = TheRun();
  const int status = quorlin::card_tool::MakeCards(run.options, run.outFolder, run.ids);
  std::fflush(stdout);
  std::fflush(stderr);
  return status;
}

}  // namespace

int main(int argc, char** argv) {
  using namespace quorlin::card_tool;
  const ParsedArguments parsed = ParseCardArguments(std::vector<std::string>(argv + 1, argv + argc));
  if (!parsed.options) BadUsage(parsed.problem);
  Run& run = TheRun();
  run.options = *parsed.options;
  if (run.options.help) {
    std::fputs(CardUsage(), stdout);
    return 0;
  }
  if (run.options.version) {
    std::printf("quorlin-card %s\n", QUORLIN_VERSION);
    return 0;
  }
  if (!run.options.configFile.empty()) run.settingsFile = SettingsFileName(run.options.configFile);
  run.outFolder = OutFolder(run.options.outFolder);
  for (const std::string& id : CollectIds(run.options.ids, std::cin)) run.ids.push_back(PrepareCardId(id));
  if (run.ids.empty()) BadUsage("no ID on standard input");

  // A virtual screen the size of the main window's frame, whatever the environment asks: the
  // card canvas lies wholly on it, and every look at the whole screen (the runtime takes one
  // for each font) composes as few pixels as can be.
  setenv("QUORLIN_SCREEN", kScreenSize, 1);
  // Every card allocates and frees the same few picture-sized blocks; kept in the heap rather
  // than mapped and unmapped each time, they cost no page faults after the first card.
  mallopt(M_MMAP_THRESHOLD, kLargestHeapBlock);
  mallopt(M_TRIM_THRESHOLD, kLargestHeapBlock);
  quorlin::platform::StartHeadlessPlatform();
  quorlin::app::InstallApplicationRuntime();
  quorlin::app::UseSettingsFileInstead(run.settingsFile);
  const int status = quorlin::Kernel().InitialiseInstance(quorlin::app::ProgramInfo(), &CardEntry);
  quorlin::Kernel().EndProgram(status);
}
