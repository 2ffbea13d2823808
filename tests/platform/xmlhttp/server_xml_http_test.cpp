// The component as the application reaches it: created by ProgID, members bound by name through
// the type information (in the application's mixed case) and invoked through IDispatch.
#include "platform/com/xmlhttp/server_xml_http.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <vector>

#include "platform/com/com_ptr.h"
#include "platform/com/oleauto.h"
#include "platform/com/typeinfo.h"
#include "platform/com/xmlhttp/xmlhttp.h"
#include "tests/support/loopback_http_server.h"

namespace quorlin::platform {
namespace {

using testing::LoopbackHttpServer;
using testing::ScriptedReply;
using namespace std::chrono_literals;

constexpr HRESULT kCannotConnect = static_cast<HRESULT>(0x80072EFD);
constexpr HRESULT kTimedOut = static_cast<HRESULT>(0x80072EE2);

VARIANT Text(std::u16string_view text) {
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_BSTR;
  v.bstrVal = BstrFromUtf16(text);
  return v;
}
VARIANT Int(LONG value) {
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_I4;
  v.lVal = value;
  return v;
}
VARIANT Bool(bool value) {
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_BOOL;
  v.boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
  return v;
}
VARIANT Bytes(const std::string& bytes) {
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_ARRAY | VT_UI1;
  v.parray = SafeArrayCreateVector(VT_UI1, 0, static_cast<ULONG>(bytes.size()));
  void* data = nullptr;
  SafeArrayAccessData(v.parray, &data);
  std::memcpy(data, bytes.data(), bytes.size());
  SafeArrayUnaccessData(v.parray);
  return v;
}

std::string BytesOf(const VARIANT& v) {
  if (v.vt != (VT_ARRAY | VT_UI1) || !v.parray) return "<not a byte array>";
  LONG lower = 0, upper = -1;
  SafeArrayGetLBound(v.parray, 1, &lower);
  SafeArrayGetUBound(v.parray, 1, &upper);
  void* data = nullptr;
  SafeArrayAccessData(v.parray, &data);
  std::string bytes(static_cast<const char*>(data), static_cast<size_t>(upper - lower + 1));
  SafeArrayUnaccessData(v.parray);
  return bytes;
}

// Member access the way the runtime's automation layer does it: bind the name with each invoke
// kind in turn, then Invoke; a member's failure comes back as its own HRESULT.
class LateBound {
 public:
  explicit LateBound(const char16_t* progId) {
    CLSID clsid{};
    created_ = CLSIDFromProgID(progId, &clsid);
    if (FAILED(created_)) return;
    ComPtr<IUnknown> object;
    created_ = CoCreateInstance(clsid, nullptr, 0x17, IID_IUnknown, reinterpret_cast<void**>(object.Receive()));
    if (SUCCEEDED(created_)) created_ = object.As(dispatch_);
  }

  HRESULT Created() const { return created_; }

  HRESULT Call(std::u16string name, std::vector<VARIANT> arguments = {}, VARIANT* result = nullptr) {
    return Access(std::move(name), {INVOKE_FUNC, INVOKE_PROPERTYGET, INVOKE_PROPERTYPUT, INVOKE_PROPERTYPUTREF},
                  std::move(arguments), result);
  }
  HRESULT Read(std::u16string name, VARIANT* result) {
    return Access(std::move(name), {INVOKE_PROPERTYGET, INVOKE_FUNC}, {}, result);
  }

  std::u16string ReadText(std::u16string name) {
    Variant value;
    if (FAILED(Read(std::move(name), value.get())) || value->vt != VT_BSTR) return u"<failed>";
    return std::u16string(BstrView(value->bstrVal));
  }
  LONG ReadInt(std::u16string name) {
    Variant value;
    if (FAILED(Read(std::move(name), value.get())) || value->vt != VT_I4) return -12345;
    return value->lVal;
  }

 private:
  HRESULT Access(std::u16string name, std::initializer_list<INVOKEKIND> kinds, std::vector<VARIANT> arguments,
                 VARIANT* result) {
    const HRESULT hr = Bind(name, kinds, arguments, result);
    for (VARIANT& argument : arguments) VariantClear(&argument);
    return hr;
  }

  HRESULT Bind(std::u16string& name, std::initializer_list<INVOKEKIND> kinds, std::vector<VARIANT>& arguments,
               VARIANT* result) {
    ComPtr<ITypeInfo> typeInfo;
    ComPtr<ITypeComp> typeComp;
    if (FAILED(dispatch_->GetTypeInfo(0, 0, typeInfo.Receive())) || FAILED(typeInfo->GetTypeComp(typeComp.Receive()))) {
      return E_FAIL;
    }
    const ULONG hash = LHashValOfNameSys(SYS_WIN32, LOCALE_USER_DEFAULT, name.c_str());
    for (const INVOKEKIND kind : kinds) {
      ComPtr<ITypeInfo> bound;
      DESCKIND descKind = DESCKIND_NONE;
      BINDPTR pointer{};
      if (FAILED(typeComp->Bind(name.data(), hash, static_cast<WORD>(kind), bound.Receive(), &descKind, &pointer)) ||
          descKind != DESCKIND_FUNCDESC) {
        continue;
      }
      const MEMBERID id = pointer.lpfuncdesc->memid;
      const auto flags = static_cast<WORD>(pointer.lpfuncdesc->invkind);
      bound->ReleaseFuncDesc(pointer.lpfuncdesc);
      std::vector<VARIANT> reversed(arguments.rbegin(), arguments.rend());
      DISPPARAMS params{reversed.data(), nullptr, static_cast<UINT>(reversed.size()), 0};
      EXCEPINFO exception{};
      UINT argumentError = 0;
      Variant ignored;
      HRESULT hr = dispatch_->Invoke(id, IID_NULL, 0, flags, &params, result ? result : ignored.get(), &exception,
                                     &argumentError);
      if (hr == DISP_E_EXCEPTION) hr = exception.scode;
      SysFreeString(exception.bstrSource);
      SysFreeString(exception.bstrDescription);
      SysFreeString(exception.bstrHelpFile);
      return hr;
    }
    return DISP_E_MEMBERNOTFOUND;
  }

  HRESULT created_ = E_FAIL;
  ComPtr<IDispatch> dispatch_;
};

class ServerXmlHttpTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
    RegisterXmlHttpClasses();
  }
  void TearDown() override { CoUninitialize(); }
};

TEST_F(ServerXmlHttpTest, EveryProgIdCreatesAnObject) {
  for (const char16_t* progId :
       {u"MSXML2.ServerXMLHTTP.6.0", u"MSXML2.ServerXMLHTTP.3.0", u"MSXML2.ServerXMLHTTP", u"msxml2.serverxmlhttp.6.0"}) {
    LateBound object(progId);
    EXPECT_EQ(object.Created(), S_OK);
    EXPECT_EQ(object.ReadInt(u"readyState"), 0);
  }
}

TEST_F(ServerXmlHttpTest, RequestTheWayTheApplicationMakesIt) {
  LoopbackHttpServer server;
  server.SetReply("/home/get/panel", ScriptedReply{200,
                                                   {{"Content-Type", "text/plain; charset=gbk"},
                                                    {"Set-Cookie", "a=1; path=/"},
                                                    {"Set-Cookie", "b=2; HttpOnly"}},
                                                   std::string("\xD5\xC5\xC8\xFD\0tail", 9)});
  LateBound http(u"MSXML2.ServerXMLHTTP.6.0");
  ASSERT_EQ(http.Created(), S_OK);
  const std::string url = server.Url("/home/get/panel?ie=utf-8&un=%61%62%63");
  ASSERT_EQ(http.Call(u"open", {Text(u"GET"), Text(std::u16string(url.begin(), url.end())), Bool(false)}), S_OK);
  EXPECT_EQ(http.ReadInt(u"readyState"), 1);
  ASSERT_EQ(http.Call(u"SetTimeouts", {Int(5000), Int(5000), Int(5000), Int(5000)}), S_OK);
  const std::vector<std::pair<std::u16string, std::u16string>> headers = {
      {u"Accept", u"*/*"},
      {u"Accept-language", u"zh-cn"},
      {u"User-Agent", u"Mozilla/4.0 (compatible; MSIE 7.0; Windows NT 5.1)"},
      {u"Content-Type", u"application/x-www-form-urlencoded"},
      {u"Connection", u"Keep-Alive"},
      {u"Cache-Control", u"no-cache"}};
  for (const auto& [name, value] : headers) ASSERT_EQ(http.Call(u"SetRequestHeader", {Text(name), Text(value)}), S_OK);
  ASSERT_EQ(http.Call(u"setRequestHeader", {Text(u"Cookie"), Text(u"k=v")}), S_OK);
  ASSERT_EQ(http.Call(u"send", {Text(u"")}), S_OK);

  Variant done;
  ASSERT_EQ(http.Call(u"WaitForResponse", {Int(1)}, done.get()), S_OK);
  EXPECT_EQ(done->vt, VT_BOOL);
  EXPECT_EQ(done->boolVal, VARIANT_TRUE);
  const std::u16string block = http.ReadText(u"GetallResponseHeaders");
  EXPECT_NE(block.find(u"Set-Cookie: a=1; path=/\r\nSet-Cookie: b=2; HttpOnly\r\n"), std::u16string::npos);
  Variant body;
  ASSERT_EQ(http.Read(u"responseBody", body.get()), S_OK);
  EXPECT_EQ(BytesOf(*body.get()), std::string("\xD5\xC5\xC8\xFD\0tail", 9));
  EXPECT_EQ(http.ReadInt(u"Status"), 200);
  EXPECT_EQ(http.ReadText(u"statusText"), u"OK");
  EXPECT_EQ(http.ReadText(u"responseText"), std::u16string(u"张三\0tail", 7));
  EXPECT_EQ(http.ReadInt(u"readyState"), 4);
  Variant cookie;
  ASSERT_EQ(http.Call(u"getResponseHeader", {Text(u"set-cookie")}, cookie.get()), S_OK);
  EXPECT_EQ(BstrView(cookie->bstrVal), u"a=1; path=/, b=2; HttpOnly");

  const auto sent = server.LastRequest();
  EXPECT_EQ(sent.method, "GET");
  EXPECT_EQ(sent.query, "ie=utf-8&un=%61%62%63");
  ASSERT_EQ(sent.headers.size(), 8u);
  for (size_t i = 0; i < headers.size(); ++i) {
    EXPECT_EQ(std::u16string(sent.headers[i + 1].first.begin(), sent.headers[i + 1].first.end()), headers[i].first);
  }
  EXPECT_EQ(sent.headers.back(), (std::pair<std::string, std::string>("Cookie", "k=v")));
  EXPECT_TRUE(sent.body.empty());
}

TEST_F(ServerXmlHttpTest, BodiesGoAsUtf8TextOrAsTheirBytes) {
  LoopbackHttpServer server;
  const std::string url = server.Url("/post");
  const struct {
    const char* name;
    VARIANT (*body)();
    std::string sent;
  } rows[] = {
      {"text as UTF-8", [] { return Text(u"名=张三"); }, "\xE5\x90\x8D=\xE5\xBC\xA0\xE4\xB8\x89"},
      {"byte array with zero bytes", [] { return Bytes(std::string("\x01\0\xFF", 3)); }, std::string("\x01\0\xFF", 3)},
      {"number as its text", [] { return Int(42); }, "42"},
  };
  for (const auto& row : rows) {
    LateBound http(u"MSXML2.ServerXMLHTTP.6.0");
    ASSERT_EQ(http.Call(u"open", {Text(u"POST"), Text(std::u16string(url.begin(), url.end()))}), S_OK) << row.name;
    ASSERT_EQ(http.Call(u"send", {row.body()}), S_OK) << row.name;
    EXPECT_EQ(server.LastRequest().method, "POST") << row.name;
    EXPECT_EQ(server.LastRequest().body, row.sent) << row.name;
  }
}

TEST_F(ServerXmlHttpTest, CallsOutOfOrderFail) {
  LoopbackHttpServer server;
  const std::string url = server.Url("/x");
  const std::u16string wideUrl(url.begin(), url.end());
  LateBound http(u"MSXML2.ServerXMLHTTP.6.0");
  EXPECT_EQ(http.Call(u"send"), E_UNEXPECTED);
  EXPECT_EQ(http.Call(u"setRequestHeader", {Text(u"A"), Text(u"1")}), E_UNEXPECTED);
  EXPECT_EQ(http.Call(u"waitForResponse", {Int(1)}), E_UNEXPECTED);
  EXPECT_EQ(http.ReadText(u"GetallResponseHeaders"), u"<failed>");
  EXPECT_EQ(http.ReadInt(u"status"), -12345);

  ASSERT_EQ(http.Call(u"open", {Text(u"GET"), Text(wideUrl), Bool(false)}), S_OK);
  EXPECT_EQ(http.ReadInt(u"status"), -12345);
  ASSERT_EQ(http.Call(u"send"), S_OK);
  EXPECT_EQ(http.Call(u"send"), E_UNEXPECTED);
  EXPECT_EQ(http.Call(u"setRequestHeader", {Text(u"A"), Text(u"1")}), E_UNEXPECTED);
  EXPECT_EQ(http.ReadInt(u"status"), 404);

  ASSERT_EQ(http.Call(u"abort"), S_OK);
  EXPECT_EQ(http.ReadInt(u"readyState"), 0);
  EXPECT_EQ(http.ReadInt(u"status"), -12345);
}

TEST_F(ServerXmlHttpTest, RefusedArguments) {
  LateBound http(u"MSXML2.ServerXMLHTTP.6.0");
  EXPECT_EQ(http.Call(u"open", {Text(u"GET"), Text(u"http://127.0.0.1:1/"), Bool(true)}), E_NOTIMPL);
  EXPECT_TRUE(FAILED(http.Call(u"open", {Text(u"GET"), Text(u"file:///etc/passwd")})));
  EXPECT_EQ(http.Call(u"open", {Text(u""), Text(u"http://127.0.0.1:1/")}), E_INVALIDARG);
  ASSERT_EQ(http.Call(u"open", {Text(u"GET"), Text(u"http://127.0.0.1:1/")}), S_OK);
  EXPECT_EQ(http.Call(u"setRequestHeader", {Text(u"X-A"), Text(u"1\r\nX-B: 2")}), E_INVALIDARG);
  EXPECT_EQ(http.Call(u"setRequestHeader", {Text(u"Bad Name"), Text(u"1")}), E_INVALIDARG);
  EXPECT_EQ(http.Call(u"setTimeouts", {Int(-2), Int(0), Int(0), Int(0)}), E_INVALIDARG);
  EXPECT_EQ(http.Call(u"setProxy", {Int(7)}), E_INVALIDARG);
  EXPECT_EQ(http.Call(u"noSuchMember"), DISP_E_MEMBERNOTFOUND);
  EXPECT_EQ(http.Call(u"send", {Text(u"a"), Text(u"b")}), DISP_E_BADPARAMCOUNT);
}

TEST_F(ServerXmlHttpTest, FailedSendLeavesEveryReplyMemberFailing) {
  LateBound http(u"MSXML2.ServerXMLHTTP.6.0");
  ASSERT_EQ(http.Call(u"open", {Text(u"GET"), Text(u"http://127.0.0.1:1/"), Bool(false)}), S_OK);
  EXPECT_EQ(http.Call(u"send", {Text(u"")}), kCannotConnect);
  Variant done;
  ASSERT_EQ(http.Call(u"WaitForResponse", {Int(1)}, done.get()), S_OK);
  EXPECT_EQ(done->boolVal, VARIANT_FALSE);
  for (const char16_t* member : {u"GetallResponseHeaders", u"responseBody", u"status", u"statusText", u"responseText"}) {
    Variant value;
    EXPECT_EQ(http.Read(member, value.get()), kCannotConnect) << std::string(member, member + 6);
  }
}

TEST_F(ServerXmlHttpTest, TimeoutsAndProxyReachTheExchange) {
  LoopbackHttpServer server;
  server.SetReply("/slow", ScriptedReply{200, {}, "late", 20s});
  const std::string url = server.Url("/slow");
  LateBound slow(u"MSXML2.ServerXMLHTTP.6.0");
  ASSERT_EQ(slow.Call(u"open", {Text(u"GET"), Text(std::u16string(url.begin(), url.end()))}), S_OK);
  ASSERT_EQ(slow.Call(u"SetTimeouts", {Int(300), Int(300), Int(300), Int(300)}), S_OK);
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(slow.Call(u"send"), kTimedOut);
  EXPECT_LT(std::chrono::steady_clock::now() - start, 3s);

  LoopbackHttpServer proxy;
  proxy.SetDefaultReply(ScriptedReply{200, {}, "via proxy"});
  LateBound proxied(u"MSXML2.ServerXMLHTTP.3.0");
  const std::string proxyText = "127.0.0.1:" + std::to_string(proxy.Port());
  ASSERT_EQ(proxied.Call(u"setProxy", {Int(2), Text(std::u16string(proxyText.begin(), proxyText.end()))}), S_OK);
  ASSERT_EQ(proxied.Call(u"open", {Text(u"GET"), Text(u"http://portraits.example.invalid/sys/portraitl/item/x"), Bool(false)}),
            S_OK);
  ASSERT_EQ(proxied.Call(u"send"), S_OK);
  EXPECT_EQ(proxied.ReadText(u"responseText"), u"via proxy");
  EXPECT_EQ(proxy.LastRequest().path, "http://portraits.example.invalid/sys/portraitl/item/x");
}

}  // namespace
}  // namespace quorlin::platform
