// Test objects for the automation commands and a fixture that holds object and variant
// variables the way compiled code does.
//
// "Quorlin.Test.Recorder" is an automation class with real type information (properties,
// methods with optional, by-reference and open argument lists, data members); every call it
// gets is logged. Two further objects lack what member access needs: one has IDispatch but no
// type information, one has no IDispatch at all.
#pragma once

#include <deque>
#include <string>
#include <vector>

#include "platform/com/com_ptr.h"
#include "platform/com/oleauto.h"
#include "runtime/automation/automation_commands.h"
#include "tests/commands/command_test_support.h"

namespace quorlin::testing {

inline constexpr const char* kRecorderProgId = "Quorlin.Test.Recorder";
inline constexpr const char* kRecorderClsidText = "{6D1F3C2A-4B5E-4F60-9A7B-8C9D0E1F2A3B}";

// What the recorder objects saw.
struct RecorderLog {
  int invocations = 0;
  std::vector<VARTYPE> argumentTypes;  // of the last call, in declaration order
  LONG lastInteger = 0;                // the last VT_I4 argument of TypeOf
  std::u16string lastText;             // the last VT_BSTR argument of TypeOf
};
RecorderLog& Log();
// Recorder and other test objects alive now.
int LiveTestObjects();

IUnknown* NewRecorder();  // one reference, the caller's
IUnknown* NewObjectWithoutTypeInformation();
IUnknown* NewObjectWithoutDispatch();

class AutomationTest : public CommandTest {
 protected:
  void SetUp() override;
  void TearDown() override;

  // An object variable {record, object tag} holding `object` (whose reference it takes).
  TypedValue ObjectVariable(IUnknown* object = nullptr);
  // A variant variable {block, variant tag}, empty.
  TypedValue VariantVariable();
  static automation::ObjectRecord& RecordOf(const TypedValue& variable);
  static VARIANT& VariantOf(const TypedValue& variable);
  // An object variable with a new recorder.
  TypedValue Recorder() { return ObjectVariable(NewRecorder()); }

  // Reads and frees object and variant results (checking their tags).
  platform::ComPtr<IUnknown> TakeObject(const TypedValue& result);
  VARTYPE TakeVariant(const TypedValue& result, VARIANT* copy = nullptr);

 private:
  std::deque<automation::ObjectRecord> records_;
  std::deque<VARIANT> variants_;
};

}  // namespace quorlin::testing
