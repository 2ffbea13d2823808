#include "tests/web/recording_http_component.h"

#include <cstring>

#include "platform/com/automation_class.h"
#include "platform/com/class_registry.h"
#include "platform/com/oleauto.h"

namespace quorlin::testing {
namespace {

using namespace quorlin::platform;

// {6B1D52E4-2C1A-4E8B-9F7A-3D5C1E0A7B21}
constexpr CLSID kRecorderClsid{0x6B1D52E4, 0x2C1A, 0x4E8B, {0x9F, 0x7A, 0x3D, 0x5C, 0x1E, 0x0A, 0x7B, 0x21}};
// {6B1D52E4-2C1A-4E8B-9F7A-3D5C1E0A7B23}
constexpr CLSID kPlaceholderClsid{0x6B1D52E4, 0x2C1A, 0x4E8B, {0x9F, 0x7A, 0x3D, 0x5C, 0x1E, 0x0A, 0x7B, 0x23}};
// {6B1D52E4-2C1A-4E8B-9F7A-3D5C1E0A7B22}
constexpr IID kRecorderIid{0x6B1D52E4, 0x2C1A, 0x4E8B, {0x9F, 0x7A, 0x3D, 0x5C, 0x1E, 0x0A, 0x7B, 0x22}};

enum Member : DISPID { kSetProxy = 1, kOpen, kSetTimeouts, kSetRequestHeader, kSend, kWait, kHeaders, kBody };

const AutomationClass& RecorderClass() {
  static const AutomationClass cls{
      "IServerXMLHTTPRequest2",
      kRecorderIid,
      {
          {"setProxy", kSetProxy, MemberKind::Method, VT_EMPTY,
           {{"proxySetting", VT_I4}, {"varProxyServer", VT_VARIANT, PARAMFLAG_FOPT}, {"varBypassList", VT_VARIANT, PARAMFLAG_FOPT}}},
          {"open", kOpen, MemberKind::Method, VT_EMPTY,
           {{"bstrMethod", VT_BSTR}, {"bstrUrl", VT_BSTR}, {"varAsync", VT_VARIANT, PARAMFLAG_FOPT},
            {"bstrUser", VT_VARIANT, PARAMFLAG_FOPT}, {"bstrPassword", VT_VARIANT, PARAMFLAG_FOPT}}},
          {"setTimeouts", kSetTimeouts, MemberKind::Method, VT_EMPTY,
           {{"resolveTimeout", VT_I4}, {"connectTimeout", VT_I4}, {"sendTimeout", VT_I4}, {"receiveTimeout", VT_I4}}},
          {"setRequestHeader", kSetRequestHeader, MemberKind::Method, VT_EMPTY,
           {{"bstrHeader", VT_BSTR}, {"bstrValue", VT_BSTR}}},
          {"send", kSend, MemberKind::Method, VT_EMPTY, {{"varBody", VT_VARIANT, PARAMFLAG_FOPT}}},
          {"waitForResponse", kWait, MemberKind::Method, VT_BOOL, {{"timeoutInSeconds", VT_VARIANT, PARAMFLAG_FOPT}}},
          {"getAllResponseHeaders", kHeaders, MemberKind::Method, VT_BSTR},
          {"responseBody", kBody, MemberKind::PropertyGet, VT_VARIANT},
      }};
  return cls;
}

std::string Describe(const VARIANT& v) {
  if (IsMissing(v)) return "-";
  switch (v.vt) {
    case VT_BSTR: return AnsiFromBstr(v.bstrVal);
    case VT_I4: return std::to_string(v.lVal);
    case VT_BOOL: return v.boolVal ? "true" : "false";
    case VT_EMPTY: return "(empty)";
    default: return "(type " + std::to_string(v.vt) + ")";
  }
}

const char* NameOf(DISPID id) {
  static const char* const names[] = {"",     "setProxy", "open",    "setTimeouts", "setRequestHeader",
                                      "send", "waitForResponse", "getAllResponseHeaders", "responseBody"};
  return id > 0 && id <= kBody ? names[id] : "?";
}

class Recorder final : public AutomationObject<> {
 public:
  Recorder() : AutomationObject(RecorderClass()) {}

 private:
  HRESULT InvokeMember(const MemberCall& call) override {
    std::string line = std::string(NameOf(call.id)) + "(";
    for (size_t i = 0; i < call.arguments.size(); ++i) {
      // The trailing optional arguments WebRequest never passes are left out of the record.
      if (IsMissing(call.arguments[i]) && call.id != kSend && call.id != kWait) continue;
      if (i > 0) line += ",";
      line += Describe(call.arguments[i]);
    }
    RecordedCalls().push_back(line + ")");
    switch (call.id) {
      case kWait:
        call.result->vt = VT_BOOL;
        call.result->boolVal = waits_++ < Script().waitFalseCount ? VARIANT_FALSE : VARIANT_TRUE;
        return S_OK;
      case kHeaders:
        call.result->vt = VT_BSTR;
        call.result->bstrVal = BstrFromAnsi(Script().replyHeaders);
        return S_OK;
      case kBody: {
        const std::string& body = Script().replyBody;
        SAFEARRAY* array = SafeArrayCreateVector(VT_UI1, 0, static_cast<ULONG>(body.size()));
        void* data = nullptr;
        SafeArrayAccessData(array, &data);
        if (!body.empty()) std::memcpy(data, body.data(), body.size());
        SafeArrayUnaccessData(array);
        call.result->vt = VT_ARRAY | VT_UI1;
        call.result->parray = array;
        return S_OK;
      }
      default:
        return S_OK;
    }
  }

  int waits_ = 0;
};

}  // namespace

std::vector<std::string>& RecordedCalls() {
  static std::vector<std::string> calls;
  return calls;
}

RecordingScript& Script() {
  static RecordingScript script;
  return script;
}

void RegisterRecorder(std::string_view progId) {
  RegisterComClass(progId, kRecorderClsid, [](IUnknown** object) {
    *object = static_cast<IDispatch*>(new Recorder());
    return S_OK;
  });
}

void UnregisterRecorder() { UnregisterComClass(kRecorderClsid); }

void HideProgId(std::string_view progId) {
  // A ProgID names one class: a placeholder takes it over, and leaves with it.
  RegisterComClass(progId, kPlaceholderClsid, [](IUnknown**) { return E_FAIL; });
  UnregisterComClass(kPlaceholderClsid);
}

}  // namespace quorlin::testing
