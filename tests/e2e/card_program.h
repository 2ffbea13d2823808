// The card program for end-to-end tests: a copy of the executable in a fresh folder (its
// quorlin.ini and saved cards go beside it), run on the headless display with a scenario,
// its service hosts pointed at a loopback profile service; and the reading of BMP pictures.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "tests/support/background_program.h"
#include "tests/support/child_process.h"

namespace quorlin::testing {

// quorlin-profile-service on a loopback port with a members file of the test's own; stopped
// when destroyed.
class ProfileService {
 public:
  // Each member line: NAME, PORTRAIT, AGE separated by tabs (see the service's members file).
  ProfileService(const std::filesystem::path& folder, const std::vector<std::string>& memberLines);
  ~ProfileService();
  ProfileService(const ProfileService&) = delete;
  ProfileService& operator=(const ProfileService&) = delete;

  // "127.0.0.1:PORT"; empty when the service did not start.
  const std::string& HostAndPort() const { return hostAndPort_; }

 private:
  std::unique_ptr<BackgroundProgram> service_;
  std::string hostAndPort_;
};

class CardProgram {
 public:
  // The program goes into <fresh folder>/program; Root() is the fresh folder above it.
  CardProgram();
  ~CardProgram();
  CardProgram(const CardProgram&) = delete;
  CardProgram& operator=(const CardProgram&) = delete;

  const std::filesystem::path& Root() const { return root_; }
  const std::filesystem::path& Folder() const { return folder_; }
  std::filesystem::path PathOf(const std::string& name) const { return folder_ / name; }
  void WriteFile(const std::string& name, const std::string& bytes) const;
  std::string ReadFile(const std::string& name) const;

  // Runs the scenario (relative paths in it lead from the program's folder) with both service
  // host variables set to `serviceHost`, or with neither when it is empty.
  ChildResult Run(const std::string& script, const std::string& serviceHost) const;

 private:
  std::filesystem::path root_;
  std::filesystem::path folder_;
};

// A 24-bit BMP file read into pixels; empty when the file is no such picture.
struct BmpPicture {
  int width = 0;
  int height = 0;
  std::vector<uint8_t> rgb;  // rows top first

  bool empty() const { return width == 0; }
  uint32_t At(int x, int y) const;  // 0xRRGGBB
};
BmpPicture ReadBmp(const std::string& bytes);
// A 24-bit BMP file of one colour (0xRRGGBB).
std::string SolidBmp(int width, int height, uint32_t rgb);

// The ini file's items in file order as "section/key=value" (GBK bytes as they are).
std::vector<std::string> IniItems(const std::string& text);

}  // namespace quorlin::testing
