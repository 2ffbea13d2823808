#include <cstdlib>
#include <cstring>

#include "platform/com/com_object.h"
#include "platform/com/typeinfo.h"
#include "runtime/automation/automation_commands.h"
#include "runtime/automation/last_call_status.h"
#include "runtime/kernel/library_host.h"
#include "tests/automation/automation_test_support.h"

namespace quorlin::testing {
namespace {

using namespace quorlin::automation;

// Records of one int32 field, counted as they are made and destroyed.
class CountedRecords final : public platform::ComObject<IRecordInfo> {
 public:
  explicit CountedRecords(int* live) : live_(live) {}

  PVOID STDMETHODCALLTYPE RecordCreate() override {
    ++*live_;
    return std::calloc(1, sizeof(int32_t));
  }
  HRESULT STDMETHODCALLTYPE RecordCreateCopy(PVOID source, PVOID* copy) override {
    *copy = RecordCreate();
    std::memcpy(*copy, source, sizeof(int32_t));
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE RecordDestroy(PVOID record) override {
    --*live_;
    std::free(record);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE RecordInit(PVOID) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE RecordClear(PVOID) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE RecordCopy(PVOID source, PVOID destination) override {
    std::memcpy(destination, source, sizeof(int32_t));
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetGuid(GUID*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetName(BSTR*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetSize(ULONG* size) override {
    *size = sizeof(int32_t);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetField(PVOID, LPCOLESTR, VARIANT*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetFieldNoCopy(PVOID, LPCOLESTR, VARIANT*, PVOID*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE PutField(ULONG, PVOID, LPCOLESTR, VARIANT*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE PutFieldNoCopy(ULONG, PVOID, LPCOLESTR, VARIANT*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetFieldNames(ULONG*, BSTR*) override { return E_NOTIMPL; }
  BOOL STDMETHODCALLTYPE IsMatchingType(IRecordInfo* other) override { return other == this; }

 private:
  int* live_;
};

class RecordObjectsTest : public AutomationTest {};

TEST_F(RecordObjectsTest, ARecordGoesAsItsOwnCopyAndIsDestroyedByClear) {
  int liveRecords = 0;
  auto* info = new CountedRecords(&liveRecords);
  void* data = info->RecordCreate();
  const TypedValue record = ObjectVariable(info);  // takes the reference
  RecordOf(record).recordData = data;

  const TypedValue recorder = Recorder();
  EXPECT_EQ(IntegerOf(ObjectCallIntegerCommand, {recorder, Text("TypeOf"), record}), VT_RECORD);
  EXPECT_EQ(LastCallStatus(), 0);
  EXPECT_EQ(liveRecords, 1) << "the call's copy is gone, the variable's record stays";
  EXPECT_EQ(RecordOf(record).recordData, data);

  Call(ObjectClearCommand, {record});
  EXPECT_EQ(liveRecords, 0);
  EXPECT_EQ(RecordOf(record).object, nullptr);
  EXPECT_EQ(RecordOf(record).recordData, nullptr);
}

TEST_F(RecordObjectsTest, ARecordResultMakesTheCallFail) {
  int liveRecords = 0;
  auto* info = new CountedRecords(&liveRecords);
  const TypedValue record = ObjectVariable(info);
  RecordOf(record).recordData = info->RecordCreate();
  const TypedValue recorder = Recorder();
  EXPECT_EQ(TakeVariant(Call(ObjectCallVariantCommand, {recorder, Text("Echo"), record})), VT_EMPTY);
  EXPECT_EQ(LastCallStatus(), static_cast<int32_t>(CallStatus::ResultNotConvertible));
  Call(ObjectClearCommand, {record});
  EXPECT_EQ(liveRecords, 0);
}

TEST_F(RecordObjectsTest, ClearFreesRecordDataHeldWithoutItsInterface) {
  const TypedValue variable = ObjectVariable();
  RecordOf(variable).recordData = LibraryHost::Allocate(16);
  Call(ObjectClearCommand, {variable});
  EXPECT_EQ(RecordOf(variable).recordData, nullptr);  // the fixture checks that the block was freed
}

}  // namespace
}  // namespace quorlin::testing
