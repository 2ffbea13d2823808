// WebRequest and WebRequestText: one synchronous exchange through the XML-HTTP component,
// reached by late binding through the automation commands.
#include "app/web/web_request.h"

#include <atomic>
#include <string>
#include <vector>

#include "app/constant_segment.h"
#include "app/support/dll_commands.h"
#include "app/web/automation_variables.h"
#include "app/web/call_helpers.h"
#include "app/web/reply_cookies.h"
#include "app/web/text_helpers.h"
#include "runtime/commands/conversion_commands.h"
#include "runtime/commands/text_commands.h"
#include "runtime/kernel/blocks.h"
#include "runtime/kernel/entry_table.h"

namespace quorlin::app::web {
namespace {

QUORLIN_CONSTANT const char kProgId6[] = "MSXML2.ServerXMLHTTP.6.0";
QUORLIN_CONSTANT const char kProgId3[] = "MSXML2.ServerXMLHTTP.3.0";
QUORLIN_CONSTANT const char kSetProxy[] = "setProxy";
QUORLIN_CONSTANT const char kOpen[] = "open";
QUORLIN_CONSTANT const char kSetTimeouts[] = "SetTimeouts";
QUORLIN_CONSTANT const char kSetRequestHeader[] = "SetRequestHeader";
QUORLIN_CONSTANT const char kSetRequestHeaderCookie[] = "setRequestHeader";
QUORLIN_CONSTANT const char kSend[] = "send";
QUORLIN_CONSTANT const char kWaitForResponse[] = "WaitForResponse";
QUORLIN_CONSTANT const char kGetAllResponseHeaders[] = "GetallResponseHeaders";
QUORLIN_CONSTANT const char kResponseBody[] = "responseBody";
QUORLIN_CONSTANT const char kGet[] = "GET";
QUORLIN_CONSTANT const char kPost[] = "POST";
QUORLIN_CONSTANT const char kCookie[] = "Cookie";
QUORLIN_CONSTANT const char kLineBreak[] = "\r\n";
QUORLIN_CONSTANT const char kColon[] = ":";
QUORLIN_CONSTANT const char kEmptyText[] = "";

QUORLIN_CONSTANT const char kAccept[] = "Accept";
QUORLIN_CONSTANT const char kAcceptValue[] = "*/*";
QUORLIN_CONSTANT const char kAcceptFound[] = "Accept:";
QUORLIN_CONSTANT const char kAcceptLanguage[] = "Accept-language";
QUORLIN_CONSTANT const char kAcceptLanguageValue[] = "zh-cn";
QUORLIN_CONSTANT const char kAcceptLanguageFound[] = "Accept-Language:";
QUORLIN_CONSTANT const char kUserAgent[] = "User-Agent";
QUORLIN_CONSTANT const char kUserAgentValue[] = "Mozilla/4.0 (compatible; MSIE 7.0; Windows NT 5.1)";
QUORLIN_CONSTANT const char kUserAgentFound[] = "User-Agent:";
QUORLIN_CONSTANT const char kContentType[] = "Content-Type";
QUORLIN_CONSTANT const char kContentTypeValue[] = "application/x-www-form-urlencoded";
QUORLIN_CONSTANT const char kContentTypeFound[] = "Content-Type:";
QUORLIN_CONSTANT const char kConnection[] = "Connection";
QUORLIN_CONSTANT const char kConnectionValue[] = "Keep-Alive";
QUORLIN_CONSTANT const char kCacheControl[] = "Cache-Control";
QUORLIN_CONSTANT const char kCacheControlValue[] = "no-cache";

constexpr int32_t kDefaultTimeout = 5000;
constexpr int32_t kNamedProxy = 2;
constexpr int kWaitAttempts = 5;

struct DefaultHeader {
  const char* name;
  const char* value;
  const char* foundWhen;  // the fill-in is left out when the header text holds this
};

// In the order sent when the header text is left out.
const DefaultHeader kDefaultHeaders[] = {
    {kAccept, kAcceptValue, kAcceptFound},
    {kAcceptLanguage, kAcceptLanguageValue, kAcceptLanguageFound},
    {kUserAgent, kUserAgentValue, kUserAgentFound},
    {kContentType, kContentTypeValue, kContentTypeFound},
    {kConnection, kConnectionValue, nullptr},
    {kCacheControl, kCacheControlValue, nullptr},
};
// The fill-ins after the caller's own header lines, by index into kDefaultHeaders.
const int kFillInOrder[] = {0, 1, 3, 2};

// A member access on the object: (object variable, member name, arguments…).
TypedValue Access(CommandEntry command, const ObjectVariable& object, const char* member,
                  std::initializer_list<TypedValue> arguments = {}) {
  std::vector<TypedValue> records{object.Value(), MakeText(member)};
  records.insert(records.end(), arguments);
  return EntryTable().CallCoreCommand(command, static_cast<int32_t>(records.size()), records.data());
}

void CallMember(const ObjectVariable& object, const char* member, std::initializer_list<TypedValue> arguments) {
  Access(&automation::ObjectCallCommand, object, member, arguments);
}

void SetRequestHeader(const ObjectVariable& object, const char* member, const char* name, const char* value) {
  CallMember(object, member, {MakeText(name), MakeText(value)});
}

bool Contains(const char* text, const char* search) {
  return CallCoreInteger(&commands::FindText, {MakeText(text), MakeText(search)}) != -1;
}

bool CreateComponent(ObjectVariable& object) {
  for (const char* progId : {kProgId6, kProgId3}) {
    if (CallCore(&automation::ObjectCreateCommand, {object.Value(), MakeText(progId)}).low != 0) return true;
  }
  return false;
}

// The caller's header lines ("Name: value", CR LF between them), then the fill-ins the text
// does not name.
void SendGivenHeaders(const ObjectVariable& object, const char* headers) {
  const OwnedTextArray lines = SplitLines(headers, kLineBreak);
  for (size_t i = 0; i < lines.size(); ++i) {
    const char* line = lines[i];
    const OwnedTextArray pieces = SplitLines(line, kColon);
    if (pieces.size() < 2) continue;
    const std::string key = std::string(TextView(pieces[0])) + kColon;
    OwnedText value = TextRightOfLast(line, key.c_str());
    const OwnedText trimmed = RemoveBlanks(value);
    SetRequestHeader(object, kSetRequestHeader, pieces[0], trimmed.get());
  }
  for (int index : kFillInOrder) {
    const DefaultHeader& header = kDefaultHeaders[index];
    if (!Contains(headers, header.foundWhen)) SetRequestHeader(object, kSetRequestHeader, header.name, header.value);
  }
}

OwnedBytes Exchange(const ObjectVariable& object, const WebRequestArguments& arguments) {
  const char* proxy = arguments.proxy.value_or(nullptr);
  if (!TextView(proxy).empty()) CallMember(object, kSetProxy, {MakeInteger(kNamedProxy), MakeText(proxy)});

  const char* method = arguments.method && !arguments.method->empty() ? arguments.method->get() : kGet;
  OwnedText upper = CallCoreText(&commands::ToUpperCase, {MakeText(method)});
  const bool isGet = upper.view() == kGet;
  if (arguments.method) *arguments.method = std::move(upper);
  CallMember(object, kOpen, {MakeText(isGet ? kGet : kPost), MakeText(arguments.url), MakeBoolean(false)});

  const TypedValue timeout = MakeInteger(arguments.timeout.value_or(kDefaultTimeout));
  CallMember(object, kSetTimeouts, {timeout, timeout, timeout, timeout});

  if (arguments.headers) {
    SendGivenHeaders(object, *arguments.headers);
  } else {
    for (const DefaultHeader& header : kDefaultHeaders) {
      SetRequestHeader(object, kSetRequestHeader, header.name, header.value);
    }
  }
  const char* cookies = arguments.cookies.value_or(nullptr);
  if (!TextView(cookies).empty()) SetRequestHeader(object, kSetRequestHeaderCookie, kCookie, cookies);

  CallMember(object, kSend, {MakeText(arguments.body.value_or(nullptr))});
  for (int attempt = 0; attempt < kWaitAttempts; ++attempt) {
    if (Access(&automation::ObjectCallBooleanCommand, object, kWaitForResponse, {MakeInteger(1)}).low != 0) break;
  }

  const OwnedText replyHeaders(PointerOf<char>(Access(&automation::ObjectReadTextCommand, object, kGetAllResponseHeaders)));
  if (arguments.replyHeaders) *arguments.replyHeaders = OwnedText::Copy(replyHeaders.view());
  if (arguments.replyCookies) *arguments.replyCookies = CookiesOfReplyHeaders(replyHeaders.get());

  const VariantVariable body(PointerOf<void>(Access(&automation::ObjectReadVariantCommand, object, kResponseBody)));
  return CallCoreBytes(&automation::VariantToByteSetCommand, {body.Value()});
}

std::atomic<FinishedExchangeSource> finishedExchanges{nullptr};

}  // namespace

void SetFinishedExchangeSource(FinishedExchangeSource source) { finishedExchanges.store(source); }

OwnedBytes WebRequest(const WebRequestArguments& arguments) {
  if (const FinishedExchangeSource source = finishedExchanges.load()) {
    OwnedBytes body;
    if (source(arguments, body)) return body;
  }
  CallDll(DllCommand::CoInitialize, 'i', "p", {0});
  OwnedBytes body;
  {
    ObjectVariable object;
    if (CreateComponent(object)) body = Exchange(object, arguments);
  }
  CallDll(DllCommand::CoUninitialize, 'v', "", {});
  return body;
}

OwnedText WebRequestText(const WebRequestArguments& arguments) {
  OwnedText method;
  OwnedText replyHeaders;
  OwnedText replyCookies;
  WebRequestArguments supplied{
      .url = arguments.url,
      .method = arguments.method ? arguments.method : &method,
      .proxy = arguments.proxy.value_or(kEmptyText),
      .headers = arguments.headers.value_or(kEmptyText),
      .body = arguments.body.value_or(kEmptyText),
      .cookies = arguments.cookies.value_or(kEmptyText),
      .timeout = arguments.timeout.value_or(0),
      .replyHeaders = arguments.replyHeaders ? arguments.replyHeaders : &replyHeaders,
      .replyCookies = arguments.replyCookies ? arguments.replyCookies : &replyCookies,
  };
  const OwnedBytes body = WebRequest(supplied);
  return CallCoreText(&commands::ToText, {MakeByteSet(body.get())});
}

}  // namespace quorlin::app::web
