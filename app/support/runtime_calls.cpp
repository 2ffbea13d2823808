#include "app/support/runtime_calls.h"

#include <cstring>
#include <vector>

#include "runtime/forms/layer/forms_runtime.h"
#include "runtime/kernel/blocks.h"
#include "runtime/kernel/entry_table.h"

namespace quorlin::app {
namespace {

void FreeBlock(void* block) {
  if (block) EntryTable().Free(block);
}

uint64_t PointerWord(const void* p) { return reinterpret_cast<uintptr_t>(p); }

void WriteWords(const UnitRef& unit, int32_t property, int32_t member, uint64_t value) {
  EntryTable().WriteUnitProperty(unit.formId, unit.unitId, property, member, static_cast<uint32_t>(value),
                                 static_cast<uint32_t>(value >> 32));
}

TypedValue Call(CommandEntry command, std::initializer_list<TypedValue> arguments, bool core) {
  std::vector<TypedValue> records(arguments);
  const auto count = static_cast<int32_t>(records.size());
  TypedValue* first = records.empty() ? nullptr : records.data();
  return core ? EntryTable().CallCoreCommand(command, count, first)
              : EntryTable().CallLibraryCommand(command, count, first);
}

}  // namespace

OwnedText& OwnedText::operator=(OwnedText&& other) noexcept {
  if (this != &other) reset(std::exchange(other.text_, nullptr));
  return *this;
}
OwnedText::~OwnedText() { FreeBlock(text_); }
OwnedText OwnedText::Copy(std::string_view bytes) {
  if (bytes.empty()) return OwnedText();
  auto* block = static_cast<char*>(EntryTable().Allocate(bytes.size() + 1));
  std::memcpy(block, bytes.data(), bytes.size());
  block[bytes.size()] = '\0';
  return OwnedText(block);
}
std::string_view OwnedText::view() const { return TextView(text_); }
void OwnedText::reset(char* text) {
  if (text == text_) return;
  FreeBlock(text_);
  text_ = text;
}

OwnedBytes& OwnedBytes::operator=(OwnedBytes&& other) noexcept {
  if (this != &other) reset(std::exchange(other.block_, nullptr));
  return *this;
}
OwnedBytes::~OwnedBytes() { FreeBlock(block_); }
OwnedBytes OwnedBytes::Copy(const void* bytes, size_t count) {
  if (count == 0 || count > 0x7FFFFFFF) return OwnedBytes();
  auto* block = static_cast<uint8_t*>(EntryTable().Allocate(ByteSetHeaderSize + count));
  const int32_t header[2] = {1, static_cast<int32_t>(count)};
  std::memcpy(block, header, sizeof header);
  if (bytes) std::memcpy(block + ByteSetHeaderSize, bytes, count);
  return OwnedBytes(block);
}
size_t OwnedBytes::size() const { return ByteSetLength(block_); }
const uint8_t* OwnedBytes::data() const { return ByteSetData(static_cast<const void*>(block_)); }
void OwnedBytes::reset(void* block) {
  if (block == block_) return;
  FreeBlock(block_);
  block_ = block;
}

TypedValue CallCore(CommandEntry command, std::initializer_list<TypedValue> arguments) {
  return Call(command, arguments, true);
}
TypedValue CallLibrary(CommandEntry command, std::initializer_list<TypedValue> arguments) {
  return Call(command, arguments, false);
}
OwnedText CallCoreText(CommandEntry command, std::initializer_list<TypedValue> arguments) {
  return OwnedText(PointerOf<char>(CallCore(command, arguments)));
}
OwnedBytes CallCoreBytes(CommandEntry command, std::initializer_list<TypedValue> arguments) {
  return OwnedBytes(PointerOf<void>(CallCore(command, arguments)));
}

int32_t CallCoreInteger(CommandEntry command, std::initializer_list<TypedValue> arguments) {
  return IntegerOf(CallCore(command, arguments));
}

uint64_t CallDll(int32_t index, char resultLetter, std::string_view argumentLetters,
                 std::initializer_list<uint64_t> arguments) {
  const platform::ProcedureSignature declared{resultLetter, argumentLetters};
  std::vector<uint64_t> words(arguments);
  return EntryTable().CallDllCommand(index, declared, words.empty() ? nullptr : words.data());
}

OwnedText ReadTextProperty(const UnitRef& unit, int32_t property, int32_t member) {
  const uint64_t word = EntryTable().ReadUnitProperty(unit.formId, unit.unitId, property, member);
  return OwnedText(reinterpret_cast<char*>(static_cast<uintptr_t>(word)));
}
int32_t ReadIntegerProperty(const UnitRef& unit, int32_t property, int32_t member) {
  return static_cast<int32_t>(EntryTable().ReadUnitProperty(unit.formId, unit.unitId, property, member));
}
bool ReadBooleanProperty(const UnitRef& unit, int32_t property, int32_t member) {
  return static_cast<uint32_t>(EntryTable().ReadUnitProperty(unit.formId, unit.unitId, property, member)) != 0;
}
void WriteIntegerProperty(const UnitRef& unit, int32_t property, int32_t value, int32_t member) {
  WriteWords(unit, property, member, static_cast<uint32_t>(value));
}
void WriteBooleanProperty(const UnitRef& unit, int32_t property, bool value, int32_t member) {
  WriteWords(unit, property, member, value ? 1 : 0);
}
void WriteTextProperty(const UnitRef& unit, int32_t property, const char* text, int32_t member) {
  WriteWords(unit, property, member, PointerWord(text));
}
void WriteByteSetProperty(const UnitRef& unit, int32_t property, const void* byteSet, int32_t member) {
  WriteWords(unit, property, member, PointerWord(byteSet));
}

int32_t WindowHandleOf(const UnitRef& unit) { return CallCoreInteger(&forms::GetWindowHandleCommand, {unit.Value()}); }

void ProcessPendingMessages() { CallCore(&forms::ProcessPendingMessagesCommand); }

}  // namespace quorlin::app
