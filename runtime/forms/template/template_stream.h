// Little-endian readers for template data. Every read checks its length against what remains
// first; a failed read leaves its output untouched and the reader failed for good.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace quorlin::forms {

// The template data segment as a stream read through a 4096-byte buffer.
class TemplateStream {
 public:
  static constexpr size_t kBufferSize = 4096;

  TemplateStream(const uint8_t* data, size_t length);

  bool ReadWord(uint32_t& value);
  // Reads count bytes; fails, reading nothing, when fewer remain.
  bool ReadBytes(size_t count, std::vector<uint8_t>& bytes);
  // A 32-bit length, then that many bytes.
  bool ReadBlock(std::vector<uint8_t>& bytes);
  bool ReadStoredText(std::string& text);

  size_t Remaining() const { return (length_ - sourcePos_) + (bufferFill_ - bufferPos_); }
  bool AtEnd() const { return Remaining() == 0; }

 private:
  bool Read(uint8_t* out, size_t count);
  void Refill();

  const uint8_t* data_;
  size_t length_;
  size_t sourcePos_ = 0;
  std::array<uint8_t, kBufferSize> buffer_{};
  size_t bufferPos_ = 0;
  size_t bufferFill_ = 0;
};

// A bounded view of bytes already in memory (a unit table, a unit record, a type data block).
class ByteCursor {
 public:
  explicit ByteCursor(std::span<const uint8_t> bytes) : bytes_(bytes) {}

  bool ReadWord(uint32_t& value);
  bool ReadHalf(uint16_t& value);
  bool ReadInt(int32_t& value);
  bool ReadRaw(std::span<uint8_t> out);
  // A 32-bit length, then that many bytes.
  bool ReadBlock(std::vector<uint8_t>& bytes);
  bool ReadLengthText(std::string& text);
  // A NUL-terminated string that must end inside the view.
  bool ReadCString(std::string& text);
  // Everything that remains.
  std::vector<uint8_t> ReadRest();
  bool Seek(size_t position);

  size_t Position() const { return pos_; }
  size_t Remaining() const { return bytes_.size() - pos_; }
  bool AtEnd() const { return pos_ == bytes_.size(); }

 private:
  std::span<const uint8_t> bytes_;
  size_t pos_ = 0;
};

// Little-endian appending, for the writers.
void AppendWord(std::vector<uint8_t>& out, uint32_t value);
void AppendHalf(std::vector<uint8_t>& out, uint16_t value);
void AppendBlock(std::vector<uint8_t>& out, std::span<const uint8_t> bytes);
void AppendLengthText(std::vector<uint8_t>& out, const std::string& text);
void AppendCString(std::vector<uint8_t>& out, const std::string& text);

}  // namespace quorlin::forms
