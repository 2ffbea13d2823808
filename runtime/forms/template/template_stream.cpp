#include "runtime/forms/template/template_stream.h"

#include <algorithm>
#include <cstring>

namespace quorlin::forms {

namespace {

uint32_t WordAt(const uint8_t* p) {
  return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

}  // namespace

TemplateStream::TemplateStream(const uint8_t* data, size_t length)
    : data_(data), length_(data ? length : 0) {}

void TemplateStream::Refill() {
  size_t count = std::min(kBufferSize, length_ - sourcePos_);
  std::memcpy(buffer_.data(), data_ + sourcePos_, count);
  sourcePos_ += count;
  bufferPos_ = 0;
  bufferFill_ = count;
}

bool TemplateStream::Read(uint8_t* out, size_t count) {
  if (count > Remaining()) return false;
  while (count > 0) {
    if (bufferPos_ == bufferFill_) Refill();
    size_t step = std::min(count, bufferFill_ - bufferPos_);
    std::memcpy(out, buffer_.data() + bufferPos_, step);
    bufferPos_ += step;
    out += step;
    count -= step;
  }
  return true;
}

bool TemplateStream::ReadWord(uint32_t& value) {
  uint8_t bytes[4];
  if (!Read(bytes, 4)) return false;
  value = WordAt(bytes);
  return true;
}

bool TemplateStream::ReadBytes(size_t count, std::vector<uint8_t>& bytes) {
  if (count > Remaining()) return false;
  std::vector<uint8_t> read(count);
  Read(read.data(), count);
  bytes = std::move(read);
  return true;
}

bool TemplateStream::ReadBlock(std::vector<uint8_t>& bytes) {
  uint32_t length = 0;
  return ReadWord(length) && ReadBytes(length, bytes);
}

bool TemplateStream::ReadStoredText(std::string& text) {
  std::vector<uint8_t> bytes;
  if (!ReadBlock(bytes)) return false;
  text.assign(bytes.begin(), bytes.end());
  return true;
}

bool ByteCursor::ReadWord(uint32_t& value) {
  if (Remaining() < 4) return false;
  value = WordAt(bytes_.data() + pos_);
  pos_ += 4;
  return true;
}

bool ByteCursor::ReadHalf(uint16_t& value) {
  if (Remaining() < 2) return false;
  value = uint16_t(bytes_[pos_] | bytes_[pos_ + 1] << 8);
  pos_ += 2;
  return true;
}

bool ByteCursor::ReadInt(int32_t& value) {
  uint32_t word = 0;
  if (!ReadWord(word)) return false;
  value = static_cast<int32_t>(word);
  return true;
}

bool ByteCursor::ReadRaw(std::span<uint8_t> out) {
  if (Remaining() < out.size()) return false;
  std::copy_n(bytes_.data() + pos_, out.size(), out.data());
  pos_ += out.size();
  return true;
}

bool ByteCursor::ReadBlock(std::vector<uint8_t>& bytes) {
  size_t start = pos_;
  uint32_t length = 0;
  if (!ReadWord(length)) return false;
  if (length > Remaining()) {
    pos_ = start;
    return false;
  }
  bytes.assign(bytes_.data() + pos_, bytes_.data() + pos_ + length);
  pos_ += length;
  return true;
}

bool ByteCursor::ReadLengthText(std::string& text) {
  std::vector<uint8_t> bytes;
  if (!ReadBlock(bytes)) return false;
  text.assign(bytes.begin(), bytes.end());
  return true;
}

bool ByteCursor::ReadCString(std::string& text) {
  if (Remaining() == 0) return false;
  const uint8_t* start = bytes_.data() + pos_;
  const void* nul = std::memchr(start, 0, Remaining());
  if (nul == nullptr) return false;
  size_t length = static_cast<const uint8_t*>(nul) - start;
  text.assign(reinterpret_cast<const char*>(start), length);
  pos_ += length + 1;
  return true;
}

std::vector<uint8_t> ByteCursor::ReadRest() {
  std::vector<uint8_t> rest(bytes_.begin() + pos_, bytes_.end());
  pos_ = bytes_.size();
  return rest;
}

bool ByteCursor::Seek(size_t position) {
  if (position > bytes_.size()) return false;
  pos_ = position;
  return true;
}

void AppendWord(std::vector<uint8_t>& out, uint32_t value) {
  for (int shift = 0; shift < 32; shift += 8) out.push_back(uint8_t(value >> shift));
}

void AppendHalf(std::vector<uint8_t>& out, uint16_t value) {
  out.push_back(uint8_t(value));
  out.push_back(uint8_t(value >> 8));
}

void AppendBlock(std::vector<uint8_t>& out, std::span<const uint8_t> bytes) {
  AppendWord(out, static_cast<uint32_t>(bytes.size()));
  out.insert(out.end(), bytes.begin(), bytes.end());
}

void AppendLengthText(std::vector<uint8_t>& out, const std::string& text) {
  AppendBlock(out, std::span(reinterpret_cast<const uint8_t*>(text.data()), text.size()));
}

void AppendCString(std::vector<uint8_t>& out, const std::string& text) {
  out.insert(out.end(), text.begin(), text.end());
  out.push_back(0);
}

}  // namespace quorlin::forms
