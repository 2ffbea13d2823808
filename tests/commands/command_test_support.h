// A test host for the commands: it stands in for the kernel's allocator and program
// directory, knows every live block and its size, and lets tests call commands the way the
// kernel does and read their results with the block rules checked (empty results are null,
// results are new blocks of the right size, arguments come back unchanged).
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "runtime/kernel/command.h"
#include "runtime/kernel/typed_value.h"

namespace quorlin::testing {

class CommandTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Argument records whose blocks the test owns; their bytes are checked for changes at the
  // end of the test.
  TypedValue Text(std::string_view text);
  TypedValue Bytes(std::string_view bytes);
  TypedValue Array(uint32_t elementTag, const void* elements, size_t count);
  static TypedValue Omitted() { return {}; }

  static TypedValue Call(CommandEntry command, std::vector<TypedValue> args);

  // Runs a command that returns a text / byte set / integer / boolean and gives its value.
  std::string TextOf(CommandEntry command, std::vector<TypedValue> args);
  std::string BytesOf(CommandEntry command, std::vector<TypedValue> args);
  int32_t IntegerOf(CommandEntry command, std::vector<TypedValue> args);
  bool BooleanOf(CommandEntry command, std::vector<TypedValue> args);
  // A text array result as its elements (an empty element is the empty string).
  std::vector<std::string> TextArrayOf(CommandEntry command, std::vector<TypedValue> args);

  // Reads and frees a result record of these kinds.
  std::string TakeText(const TypedValue& result);
  std::string TakeBytes(const TypedValue& result);

  static size_t LiveBlocks();
  static void SetProgramDirectory(std::string directory);

 private:
  struct OwnedArgument {
    void* block;
    std::string bytes;  // what the block held when it was made
    size_t size;
  };
  std::vector<OwnedArgument> arguments_;
};

}  // namespace quorlin::testing
