// Speed of the text scans and the whole-file commands on 16 MiB inputs. Targets: FindText
// scans at least 1 GB/s on ASCII and GBK texts; the scans stay linear on texts full of
// near-matches (compare the near-match rows with the plain rows: same order of time);
// ReadFileBytes and WriteFileBytes move a whole file in one pass at disk speed.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include <unistd.h>

#include "runtime/commands/byte_set_commands.h"
#include "runtime/commands/file_commands.h"
#include "runtime/commands/text_commands.h"
#include "runtime/kernel/blocks.h"
#include "runtime/kernel/library_host.h"

namespace quorlin::commands {
namespace {

constexpr size_t TextSize = size_t{16} << 20;

// Random lower-case words and spaces.
std::string AsciiText() {
  std::mt19937 rng(1);
  std::string s(TextSize, ' ');
  for (char& c : s) c = rng() % 6 == 0 ? ' ' : static_cast<char>('a' + rng() % 26);
  return s;
}

// Random GBK characters of the common rows 0xB0 .. 0xD7.
std::string GbkText() {
  std::mt19937 rng(2);
  std::string s(TextSize, ' ');
  for (size_t i = 0; i + 1 < s.size(); i += 2) {
    s[i] = static_cast<char>(0xB0 + rng() % 40);
    s[i + 1] = static_cast<char>(0xA1 + rng() % 94);
  }
  return s;
}

// The worst case for a naive scan: all 'a' and a pattern of 4096 'a' that ends in 'b'.
std::string NearMatchText() { return std::string(TextSize, 'a'); }
std::string NearMatchPattern() { return std::string(4095, 'a') + "b"; }

// A GBK text whose every trail byte starts the pattern: thousands of matches that must be
// refused because they start inside a character.
std::string MisalignedText() {
  std::string s;
  s.reserve(TextSize);
  while (s.size() < TextSize) s += "\x81\xB0";
  return s;
}
std::string MisalignedPattern() {
  std::string p;
  for (int i = 0; i < 2048; ++i) p += "\xB0\x81";
  return p;
}

struct TextArgument {
  explicit TextArgument(const std::string& s) : block(NewText(s)) {}
  ~TextArgument() { LibraryHost::Free(block); }
  TypedValue Value() const { return MakeText(block); }
  char* block;
};

void FreeResult(const TypedValue& result) {
  if (result.tag == (Tag::Text | Tag::ArrayFlag)) {
    const ArrayShape shape = ReadArrayShape(PointerOf(result));
    for (size_t i = 0; i < shape.elementCount; ++i) LibraryHost::Free(const_cast<char*>(TextArrayElement(shape, i)));
  }
  if (result.tag == Tag::Text || result.tag == Tag::ByteSet || result.tag == (Tag::Text | Tag::ArrayFlag)) {
    LibraryHost::Free(PointerOf(result));
  }
}

void RunCommand(benchmark::State& state, void (*command)(TypedValue*, int32_t, TypedValue*), const std::string& text,
                const std::string& pattern, std::vector<TypedValue> extra = {}) {
  const TextArgument t(text), p(pattern);
  std::vector<TypedValue> args = {t.Value(), p.Value()};
  args.insert(args.end(), extra.begin(), extra.end());
  for (auto _ : state) {
    TypedValue result{};
    command(&result, static_cast<int32_t>(args.size()), args.data());
    benchmark::DoNotOptimize(result);
    FreeResult(result);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(text.size()));
}

void BM_FindTextAscii(benchmark::State& state) { RunCommand(state, FindText, AsciiText(), "quorlin"); }
void BM_FindTextAsciiIgnoreCase(benchmark::State& state) {
  RunCommand(state, FindText, AsciiText(), "Quorlin", {MakeInteger(1), MakeBoolean(true)});
}
void BM_FindTextGbk(benchmark::State& state) { RunCommand(state, FindText, GbkText(), "\xB0\xC9\xC1\xE4\xA3\xBA"); }
void BM_FindTextNearMatches(benchmark::State& state) { RunCommand(state, FindText, NearMatchText(), NearMatchPattern()); }
void BM_FindTextMisaligned(benchmark::State& state) { RunCommand(state, FindText, MisalignedText(), MisalignedPattern()); }
void BM_FindTextReverseGbk(benchmark::State& state) { RunCommand(state, FindTextReverse, GbkText(), "\xB0\xC9\xC1\xE4\xA3\xBA"); }
void BM_FindTextReverseNearMatches(benchmark::State& state) {
  RunCommand(state, FindTextReverse, NearMatchText(), NearMatchPattern());
}
void BM_FindTextReverseMisaligned(benchmark::State& state) {
  RunCommand(state, FindTextReverse, MisalignedText(), MisalignedPattern());
}
void BM_ReplaceSubtextAscii(benchmark::State& state) { RunCommand(state, ReplaceSubtext, AsciiText(), "the", {MakeText("THE")}); }
void BM_ReplaceSubtextNearMatches(benchmark::State& state) {
  RunCommand(state, ReplaceSubtext, NearMatchText(), NearMatchPattern(), {MakeText(nullptr), MakeInteger(1), MakeInteger(-1), MakeBoolean(true)});
}
void BM_ReplaceSubtextMisaligned(benchmark::State& state) {
  RunCommand(state, ReplaceSubtext, MisalignedText(), MisalignedPattern());
}
void BM_SplitTextAsciiWords(benchmark::State& state) { RunCommand(state, SplitText, AsciiText(), " "); }
void BM_SplitTextNearMatches(benchmark::State& state) { RunCommand(state, SplitText, NearMatchText(), NearMatchPattern()); }
void BM_SplitTextMisaligned(benchmark::State& state) { RunCommand(state, SplitText, MisalignedText(), MisalignedPattern()); }

class ScratchFile {
 public:
  ScratchFile() : path_(std::filesystem::temp_directory_path() / ("quorlin_commands_bench_" + std::to_string(::getpid()))) {}
  ~ScratchFile() { std::filesystem::remove(path_); }
  std::string Name() const { return path_.string(); }

 private:
  std::filesystem::path path_;
};

void BM_WriteFileBytes(benchmark::State& state) {
  const ScratchFile file;
  const TextArgument name(file.Name());
  void* bytes = NewByteSetUninitialised(TextSize);
  std::memset(ByteSetData(bytes), 0x5A, TextSize);
  TypedValue args[] = {name.Value(), MakeByteSet(bytes)};
  for (auto _ : state) {
    TypedValue result{};
    WriteFileBytes(&result, 2, args);
    if (result.low != 1) state.SkipWithError("write failed");
  }
  LibraryHost::Free(bytes);
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(TextSize));
}

void BM_ReadFileBytes(benchmark::State& state) {
  const ScratchFile file;
  if (FILE* f = std::fopen(file.Name().c_str(), "wb")) {
    const std::string data(TextSize, 'r');
    std::fwrite(data.data(), 1, data.size(), f);
    std::fclose(f);
  }
  const TextArgument name(file.Name());
  TypedValue args[] = {name.Value()};
  for (auto _ : state) {
    TypedValue result{};
    ReadFileBytes(&result, 1, args);
    if (quorlin::ByteSetLength(PointerOf(result)) != TextSize) state.SkipWithError("read failed");
    FreeResult(result);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(TextSize));
}

BENCHMARK(BM_FindTextAscii)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FindTextAsciiIgnoreCase)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FindTextGbk)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FindTextNearMatches)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FindTextMisaligned)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FindTextReverseGbk)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FindTextReverseNearMatches)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FindTextReverseMisaligned)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReplaceSubtextAscii)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReplaceSubtextNearMatches)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReplaceSubtextMisaligned)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SplitTextAsciiWords)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SplitTextNearMatches)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SplitTextMisaligned)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WriteFileBytes)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadFileBytes)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace quorlin::commands
