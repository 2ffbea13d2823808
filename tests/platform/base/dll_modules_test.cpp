#include "platform/base/dll_modules.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <bit>
#include <cmath>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "platform/base/builtin_exports.h"
#include "platform/base/last_error.h"
#include "platform/base/module_path.h"
#include "platform/base/thread_services.h"

namespace quorlin::platform {
namespace {

// Signatures derived from types, checked as this file compiles.
enum class SmallKind : uint8_t { A };
enum WideEnum : int64_t { Big = 1 };
using Callback = LRESULT (*)(HWND, UINT, WPARAM, LPARAM);
void TakesMessage(HWND, UINT, WPARAM, LPARAM) {}
long long TakesSizes(SIZE_T, INT_PTR, long long, unsigned long long) { return 0; }
double TakesReals(float, double, const char*, Callback) { return 0; }
BOOL TakesSmall(BYTE, SHORT, bool, char, SmallKind, WideEnum, WCHAR) { return 0; }
void* TakesNothing() noexcept { return nullptr; }
static_assert(SignatureOf<&TakesMessage> == ProcedureSignature{'v', "iipp"});
static_assert(SignatureOf<&TakesSizes> == ProcedureSignature{'l', "ppll"});
static_assert(SignatureOf<&TakesReals> == ProcedureSignature{'d', "fdpp"});
static_assert(SignatureOf<&TakesSmall> == ProcedureSignature{'i', "iiiiipi"});
static_assert(SignatureOf<&TakesNothing> == ProcedureSignature{'p', ""});

// The test-only module "testmod".
int AddInts(int a, int b) { return a + b; }
long long AddLongs(long long a, long long b) { return a + b; }
float Half(float x) { return x / 2; }
LPARAM ByteAt(const char* text, WPARAM offset) { return static_cast<unsigned char>(text[offset]); }
LPARAM SumWide(WPARAM w, LPARAM l) { return static_cast<LPARAM>(w) + l; }
void Store(int* out, int value) { *out = value; }
int Negate(int x) { return -x; }
WORD AddNarrow(BYTE b, SHORT s) { return static_cast<WORD>(b + s); }
// More arguments than registers, integers and reals mixed.
double Mixed(int a, double b, long long c, float d, int e, int f, int g, int h, double i, int j) {
  return a + b + static_cast<double>(c) + d + e + f + g + h + i + j;
}
int Two() { return 2; }

const BuiltinExport TestExports[] = {
    MakeExport<&AddInts>("AddInts", 1), MakeExport<&AddLongs>("AddLongs", 2), MakeExport<&Half>("Half"),
    MakeExport<&ByteAt>("ByteAt"),      MakeExport<&SumWide>("SumWide"),      MakeExport<&Store>("Store"),
    MakeExport<&Negate>(nullptr, 7),    MakeExport<&AddNarrow>("AddNarrow"),  MakeExport<&Mixed>("Mixed"),
};

uint64_t Bits(double d) { return std::bit_cast<uint64_t>(d); }
uint64_t Bits(float f) { return std::bit_cast<uint32_t>(f); }

class DllModulesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    RegisterBuiltinExports("testmod", TestExports);
    testmod = LoadLibraryA("testmod");
    ASSERT_NE(testmod, 0u);
  }
  void TearDown() override { FreeLibrary(testmod); }

  // Calls a test export with its own recorded signature.
  uint64_t Call(const char* name, std::vector<uint64_t> args) {
    FARPROC p = GetProcAddress(testmod, name);
    const ProcedureSignature* s = BuiltinSignatureOf(p);
    EXPECT_TRUE(p && s) << name;
    return s ? CallProcedure(p, *s, args.data()) : 0;
  }

  HMODULE testmod = 0;
};

TEST_F(DllModulesTest, BuiltinNamesMatchWithoutCaseWithOrWithoutDll) {
  const HMODULE kernel32 = GetModuleHandleA("kernel32");
  ASSERT_NE(kernel32, 0u);
  for (const char* name : {"kernel32", "KERNEL32.DLL", "Kernel32.dll", "KeRnEl32"}) {
    EXPECT_EQ(GetModuleHandleA(name), kernel32) << name;
    EXPECT_EQ(LoadLibraryA(name), kernel32) << name;
    EXPECT_TRUE(FreeLibrary(kernel32)) << name;
  }
  EXPECT_EQ(GetModuleHandleA("TestMod.DLL"), testmod);

  // Every standard module exists, each its own, before anything registers in it.
  std::vector<HMODULE> seen{kernel32};
  for (const char* name : {"user32.dll", "gdi32", "ADVAPI32.DLL", "mpr", "shell32", "ole32.dll", "shlwapi"}) {
    const HMODULE h = GetModuleHandleA(name);
    EXPECT_TRUE(h != 0 && std::count(seen.begin(), seen.end(), h) == 0) << name;
    seen.push_back(h);
  }

  for (const char* name : {"kernel32.dl", "kernel", "kernel32.dll.dll", ".dll", "", "lib/kernel32.dll",
                           "C:\\Windows\\kernel32.dll", "no-such-library.so"}) {
    SetLastError(0);
    EXPECT_EQ(GetModuleHandleA(name), 0u) << name;
    EXPECT_EQ(GetLastError(), ERROR_MOD_NOT_FOUND) << name;
    SetLastError(0);
    EXPECT_EQ(LoadLibraryA(name), 0u) << name;
    EXPECT_EQ(GetLastError(), ERROR_MOD_NOT_FOUND) << name;
  }
}

TEST_F(DllModulesTest, ProceduresByNameAndOrdinal) {
  const FARPROC add = reinterpret_cast<FARPROC>(&AddInts);
  const std::pair<const char*, FARPROC> rows[] = {
      {"AddInts", add}, {"#1", add}, {"#0001", add},
      {"#65537", add},  // ordinals are taken modulo 65536
      {reinterpret_cast<const char*>(uintptr_t{1}), add},
      {"#7", reinterpret_cast<FARPROC>(&Negate)}, {"#2", reinterpret_cast<FARPROC>(&AddLongs)},
      {"addints", nullptr},  // procedure names keep their case
      {"#", nullptr}, {"#1x", nullptr}, {"#0", nullptr}, {"#3", nullptr}, {nullptr, nullptr}, {"Missing", nullptr},
  };
  for (size_t i = 0; i < std::size(rows); ++i) {
    SetLastError(0);
    EXPECT_EQ(GetProcAddress(testmod, rows[i].first), rows[i].second) << "row " << i;
    EXPECT_EQ(GetLastError(), rows[i].second ? 0 : ERROR_PROC_NOT_FOUND) << "row " << i;
  }
  EXPECT_EQ(GetProcAddress(0xDEADBEEF, "AddInts"), nullptr);
  EXPECT_EQ(GetLastError(), ERROR_MOD_NOT_FOUND);
}

TEST_F(DllModulesTest, RepeatedRegistrationReplacesAndAdds) {
  const BuiltinExport later[] = {MakeExport<&Two>("Later"), MakeExport<&Two>("AddInts", 1)};
  RegisterBuiltinExports("TESTMOD.DLL", later);
  EXPECT_EQ(GetProcAddress(testmod, "Later"), reinterpret_cast<FARPROC>(&Two));
  EXPECT_EQ(GetProcAddress(testmod, "#1"), reinterpret_cast<FARPROC>(&Two));
  RegisterBuiltinExports("testmod", TestExports);
  EXPECT_EQ(GetProcAddress(testmod, "AddInts"), reinterpret_cast<FARPROC>(&AddInts));
}

TEST_F(DllModulesTest, DeclaredSignatureMismatchIsDetectable) {
  const ProcedureSignature* recorded = BuiltinSignatureOf(GetProcAddress(testmod, "AddInts"));
  ASSERT_NE(recorded, nullptr);
  EXPECT_EQ(*recorded, (ProcedureSignature{'i', "ii"}));
  for (const ProcedureSignature& declared : {ProcedureSignature{'i', "iii"}, ProcedureSignature{'i', "i"},
                                             ProcedureSignature{'l', "ii"}, ProcedureSignature{'i', "ip"}}) {
    EXPECT_NE(*recorded, declared) << declared.result << declared.arguments;
  }
  EXPECT_EQ(BuiltinSignatureOf(reinterpret_cast<FARPROC>(&std::strlen)), nullptr);
  EXPECT_EQ(BuiltinSignatureOf(nullptr), nullptr);
}

TEST_F(DllModulesTest, CallProcedurePassesEachKindOfArgument) {
  EXPECT_EQ(Call("AddInts", {40, 2}), 42u);
  // An 'i' argument is the word's low 32 bits; an 'i' result comes back zero-extended.
  EXPECT_EQ(Call("AddInts", {0xFFFFFFFF00000005ull, 0x123400000001ull}), 6u);
  EXPECT_EQ(Call("#7", {5}), static_cast<uint32_t>(-5));
  EXPECT_EQ(Call("AddLongs", {0x100000000ull, 0x7FFFFFFE00000000ull}), 0x7FFFFFFF00000000ull);
  EXPECT_EQ(Call("Half", {Bits(3.0f)}), Bits(1.5f));
  // WPARAM and LPARAM are pointer-sized: both words pass, and so does the sign.
  EXPECT_EQ(Call("SumWide", {0x100000003ull, static_cast<uint64_t>(-1)}), 0x100000002ull);
  const char text[] = "abcdef";
  EXPECT_EQ(Call("ByteAt", {reinterpret_cast<uintptr_t>(text), 3}), static_cast<uint64_t>('d'));
  int stored = 0;
  EXPECT_EQ(Call("Store", {reinterpret_cast<uintptr_t>(&stored), 99}), 0u);
  EXPECT_EQ(stored, 99);
  // Narrow parameters are cut to their width; a narrow result is whole in 32 bits.
  EXPECT_EQ(Call("AddNarrow", {0x1FF, 0x10001}), 0x100u);
  EXPECT_EQ(Call("AddNarrow", {0xFF, static_cast<uint32_t>(-1)}), 0xFEu);
  EXPECT_EQ(Call("Mixed", {1, Bits(0.5), 1000000000000ull, Bits(0.25f), 2, 3, 4, 5, Bits(0.125), 6}),
            Bits(1000000000021.875));
}

TEST_F(DllModulesTest, CallProcedureRefusesMalformedDeclarations) {
  const FARPROC add = GetProcAddress(testmod, "AddInts");
  const uint64_t args[] = {1, 2};
  for (const ProcedureSignature& bad : {ProcedureSignature{'x', "ii"}, ProcedureSignature{'i', "iv"},
                                        ProcedureSignature{'i', "i?"}}) {
    SetLastError(0);
    EXPECT_EQ(CallProcedure(add, bad, args), 0u);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
  }
  EXPECT_EQ(CallProcedure(nullptr, {'i', "ii"}, args), 0u);
  EXPECT_EQ(CallProcedure(add, {'i', "ii"}, nullptr), 0u);
}

TEST(DllModulesShared, ProceduresAndReferenceCounts) {
  const HMODULE libm = LoadLibraryA("libm.so.6");
  ASSERT_NE(libm, 0u);
  EXPECT_EQ(LoadLibraryA("libm.so.6"), libm) << "the same object gives the same module";
  EXPECT_EQ(GetModuleHandleA("libm.so.6"), libm);

  const FARPROC cosine = GetProcAddress(libm, "cos");
  ASSERT_NE(cosine, nullptr);
  EXPECT_EQ(BuiltinSignatureOf(cosine), nullptr);
  const uint64_t arg = Bits(0.5);
  EXPECT_EQ(CallProcedure(cosine, {'d', "d"}, &arg), Bits(std::cos(0.5)));
  const uint64_t powArgs[] = {Bits(2.0f), Bits(10.0f)};
  EXPECT_EQ(CallProcedure(GetProcAddress(libm, "powf"), {'f', "ff"}, powArgs), Bits(1024.0f));
  char fileName[MAX_PATH] = "";
  EXPECT_GT(GetModuleFileNameA(libm, fileName, MAX_PATH), 0u);
  EXPECT_NE(std::strstr(fileName, "/libm.so.6"), nullptr) << fileName;
  EXPECT_EQ(GetProcAddress(libm, "#1"), nullptr) << "shared objects have no ordinals";
  EXPECT_EQ(GetLastError(), ERROR_PROC_NOT_FOUND);

  EXPECT_TRUE(FreeLibrary(libm));
  EXPECT_EQ(GetProcAddress(libm, "cos"), cosine) << "still loaded once";
  EXPECT_TRUE(FreeLibrary(libm));
  EXPECT_EQ(GetProcAddress(libm, "cos"), nullptr) << "the handle died with the last reference";
  EXPECT_EQ(GetLastError(), ERROR_MOD_NOT_FOUND);
  EXPECT_EQ(GetModuleHandleA("libm.so.6"), 0u);
  EXPECT_FALSE(FreeLibrary(libm));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);

  const HMODULE again = LoadLibraryA("libm.so.6");
  EXPECT_TRUE(again != 0 && again != libm) << "handles are not reused";
  EXPECT_TRUE(FreeLibrary(again));
}

TEST(DllModulesShared, MainProgramModuleStaysAndFindsLoadedSymbols) {
  const HMODULE self = GetModuleHandleA(nullptr);
  ASSERT_NE(self, 0u);
  EXPECT_NE(GetProcAddress(self, "strlen"), nullptr);
  EXPECT_EQ(GetProcAddress(0, "strlen"), GetProcAddress(self, "strlen"));
  EXPECT_TRUE(FreeLibrary(self));
  EXPECT_EQ(GetModuleHandleA(nullptr), self);
  EXPECT_NE(GetProcAddress(self, "strlen"), nullptr);
}

TEST(DllModulesBase, BaseExportsCallThroughTheirModules) {
  RegisterBaseExports();
  RegisterBaseExports();
  const HMODULE kernel32 = LoadLibraryA("kernel32.dll");
  const HMODULE shlwapi = LoadLibraryA("SHLWAPI.DLL");
  for (const char* name :
       {"MultiByteToWideChar", "WideCharToMultiByte", "GetCurrentThreadId", "GetTickCount", "Sleep", "GetLastError",
        "SetLastError", "GetModuleFileNameA", "GetProcessHeap", "HeapAlloc", "HeapFree", "lstrlenA", "GetACP"}) {
    EXPECT_NE(BuiltinSignatureOf(GetProcAddress(kernel32, name)), nullptr) << name;
  }
  EXPECT_EQ(*BuiltinSignatureOf(GetProcAddress(kernel32, "WideCharToMultiByte")), (ProcedureSignature{'i', "iipipipp"}));
  EXPECT_EQ(*BuiltinSignatureOf(GetProcAddress(kernel32, "HeapAlloc")), (ProcedureSignature{'p', "iip"}));
  EXPECT_EQ(CallProcedure(GetProcAddress(kernel32, "GetCurrentThreadId"), {'i', ""}, nullptr), GetCurrentThreadId());
  char fileName[MAX_PATH] = "";
  EXPECT_EQ(GetModuleFileNameA(shlwapi, fileName, MAX_PATH), 11u);
  EXPECT_STREQ(fileName, "shlwapi.dll");

  char text[] = "  trimmed  ";
  const uint64_t textArg = reinterpret_cast<uintptr_t>(text);
  CallProcedure(GetProcAddress(shlwapi, "PathRemoveBlanksA"), {'v', "p"}, &textArg);
  EXPECT_STREQ(text, "trimmed");
  EXPECT_EQ(CallProcedure(GetProcAddress(kernel32, "lstrlenA"), {'i', "p"}, &textArg), 7u);
  // The callee's own SetLastError survives the call.
  const uint64_t code = 1234;
  CallProcedure(GetProcAddress(kernel32, "SetLastError"), {'v', "i"}, &code);
  EXPECT_EQ(GetLastError(), 1234u);
  FreeLibrary(kernel32);
  FreeLibrary(shlwapi);
}

TEST(DllModulesThreads, RegistrationAndLookupFromManyThreads) {
  std::atomic<int> failures{0};
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([t, &failures] {
      const std::string module = "threadmod" + std::to_string(t % 2);
      for (int i = 0; i < 200; ++i) {
        RegisterBuiltinExports(module, TestExports);
        const HMODULE h = LoadLibraryA(module.c_str());
        if (GetProcAddress(h, "AddInts") != reinterpret_cast<FARPROC>(&AddInts)) ++failures;
        if (!BuiltinSignatureOf(GetProcAddress(h, "Mixed")) || !FreeLibrary(h)) ++failures;
      }
    });
  }
  for (std::thread& t : threads) t.join();
  EXPECT_EQ(failures.load(), 0);
}

}  // namespace
}  // namespace quorlin::platform
