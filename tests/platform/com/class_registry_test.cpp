#include "platform/com/class_registry.h"

#include <gtest/gtest.h>

#include <thread>

#include "platform/com/com_ptr.h"
#include "tests/platform/com/automation_test_class.h"

namespace {

using automation_test::TestObject;
using quorlin::platform::ComPtr;
using quorlin::platform::RegisterComClass;
using quorlin::platform::UnregisterComClass;

// {0A3E1F52-7B44-4C61-8D90-1E2F3A4B5C01} and …02
constexpr CLSID kFirstClass{0x0A3E1F52, 0x7B44, 0x4C61, {0x8D, 0x90, 0x1E, 0x2F, 0x3A, 0x4B, 0x5C, 0x01}};
constexpr CLSID kSecondClass{0x0A3E1F52, 0x7B44, 0x4C61, {0x8D, 0x90, 0x1E, 0x2F, 0x3A, 0x4B, 0x5C, 0x02}};

HRESULT MakeTestObject(IUnknown** object) {
  *object = static_cast<IDispatch*>(new TestObject);
  return S_OK;
}

class ClassRegistryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(CoInitialize(nullptr), S_OK);
    ASSERT_EQ(RegisterComClass("Quorlin.Test.1", kFirstClass, MakeTestObject), S_OK);
  }
  void TearDown() override {
    UnregisterComClass(kFirstClass);
    UnregisterComClass(kSecondClass);
    CoUninitialize();
  }
};

TEST_F(ClassRegistryTest, ProgIdsMatchWithoutCase) {
  for (const char16_t* name : {u"Quorlin.Test.1", u"quorlin.test.1", u"QUORLIN.TEST.1"}) {
    CLSID clsid{};
    EXPECT_EQ(CLSIDFromProgID(name, &clsid), S_OK);
    EXPECT_EQ(clsid, kFirstClass);
  }
  CLSID clsid = kFirstClass;
  for (const char16_t* name : {u"Quorlin.Test", u"Quorlin.Test.1 ", u"", u"Quorlin.T\u00e9st.1",
                               u"{0A3E1F52-7B44-4C61-8D90-1E2F3A4B5C01}"}) {
    EXPECT_EQ(CLSIDFromProgID(name, &clsid), CO_E_CLASSSTRING);
    EXPECT_EQ(clsid, GUID_NULL);
  }
  EXPECT_EQ(CLSIDFromProgID(nullptr, &clsid), E_INVALIDARG);
}

TEST_F(ClassRegistryTest, CreatesRegisteredClassesInProcess) {
  ComPtr<IDispatch> dispatch;
  ASSERT_EQ(CoCreateInstance(kFirstClass, nullptr, CLSCTX_ALL, IID_IDispatch,
                             reinterpret_cast<void**>(dispatch.Receive())),
            S_OK);
  EXPECT_EQ(OleRun(dispatch.Get()), S_OK);
  EXPECT_EQ(OleRun(nullptr), E_POINTER);

  void* object = reinterpret_cast<void*>(1);
  EXPECT_EQ(CoCreateInstance(kFirstClass, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER |
                                                       CLSCTX_LOCAL_SERVER, IID_IUnknown, &object),
            S_OK);
  static_cast<IUnknown*>(object)->Release();
  EXPECT_EQ(CoCreateInstance(kFirstClass, nullptr, CLSCTX_LOCAL_SERVER, IID_IUnknown, &object), REGDB_E_CLASSNOTREG);
  EXPECT_EQ(object, nullptr);
  EXPECT_EQ(CoCreateInstance(kFirstClass, nullptr, CLSCTX_ALL, IID_ITypeLib, &object), E_NOINTERFACE);
  EXPECT_EQ(object, nullptr);
  EXPECT_EQ(CoCreateInstance(kFirstClass, dispatch.Get(), CLSCTX_ALL, IID_IUnknown, &object), CLASS_E_NOAGGREGATION);
  EXPECT_EQ(CoCreateInstance(kSecondClass, nullptr, CLSCTX_ALL, IID_IUnknown, &object), REGDB_E_CLASSNOTREG);
  EXPECT_EQ(CoCreateInstance(CLSID_DragDropHelper, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown, &object),
            REGDB_E_CLASSNOTREG)
      << "there are no drag images here";
  EXPECT_EQ(CoCreateInstance(kFirstClass, nullptr, CLSCTX_ALL, IID_IUnknown, nullptr), E_POINTER);
}

TEST_F(ClassRegistryTest, CreationNeedsComOnTheThread) {
  std::thread([] {
    void* object = reinterpret_cast<void*>(1);
    EXPECT_EQ(CoCreateInstance(kFirstClass, nullptr, CLSCTX_ALL, IID_IUnknown, &object), CO_E_NOTINITIALIZED);
    EXPECT_EQ(object, nullptr);
    EXPECT_EQ(CoGetClassObject(kFirstClass, CLSCTX_ALL, nullptr, IID_IClassFactory, &object), CO_E_NOTINITIALIZED);
  }).join();
}

TEST_F(ClassRegistryTest, AFailingFactoryReachesTheCaller) {
  ASSERT_EQ(RegisterComClass("Quorlin.Test.Failing", kSecondClass,
                             [](IUnknown** object) {
                               *object = nullptr;
                               return E_ACCESSDENIED;
                             }),
            S_OK);
  void* object = reinterpret_cast<void*>(1);
  EXPECT_EQ(CoCreateInstance(kSecondClass, nullptr, CLSCTX_ALL, IID_IUnknown, &object), E_ACCESSDENIED);
  EXPECT_EQ(object, nullptr);
}

TEST_F(ClassRegistryTest, ClassObjectsMakeInstances) {
  ComPtr<IClassFactory> factory;
  ASSERT_EQ(CoGetClassObject(kFirstClass, CLSCTX_INPROC_SERVER, nullptr, IID_IClassFactory,
                             reinterpret_cast<void**>(factory.Receive())),
            S_OK);
  ComPtr<IDispatch> dispatch;
  EXPECT_EQ(factory->CreateInstance(nullptr, IID_IDispatch, reinterpret_cast<void**>(dispatch.Receive())), S_OK);
  EXPECT_TRUE(dispatch);
  EXPECT_EQ(factory->LockServer(TRUE), S_OK);
}

TEST_F(ClassRegistryTest, RegistrationRulesAndProgIdsOfAClass) {
  EXPECT_EQ(RegisterComClass("", kSecondClass, MakeTestObject), E_INVALIDARG);
  EXPECT_EQ(RegisterComClass("Bad Name", kSecondClass, MakeTestObject), E_INVALIDARG);
  EXPECT_EQ(RegisterComClass("Quorlin.Test.2", kSecondClass, nullptr), E_INVALIDARG);

  ASSERT_EQ(RegisterComClass("Quorlin.Test.Alias", kFirstClass, MakeTestObject), S_OK);
  LPOLESTR progId = nullptr;
  ASSERT_EQ(ProgIDFromCLSID(kFirstClass, &progId), S_OK);
  EXPECT_EQ(std::u16string(progId), u"Quorlin.Test.1") << "the first ProgID registered";
  CoTaskMemFree(progId);

  // A ProgID registered again moves to the new class.
  ASSERT_EQ(RegisterComClass("QUORLIN.TEST.ALIAS", kSecondClass, MakeTestObject), S_OK);
  CLSID clsid{};
  EXPECT_EQ(CLSIDFromProgID(u"quorlin.test.alias", &clsid), S_OK);
  EXPECT_EQ(clsid, kSecondClass);

  EXPECT_TRUE(UnregisterComClass(kSecondClass));
  EXPECT_FALSE(UnregisterComClass(kSecondClass));
  EXPECT_EQ(CLSIDFromProgID(u"Quorlin.Test.Alias", &clsid), CO_E_CLASSSTRING);
  EXPECT_EQ(ProgIDFromCLSID(kSecondClass, &progId), REGDB_E_CLASSNOTREG);
  EXPECT_EQ(progId, nullptr);
}

}  // namespace
