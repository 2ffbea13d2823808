#include "platform/com/xmlhttp/server_xml_http.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <mutex>

#include "platform/com/automation_class.h"
#include "platform/com/oleauto.h"
#include "platform/com/xmlhttp/http_reply_reader.h"
#include "platform/com/xmlhttp/reply_text.h"
#include "platform/com/xmlhttp/xmlhttp.h"
#include "platform/user/input_held_wait.h"

namespace quorlin::platform {
namespace {

// The platform's WinHTTP error numbers, so that callers see the codes they know.
constexpr DWORD kWinHttpTimeout = 12002;
constexpr DWORD kWinHttpInvalidUrl = 12005;
constexpr DWORD kWinHttpUnrecognizedScheme = 12006;
constexpr DWORD kWinHttpNameNotResolved = 12007;
constexpr DWORD kWinHttpOperationCancelled = 12017;
constexpr DWORD kWinHttpCannotConnect = 12029;
constexpr DWORD kWinHttpHeaderNotFound = 12150;
constexpr DWORD kWinHttpInvalidServerResponse = 12152;
constexpr DWORD kWinHttpRedirectFailed = 12156;
constexpr DWORD kWinHttpHeaderSizeOverflow = 12183;

constexpr size_t kRequestBodyLimit = 64u * 1024 * 1024;

constexpr LONG kProxyDefault = 0;
constexpr LONG kProxyDirect = 1;
constexpr LONG kProxyNamed = 2;

enum MemberId : DISPID {
  kOpen = 1,
  kSetRequestHeader,
  kGetResponseHeader,
  kGetAllResponseHeaders,
  kSend,
  kAbort,
  kSetTimeouts,
  kWaitForResponse,
  kSetProxy,
  kStatus,
  kStatusText,
  kResponseText,
  kResponseBody,
  kReadyState,
};

constexpr USHORT kOptional = PARAMFLAG_FIN | PARAMFLAG_FOPT;

const AutomationClass& ServerXmlHttpClass() {
  static const AutomationClass serverXmlHttp{
      "IServerXMLHTTPRequest",
      kServerXmlHttpIid,
      {
          {"open", kOpen, MemberKind::Method, VT_EMPTY,
           {{"bstrMethod", VT_BSTR}, {"bstrUrl", VT_BSTR}, {"varAsync", VT_VARIANT, kOptional},
            {"bstrUser", VT_VARIANT, kOptional}, {"bstrPassword", VT_VARIANT, kOptional}}},
          {"setRequestHeader", kSetRequestHeader, MemberKind::Method, VT_EMPTY, {{"bstrHeader", VT_BSTR}, {"bstrValue", VT_BSTR}}},
          {"getResponseHeader", kGetResponseHeader, MemberKind::Method, VT_BSTR, {{"bstrHeader", VT_BSTR}}},
          {"getAllResponseHeaders", kGetAllResponseHeaders, MemberKind::Method, VT_BSTR},
          {"send", kSend, MemberKind::Method, VT_EMPTY, {{"varBody", VT_VARIANT, kOptional}}},
          {"abort", kAbort, MemberKind::Method},
          {"setTimeouts", kSetTimeouts, MemberKind::Method, VT_EMPTY,
           {{"resolveTimeout", VT_I4}, {"connectTimeout", VT_I4}, {"sendTimeout", VT_I4}, {"receiveTimeout", VT_I4}}},
          {"waitForResponse", kWaitForResponse, MemberKind::Method, VT_BOOL, {{"timeoutInSeconds", VT_VARIANT, kOptional}}},
          {"setProxy", kSetProxy, MemberKind::Method, VT_EMPTY,
           {{"proxySetting", VT_I4}, {"varProxyServer", VT_VARIANT, kOptional}, {"varBypassList", VT_VARIANT, kOptional}}},
          {"status", kStatus, MemberKind::PropertyGet, VT_I4},
          {"statusText", kStatusText, MemberKind::PropertyGet, VT_BSTR},
          {"responseText", kResponseText, MemberKind::PropertyGet, VT_BSTR},
          {"responseBody", kResponseBody, MemberKind::PropertyGet, VT_VARIANT},
          {"readyState", kReadyState, MemberKind::PropertyGet, VT_I4},
      }};
  return serverXmlHttp;
}

bool StartsWithIgnoringCase(std::string_view text, std::string_view prefix) {
  if (text.size() < prefix.size()) return false;
  for (size_t i = 0; i < prefix.size(); ++i) {
    char c = text[i];
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (c != prefix[i]) return false;
  }
  return true;
}

// An optional text argument: missing, empty and null give the empty text.
HRESULT OptionalText(const VARIANT& argument, std::string& text) {
  text.clear();
  Variant value;
  if (IsMissing(argument)) return S_OK;
  if (FAILED(VariantCopyInd(value.get(), &argument))) return E_INVALIDARG;
  if (value->vt == VT_EMPTY || value->vt == VT_NULL) return S_OK;
  if (value->vt != VT_BSTR && FAILED(VariantChangeType(value.get(), value.get(), 0, VT_BSTR))) return E_INVALIDARG;
  text = Utf8FromBstr(value->bstrVal);
  return S_OK;
}

HRESULT ByteArrayBytes(SAFEARRAY* array, std::string& bytes) {
  if (!array) return S_OK;
  const UINT dimensions = SafeArrayGetDim(array);
  size_t count = dimensions == 0 ? 0 : 1;
  for (UINT d = 1; d <= dimensions; ++d) {
    LONG lower = 0, upper = -1;
    if (FAILED(SafeArrayGetLBound(array, d, &lower)) || FAILED(SafeArrayGetUBound(array, d, &upper))) return E_INVALIDARG;
    const long long extent = static_cast<long long>(upper) - lower + 1;
    if (extent <= 0) return S_OK;
    if (static_cast<unsigned long long>(extent) > kRequestBodyLimit / count) return E_INVALIDARG;
    count *= static_cast<size_t>(extent);
  }
  void* data = nullptr;
  if (count == 0 || FAILED(SafeArrayAccessData(array, &data))) return count == 0 ? S_OK : E_INVALIDARG;
  bytes.assign(static_cast<const char*>(data), count);
  SafeArrayUnaccessData(array);
  return S_OK;
}

// send's body: a text as UTF-8, a byte array as its bytes, other scalars as their text.
HRESULT BodyBytes(const VARIANT& argument, std::string& bytes) {
  bytes.clear();
  if (IsMissing(argument)) return S_OK;
  Variant value;
  if (FAILED(VariantCopyInd(value.get(), &argument))) return E_INVALIDARG;
  const VARTYPE type = value->vt;
  if (type == VT_EMPTY || type == VT_NULL) return S_OK;
  if (type == (VT_ARRAY | VT_UI1) || type == (VT_ARRAY | VT_I1)) return ByteArrayBytes(value->parray, bytes);
  if ((type & VT_ARRAY) || type == VT_UNKNOWN || type == VT_DISPATCH || type == VT_RECORD) return E_INVALIDARG;
  if (type != VT_BSTR && FAILED(VariantChangeType(value.get(), value.get(), 0, VT_BSTR))) return E_INVALIDARG;
  bytes = Utf8FromBstr(value->bstrVal);
  if (bytes.size() > kRequestBodyLimit) return E_INVALIDARG;
  return S_OK;
}

HRESULT SetText(VARIANT* result, const std::u16string& text) {
  BSTR bstr = BstrFromUtf16(text);
  if (!bstr) return E_OUTOFMEMORY;
  result->vt = VT_BSTR;
  result->bstrVal = bstr;
  return S_OK;
}

HRESULT SetBytes(VARIANT* result, const std::string& bytes) {
  if (bytes.size() > 0xFFFFFFFFu) return E_OUTOFMEMORY;
  SAFEARRAY* array = SafeArrayCreateVector(VT_UI1, 0, static_cast<ULONG>(bytes.size()));
  if (!array) return E_OUTOFMEMORY;
  if (!bytes.empty()) {
    void* data = nullptr;
    if (FAILED(SafeArrayAccessData(array, &data))) {
      SafeArrayDestroy(array);
      return E_OUTOFMEMORY;
    }
    std::memcpy(data, bytes.data(), bytes.size());
    SafeArrayUnaccessData(array);
  }
  result->vt = VT_ARRAY | VT_UI1;
  result->parray = array;
  return S_OK;
}

class ServerXmlHttp final : public AutomationObject<> {
 public:
  ServerXmlHttp() : AutomationObject(ServerXmlHttpClass()) {}

 private:
  // Where the one request of the object stands; readyState reports it.
  enum class Stage { kUnopened, kOpened, kSending, kDone, kFailed };

  HRESULT InvokeMember(const MemberCall& call) override {
    switch (call.id) {
      case kOpen: return Open(call.arguments);
      case kSetRequestHeader: return SetRequestHeader(call.arguments);
      case kGetResponseHeader: return GetResponseHeader(call.arguments, call.result);
      case kGetAllResponseHeaders: return ReplyMember(call.id, call.result);
      case kSend: return Send(call.arguments);
      case kAbort: return Abort();
      case kSetTimeouts: return SetTimeouts(call.arguments);
      case kWaitForResponse: return WaitForResponse(call.arguments, call.result);
      case kSetProxy: return SetProxy(call.arguments);
      case kStatus:
      case kStatusText:
      case kResponseText:
      case kResponseBody: return ReplyMember(call.id, call.result);
      case kReadyState: return ReadyState(call.result);
      default: return DISP_E_MEMBERNOTFOUND;
    }
  }

  HRESULT Open(std::span<VARIANT> arguments) {
    bool asynchronous = false;
    if (!IsMissing(arguments[2])) {
      Variant flag;
      if (FAILED(VariantChangeType(flag.get(), &arguments[2], 0, VT_BOOL))) return E_INVALIDARG;
      asynchronous = flag->boolVal != VARIANT_FALSE;
    }
    if (asynchronous) return E_NOTIMPL;
    HttpExchangeRequest request;
    request.method = Utf8FromBstr(arguments[0].bstrVal);
    request.url = Utf8FromBstr(arguments[1].bstrVal);
    if (request.method.empty() || request.url.empty()) return E_INVALIDARG;
    if (!StartsWithIgnoringCase(request.url, "http://") && !StartsWithIgnoringCase(request.url, "https://")) {
      return HRESULT_FROM_WIN32(kWinHttpUnrecognizedScheme);
    }
    if (FAILED(OptionalText(arguments[3], request.user)) || FAILED(OptionalText(arguments[4], request.password))) {
      return E_INVALIDARG;
    }
    std::lock_guard lock(mutex_);
    if (stage_ == Stage::kSending) cancel_ = true;
    ++generation_;
    request_ = std::move(request);
    reply_ = {};
    failure_ = S_OK;
    stage_ = Stage::kOpened;
    changed_.notify_all();
    return S_OK;
  }

  HRESULT SetRequestHeader(std::span<VARIANT> arguments) {
    std::string name = Utf8FromBstr(arguments[0].bstrVal);
    std::string value = Utf8FromBstr(arguments[1].bstrVal);
    if (name.empty() || name.find_first_of(std::string_view(":\r\n\0 \t", 6)) != std::string::npos ||
        value.find_first_of(std::string_view("\r\n\0", 3)) != std::string::npos) {
      return E_INVALIDARG;
    }
    std::lock_guard lock(mutex_);
    if (stage_ != Stage::kOpened) return E_UNEXPECTED;
    request_.headers.emplace_back(std::move(name), std::move(value));
    return S_OK;
  }

  HRESULT SetTimeouts(std::span<VARIANT> arguments) {
    int values[4];
    for (size_t i = 0; i < 4; ++i) {
      const LONG value = arguments[i].lVal;
      if (value < -1) return E_INVALIDARG;
      values[i] = value == -1 ? 0 : static_cast<int>(value);  // "infinite" is the exchange's bound
    }
    std::lock_guard lock(mutex_);
    timeouts_ = {values[0], values[1], values[2], values[3]};
    return S_OK;
  }

  HRESULT SetProxy(std::span<VARIANT> arguments) {
    const LONG setting = arguments[0].lVal;
    if (setting != kProxyDefault && setting != kProxyDirect && setting != kProxyNamed) return E_INVALIDARG;
    std::string server, bypass;
    if (setting == kProxyNamed &&
        (FAILED(OptionalText(arguments[1], server)) || FAILED(OptionalText(arguments[2], bypass)))) {
      return E_INVALIDARG;
    }
    std::lock_guard lock(mutex_);
    if (stage_ == Stage::kSending) return E_UNEXPECTED;
    proxy_ = std::move(server);
    proxyBypass_ = std::move(bypass);
    return S_OK;
  }

  HRESULT Send(std::span<VARIANT> arguments) {
    HttpExchangeRequest request;
    std::string body;
    const HRESULT bodyResult = BodyBytes(arguments[0], body);
    unsigned generation = 0;
    {
      std::lock_guard lock(mutex_);
      if (stage_ != Stage::kOpened) return E_UNEXPECTED;
      if (FAILED(bodyResult)) return bodyResult;
      request = request_;
      request.body = std::move(body);
      request.proxy = proxy_;
      request.proxyBypass = proxyBypass_;
      request.timeouts = timeouts_;
      request.cancel = &cancel_;
      cancel_ = false;
      generation = generation_;
      stage_ = Stage::kSending;
    }
    // The caller's windows stay painted while the exchange runs; their input waits for its end.
    HttpExchangeResult reply;
    RunWithInputHeld([&reply, &request] { reply = RunHttpExchange(request); });
    std::lock_guard lock(mutex_);
    if (generation != generation_) return HRESULT_FROM_WIN32(kWinHttpOperationCancelled);  // aborted or reopened
    failure_ = HresultOfExchangeError(reply.error);
    stage_ = reply.ok() ? Stage::kDone : Stage::kFailed;
    reply_ = std::move(reply);
    changed_.notify_all();
    return failure_;
  }

  HRESULT WaitForResponse(std::span<VARIANT> arguments, VARIANT* result) {
    LONG seconds = -1;
    if (!IsMissing(arguments[0])) {
      Variant value;
      if (FAILED(VariantChangeType(value.get(), &arguments[0], 0, VT_I4))) return E_INVALIDARG;
      seconds = value->lVal;
    }
    std::unique_lock lock(mutex_);
    if (stage_ == Stage::kUnopened || stage_ == Stage::kOpened) return E_UNEXPECTED;
    // Only another thread's send can still be running; the exchange itself is bounded.
    const auto settled = [this] { return stage_ != Stage::kSending; };
    if (seconds < 0) {
      changed_.wait(lock, settled);
    } else {
      changed_.wait_for(lock, std::chrono::seconds(seconds), settled);
    }
    result->vt = VT_BOOL;
    result->boolVal = stage_ == Stage::kDone ? VARIANT_TRUE : VARIANT_FALSE;
    return S_OK;
  }

  HRESULT Abort() {
    std::lock_guard lock(mutex_);
    cancel_ = true;
    ++generation_;
    reply_ = {};
    failure_ = S_OK;
    stage_ = Stage::kUnopened;
    changed_.notify_all();
    return S_OK;
  }

  HRESULT ReadyState(VARIANT* result) {
    std::lock_guard lock(mutex_);
    result->vt = VT_I4;
    switch (stage_) {
      case Stage::kUnopened: result->lVal = 0; break;
      case Stage::kOpened: result->lVal = 1; break;
      case Stage::kSending: result->lVal = 2; break;
      case Stage::kDone:
      case Stage::kFailed: result->lVal = 4; break;
    }
    return S_OK;
  }

  // Fails unless a reply is in: with the send's error after a failed send.
  HRESULT ReplyAvailable() const {
    if (stage_ == Stage::kDone) return S_OK;
    return stage_ == Stage::kFailed ? failure_ : E_UNEXPECTED;
  }

  HRESULT ReplyMember(DISPID id, VARIANT* result) {
    std::lock_guard lock(mutex_);
    if (const HRESULT available = ReplyAvailable(); FAILED(available)) return available;
    switch (id) {
      case kStatus:
        result->vt = VT_I4;
        result->lVal = reply_.status;
        return S_OK;
      case kStatusText: return SetText(result, DecodeHeaderText(reply_.statusText));
      case kGetAllResponseHeaders: return SetText(result, DecodeHeaderText(reply_.headerBlock));
      case kResponseText: return SetText(result, DecodeReplyText(reply_.body, reply_.charset));
      case kResponseBody: return SetBytes(result, reply_.body);
      default: return DISP_E_MEMBERNOTFOUND;
    }
  }

  HRESULT GetResponseHeader(std::span<VARIANT> arguments, VARIANT* result) {
    const std::string name = Utf8FromBstr(arguments[0].bstrVal);
    std::lock_guard lock(mutex_);
    if (const HRESULT available = ReplyAvailable(); FAILED(available)) return available;
    HttpReplyReader headers;
    std::string_view block = reply_.headerBlock;
    while (!block.empty()) {
      const size_t end = block.find("\r\n");
      headers.AddHeaderLine(block.substr(0, end));
      block = end == std::string_view::npos ? std::string_view() : block.substr(end + 2);
    }
    if (!headers.HasHeader(name)) return HRESULT_FROM_WIN32(kWinHttpHeaderNotFound);
    return SetText(result, DecodeHeaderText(headers.HeaderValue(name)));
  }

  std::mutex mutex_;
  std::condition_variable changed_;
  Stage stage_ = Stage::kUnopened;
  unsigned generation_ = 0;
  std::atomic<bool> cancel_{false};
  HttpExchangeRequest request_;
  HttpTimeouts timeouts_{0, 60'000, 30'000, 30'000};
  std::string proxy_;
  std::string proxyBypass_;
  HttpExchangeResult reply_;
  HRESULT failure_ = S_OK;
};

}  // namespace

HRESULT HresultOfExchangeError(HttpExchangeError error) {
  switch (error) {
    case HttpExchangeError::kNone: return S_OK;
    case HttpExchangeError::kInvalidUrl: return HRESULT_FROM_WIN32(kWinHttpInvalidUrl);
    case HttpExchangeError::kInvalidRequest: return E_INVALIDARG;
    case HttpExchangeError::kNameNotResolved: return HRESULT_FROM_WIN32(kWinHttpNameNotResolved);
    case HttpExchangeError::kCannotConnect: return HRESULT_FROM_WIN32(kWinHttpCannotConnect);
    case HttpExchangeError::kTimeout: return HRESULT_FROM_WIN32(kWinHttpTimeout);
    case HttpExchangeError::kCancelled: return HRESULT_FROM_WIN32(kWinHttpOperationCancelled);
    case HttpExchangeError::kTooLarge: return HRESULT_FROM_WIN32(kWinHttpHeaderSizeOverflow);
    case HttpExchangeError::kRedirectLimit: return HRESULT_FROM_WIN32(kWinHttpRedirectFailed);
    case HttpExchangeError::kProtocol: return HRESULT_FROM_WIN32(kWinHttpInvalidServerResponse);
  }
  return E_FAIL;
}

HRESULT CreateServerXmlHttp(IUnknown** object) {
  if (!object) return E_POINTER;
  *object = static_cast<IDispatch*>(new ServerXmlHttp());
  return S_OK;
}

}  // namespace quorlin::platform

void RegisterXmlHttpClasses() {
  using namespace quorlin::platform;
  static std::once_flag once;
  std::call_once(once, [] {
    RegisterComClass("MSXML2.ServerXMLHTTP.6.0", kServerXmlHttp60Clsid, CreateServerXmlHttp);
    RegisterComClass("MSXML2.ServerXMLHTTP.3.0", kServerXmlHttp30Clsid, CreateServerXmlHttp);
    RegisterComClass("MSXML2.ServerXMLHTTP", kServerXmlHttpClsid, CreateServerXmlHttp);
  });
}
