// How the application's code calls the runtime: every call goes through the kernel's entry
// table (runtime/kernel/entry_table.h) with typed value records; these helpers only make the
// calls pleasant to write and give the blocks the runtime hands back an owner.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string_view>
#include <utility>

#include "runtime/kernel/command.h"
#include "runtime/kernel/typed_value.h"

namespace quorlin::app {

// A text block the runtime handed over (null is the empty text); freed through the kernel.
class OwnedText {
 public:
  OwnedText() = default;
  explicit OwnedText(char* text) : text_(text) {}
  OwnedText(OwnedText&& other) noexcept : text_(std::exchange(other.text_, nullptr)) {}
  OwnedText& operator=(OwnedText&& other) noexcept;
  ~OwnedText();
  // A new block holding a copy of these bytes.
  static OwnedText Copy(std::string_view bytes);

  const char* get() const { return text_; }
  std::string_view view() const;
  bool empty() const { return view().empty(); }
  char* release() { return std::exchange(text_, nullptr); }
  // Replaces what is held (the old block is freed).
  void reset(char* text = nullptr);

 private:
  char* text_ = nullptr;
};

// A byte-set block the runtime handed over (null is the empty byte set).
class OwnedBytes {
 public:
  OwnedBytes() = default;
  explicit OwnedBytes(void* block) : block_(block) {}
  OwnedBytes(OwnedBytes&& other) noexcept : block_(std::exchange(other.block_, nullptr)) {}
  OwnedBytes& operator=(OwnedBytes&& other) noexcept;
  ~OwnedBytes();
  static OwnedBytes Copy(const void* bytes, size_t count);

  const void* get() const { return block_; }
  size_t size() const;
  const uint8_t* data() const;
  bool empty() const { return size() == 0; }
  void* release() { return std::exchange(block_, nullptr); }
  void reset(void* block = nullptr);

 private:
  void* block_ = nullptr;
};

// A unit of one of the program's loaded forms: the form id, the unit id (0 for the window
// itself) and the unit's data-type tag, as a command argument carries it.
struct UnitRef {
  uint32_t formId = 0;
  uint32_t unitId = 0;
  uint32_t typeTag = 0;
  TypedValue Value() const { return {formId, unitId, typeTag}; }
};

// A core-library command (slot 3) or a command of another library (slot 2); the result record
// as the command left it (a text, byte set or array in it is the caller's to free).
TypedValue CallCore(CommandEntry command, std::initializer_list<TypedValue> arguments = {});
TypedValue CallLibrary(CommandEntry command, std::initializer_list<TypedValue> arguments = {});
// The same with the result's block given an owner.
OwnedText CallCoreText(CommandEntry command, std::initializer_list<TypedValue> arguments = {});
OwnedBytes CallCoreBytes(CommandEntry command, std::initializer_list<TypedValue> arguments = {});
int32_t CallCoreInteger(CommandEntry command, std::initializer_list<TypedValue> arguments = {});

// One of the application's DLL commands (by its index in the program's DLL table) with the
// argument list the application declares for it ('i' 32-bit integer, 'p' pointer …, the
// letters of platform/base/dll_modules.h) and one 64-bit word per argument.
uint64_t CallDll(int32_t index, char resultLetter, std::string_view argumentLetters,
                 std::initializer_list<uint64_t> arguments);

// Unit properties by number (member -1: the property itself).
OwnedText ReadTextProperty(const UnitRef& unit, int32_t property, int32_t member = -1);
int32_t ReadIntegerProperty(const UnitRef& unit, int32_t property, int32_t member = -1);
bool ReadBooleanProperty(const UnitRef& unit, int32_t property, int32_t member = -1);
void WriteIntegerProperty(const UnitRef& unit, int32_t property, int32_t value, int32_t member = -1);
void WriteBooleanProperty(const UnitRef& unit, int32_t property, bool value, int32_t member = -1);
// The runtime copies what it keeps; the text or byte set stays the caller's.
void WriteTextProperty(const UnitRef& unit, int32_t property, const char* text, int32_t member = -1);
void WriteByteSetProperty(const UnitRef& unit, int32_t property, const void* byteSet, int32_t member = -1);

// The unit's window handle (the runtime's window-handle command).
int32_t WindowHandleOf(const UnitRef& unit);

// Dispatches the pending window messages (the runtime's process-messages command).
void ProcessPendingMessages();

}  // namespace quorlin::app
