#include "tests/commands/command_test_support.h"

#include <cstdlib>
#include <cstring>
#include <mutex>

#include "runtime/kernel/blocks.h"
#include "runtime/kernel/host_service.h"
#include "runtime/kernel/library_host.h"

namespace quorlin::testing {
namespace {

std::unordered_map<const void*, size_t>& Blocks() {
  static std::unordered_map<const void*, size_t> blocks;
  return blocks;
}

std::string& ProgramDirectoryText() {
  static std::string directory;
  return directory;
}

intptr_t TestHost(int32_t code, intptr_t p1, intptr_t p2) {
  switch (code) {
    case HostCode::Allocate: {
      const auto bytes = static_cast<size_t>(p1);
      void* block = bytes > (size_t{1} << 32) ? nullptr : std::malloc(bytes ? bytes : 1);
      if (!block) {
        if (p2) return 0;
        ADD_FAILURE() << "allocation of " << bytes << " bytes failed";
        std::abort();
      }
      Blocks()[block] = bytes;
      return reinterpret_cast<intptr_t>(block);
    }
    case HostCode::Free: {
      auto* block = reinterpret_cast<void*>(p1);
      if (!block) return 0;
      if (Blocks().erase(block) == 0) {
        ADD_FAILURE() << "free of a block the host never gave out";
        return 0;
      }
      std::free(block);
      return 0;
    }
    case HostCode::Reallocate: {
      auto* old = reinterpret_cast<void*>(p1);
      const auto bytes = static_cast<size_t>(p2);
      if (old && Blocks().erase(old) == 0) ADD_FAILURE() << "reallocation of an unknown block";
      void* block = bytes > (size_t{1} << 32) ? nullptr : std::realloc(old, bytes ? bytes : 1);
      if (!block) std::abort();
      Blocks()[block] = bytes;
      return reinterpret_cast<intptr_t>(block);
    }
    case HostCode::ProgramDirectory:
      return reinterpret_cast<intptr_t>(ProgramDirectoryText().c_str());
    case HostCode::RuntimeError:
      ADD_FAILURE() << "runtime error: " << reinterpret_cast<const char*>(p1);
      std::abort();
    default:
      return 0;
  }
}

size_t BlockSize(const void* block) {
  const auto it = Blocks().find(block);
  return it == Blocks().end() ? 0 : it->second;
}

}  // namespace

void CommandTest::SetUp() {
  Blocks().clear();
  LibraryHost::Attach(&TestHost);
}

void CommandTest::TearDown() {
  for (const OwnedArgument& argument : arguments_) {
    EXPECT_EQ(std::string(static_cast<const char*>(argument.block), argument.size), argument.bytes)
        << "a command changed its argument";
    LibraryHost::Free(argument.block);
  }
  arguments_.clear();
  EXPECT_EQ(LiveBlocks(), 0u) << "blocks were left allocated";
  LibraryHost::Attach(nullptr);
}

size_t CommandTest::LiveBlocks() { return Blocks().size(); }

void CommandTest::SetProgramDirectory(std::string directory) { ProgramDirectoryText() = std::move(directory); }

TypedValue CommandTest::Text(std::string_view text) {
  char* block = NewText(text);
  if (block) arguments_.push_back({block, std::string(block, text.size() + 1), text.size() + 1});
  return MakeText(block);
}

TypedValue CommandTest::Bytes(std::string_view bytes) {
  void* block = NewByteSet(bytes.data(), bytes.size());
  if (block) {
    const size_t size = bytes.size() + ByteSetHeaderSize;
    arguments_.push_back({block, std::string(static_cast<const char*>(block), size), size});
  }
  return MakeByteSet(block);
}

TypedValue CommandTest::Array(uint32_t elementTag, const void* elements, size_t count) {
  const size_t elementSize = BaseTypeSize(elementTag);
  void* block = NewArray(count, elementSize);
  std::memcpy(static_cast<uint8_t*>(block) + 8, elements, count * elementSize);
  const size_t size = 8 + count * elementSize;
  arguments_.push_back({block, std::string(static_cast<const char*>(block), size), size});
  return MakePointerValue(block, elementTag | Tag::ArrayFlag);
}

TypedValue CommandTest::Call(CommandEntry command, std::vector<TypedValue> args) {
  TypedValue result{};
  command(&result, static_cast<int32_t>(args.size()), args.empty() ? nullptr : args.data());
  return result;
}

std::string CommandTest::TakeText(const TypedValue& result) {
  EXPECT_EQ(result.tag, Tag::Text);
  const char* text = PointerOf<const char>(result);
  if (!text) return {};
  const size_t length = std::strlen(text);
  EXPECT_GT(length, 0u) << "an empty text must be null";
  EXPECT_GE(BlockSize(text), length + 1) << "a text result must be a whole new block";
  std::string copy(text, length);
  LibraryHost::Free(const_cast<char*>(text));
  return copy;
}

std::string CommandTest::TakeBytes(const TypedValue& result) {
  EXPECT_EQ(result.tag, Tag::ByteSet);
  const void* block = PointerOf(result);
  if (!block) return {};
  int32_t header[2];
  std::memcpy(header, block, sizeof header);
  EXPECT_EQ(header[0], 1);
  EXPECT_GT(header[1], 0) << "an empty byte set must be null";
  EXPECT_GE(BlockSize(block), static_cast<size_t>(header[1]) + ByteSetHeaderSize);
  std::string copy(reinterpret_cast<const char*>(ByteSetData(block)), ByteSetLength(block));
  LibraryHost::Free(const_cast<void*>(block));
  return copy;
}

std::string CommandTest::TextOf(CommandEntry command, std::vector<TypedValue> args) {
  return TakeText(Call(command, std::move(args)));
}

std::string CommandTest::BytesOf(CommandEntry command, std::vector<TypedValue> args) {
  return TakeBytes(Call(command, std::move(args)));
}

int32_t CommandTest::IntegerOf(CommandEntry command, std::vector<TypedValue> args) {
  const TypedValue result = Call(command, std::move(args));
  EXPECT_EQ(result.tag, Tag::Integer);
  return quorlin::IntegerOf(result);
}

bool CommandTest::BooleanOf(CommandEntry command, std::vector<TypedValue> args) {
  const TypedValue result = Call(command, std::move(args));
  EXPECT_EQ(result.tag, Tag::Boolean);
  EXPECT_LE(result.low, 1u);
  return result.low != 0;
}

std::vector<std::string> CommandTest::TextArrayOf(CommandEntry command, std::vector<TypedValue> args) {
  const TypedValue result = Call(command, std::move(args));
  EXPECT_EQ(result.tag, Tag::Text | Tag::ArrayFlag);
  void* block = PointerOf(result);
  std::vector<std::string> elements;
  if (!block) {
    ADD_FAILURE() << "a text array result is never null";
    return elements;
  }
  const ArrayShape shape = ReadArrayShape(block);
  EXPECT_EQ(shape.dimensionCount, 1u);
  EXPECT_GE(BlockSize(block), 8 + shape.elementCount * sizeof(char*));
  for (size_t i = 0; i < shape.elementCount; ++i) {
    elements.push_back(TakeText(MakeText(TextArrayElement(shape, i))));
  }
  LibraryHost::Free(block);
  return elements;
}

}  // namespace quorlin::testing
