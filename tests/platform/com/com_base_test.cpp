#include "platform/com/com_base.h"

#include <gtest/gtest.h>

#include <thread>

#include "platform/com/com_object.h"
#include "platform/com/com_ptr.h"

namespace {

using quorlin::platform::ComInitializedOnThisThread;
using quorlin::platform::ComObject;
using quorlin::platform::ComPtr;
using quorlin::platform::FormatGuid;
using quorlin::platform::ParseGuid;

TEST(ComInitialisation, CountsPerThreadAndRefusesAChangedModel) {
  std::thread([] {
    EXPECT_FALSE(ComInitializedOnThisThread());
    EXPECT_EQ(CoInitialize(nullptr), S_OK);
    EXPECT_EQ(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED), S_FALSE);
    EXPECT_EQ(CoInitializeEx(nullptr, COINIT_MULTITHREADED), RPC_E_CHANGED_MODE);
    std::thread([] { EXPECT_EQ(CoInitializeEx(nullptr, COINIT_MULTITHREADED), S_OK) << "its own count"; }).join();
    CoUninitialize();
    EXPECT_TRUE(ComInitializedOnThisThread()) << "one initialisation is left";
    CoUninitialize();
    EXPECT_FALSE(ComInitializedOnThisThread());
    CoUninitialize();  // one too many does no harm
    EXPECT_EQ(CoInitialize(nullptr), S_OK);
    CoUninitialize();
  }).join();
}

TEST(ComInitialisation, OleInitialiseStandsOnCom) {
  std::thread([] {
    EXPECT_EQ(OleInitialize(nullptr), S_OK);
    EXPECT_EQ(CoInitialize(nullptr), S_FALSE);
    EXPECT_EQ(OleInitialize(nullptr), S_FALSE);
    OleUninitialize();
    OleUninitialize();
    EXPECT_TRUE(ComInitializedOnThisThread()) << "the application's own CoInitialize is still open";
    CoUninitialize();
    EXPECT_FALSE(ComInitializedOnThisThread());
    EXPECT_EQ(CoInitializeEx(nullptr, COINIT_MULTITHREADED), S_OK);
    EXPECT_EQ(OleInitialize(nullptr), RPC_E_CHANGED_MODE);
    OleUninitialize();  // nothing to undo
    EXPECT_TRUE(ComInitializedOnThisThread());
    CoUninitialize();
  }).join();
}

TEST(Guids, ParseAndFormat) {
  const GUID xmlHttp{0x88D96A0B, 0xF192, 0x11D4, {0xA6, 0x5F, 0x00, 0x40, 0x96, 0x32, 0x51, 0xE5}};
  EXPECT_EQ(ParseGuid("{88D96A0B-F192-11D4-A65F-0040963251E5}"), xmlHttp);
  EXPECT_EQ(ParseGuid("{88d96a0b-f192-11d4-a65f-0040963251e5}"), xmlHttp);
  EXPECT_EQ(FormatGuid(xmlHttp), "{88D96A0B-F192-11D4-A65F-0040963251E5}");
  EXPECT_EQ(FormatGuid(IID_IUnknown), "{00000000-0000-0000-C000-000000000046}");
  for (const char* bad : {"", "88D96A0B-F192-11D4-A65F-0040963251E5", "{88D96A0B-F192-11D4-A65F-0040963251E5",
                          "{88D96A0B-F192-11D4-A65F-0040963251E5}x", "{88D96A0B-F192-11D4-A65F0-040963251E5}",
                          "{88D96A0G-F192-11D4-A65F-0040963251E5}", "{+8D96A0B-F192-11D4-A65F-0040963251E5}"}) {
    EXPECT_FALSE(ParseGuid(bad).has_value()) << bad;
  }
  WCHAR text[39];
  EXPECT_EQ(StringFromGUID2(xmlHttp, text, 39), 39);
  EXPECT_EQ(StringFromGUID2(xmlHttp, text, 38), 0);
  CLSID back{};
  EXPECT_EQ(CLSIDFromString(text, &back), S_OK);
  EXPECT_EQ(back, xmlHttp);
  EXPECT_EQ(CLSIDFromString(u"{nope}", &back), CO_E_CLASSSTRING);
}

struct ITestThing : IUnknown {
  static constexpr IID kIid{0x12345678, 0x1, 0x2, {1, 2, 3, 4, 5, 6, 7, 8}};
  virtual int Value() = 0;
};
struct IOtherThing : IUnknown {
  static constexpr IID kIid{0x12345678, 0x1, 0x3, {1, 2, 3, 4, 5, 6, 7, 8}};
  virtual int Other() = 0;
};

class Thing final : public ComObject<ITestThing, IOtherThing> {
 public:
  explicit Thing(bool& gone) : gone_(gone) {}
  ~Thing() override { gone_ = true; }
  int Value() override { return 5; }
  int Other() override { return 6; }

 private:
  bool& gone_;
};

TEST(ComObjects, QueryInterfaceCountsAndTheLastReleaseDeletes) {
  bool gone = false;
  auto thing = ComPtr<ITestThing>::Adopt(new Thing(gone));
  ComPtr<IOtherThing> other;
  ASSERT_EQ(thing.As(other), S_OK);
  EXPECT_EQ(other->Other(), 6);

  IUnknown* a = nullptr;
  IUnknown* b = nullptr;
  ASSERT_EQ(thing->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&a)), S_OK);
  ASSERT_EQ(other->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&b)), S_OK);
  EXPECT_EQ(a, b) << "IUnknown is the object's identity";
  EXPECT_EQ(a->Release(), 3u);
  EXPECT_EQ(b->Release(), 2u);

  void* none = reinterpret_cast<void*>(1);
  EXPECT_EQ(thing->QueryInterface(GUID_NULL, &none), E_NOINTERFACE);
  EXPECT_EQ(none, nullptr);
  EXPECT_EQ(thing->QueryInterface(IID_IUnknown, nullptr), E_POINTER);

  thing.Reset();
  EXPECT_FALSE(gone);
  other.Reset();
  EXPECT_TRUE(gone);
}

TEST(ComTaskMemory, AllocatesFreesAndRefusesHugeSizes) {
  void* block = CoTaskMemAlloc(16);
  ASSERT_NE(block, nullptr);
  block = CoTaskMemRealloc(block, 64);
  ASSERT_NE(block, nullptr);
  CoTaskMemFree(block);
  CoTaskMemFree(nullptr);
  EXPECT_EQ(CoTaskMemAlloc(~SIZE_T{0}), nullptr);
}

TEST(Hresults, SuccessAndFailure) {
  EXPECT_TRUE(SUCCEEDED(S_FALSE));
  EXPECT_TRUE(FAILED(E_FAIL));
  EXPECT_EQ(HRESULT_FROM_WIN32(5), E_ACCESSDENIED);
  EXPECT_EQ(HRESULT_FROM_WIN32(0), S_OK);
}

}  // namespace
