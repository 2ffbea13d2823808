#include "platform/com/xmlhttp/http_exchange.h"

#include <curl/curl.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <mutex>

#include "platform/com/xmlhttp/http_module.h"
#include "platform/com/xmlhttp/http_reply_reader.h"
#include "platform/com/xmlhttp/proxy_setting.h"

namespace quorlin::platform {
namespace {

using Clock = std::chrono::steady_clock;

constexpr long kMaxRedirects = 5;

char AsciiLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (AsciiLower(a[i]) != AsciiLower(b[i])) return false;
  }
  return true;
}

// A method is an HTTP token; a header name a token without ':'; a value has no line break.
bool IsToken(std::string_view text) {
  if (text.empty()) return false;
  for (unsigned char c : text) {
    if (c <= 0x20 || c >= 0x7F || c == ':' || c == '(' || c == ')' || c == ',' || c == ';' || c == '"' || c == '\\') {
      return false;
    }
  }
  return true;
}

bool IsHeaderValue(std::string_view text) {
  return text.find_first_of(std::string_view("\r\n\0", 3)) == std::string_view::npos;
}

struct CurlHandleDeleter {
  void operator()(CURL* handle) const { curl_easy_cleanup(handle); }
};
struct CurlUrlDeleter {
  void operator()(CURLU* url) const { curl_url_cleanup(url); }
};
struct CurlListDeleter {
  void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};

struct ParsedUrl {
  std::string scheme;
  std::string host;
};

bool ParseHttpUrl(const std::string& text, ParsedUrl& parsed) {
  std::unique_ptr<CURLU, CurlUrlDeleter> url(curl_url());
  if (!url || curl_url_set(url.get(), CURLUPART_URL, text.c_str(), 0) != CURLUE_OK) return false;
  char* scheme = nullptr;
  char* host = nullptr;
  const bool ok = curl_url_get(url.get(), CURLUPART_SCHEME, &scheme, 0) == CURLUE_OK &&
                  curl_url_get(url.get(), CURLUPART_HOST, &host, 0) == CURLUE_OK;
  if (ok) {
    parsed.scheme = scheme;
    parsed.host = host;
  }
  curl_free(scheme);
  curl_free(host);
  return ok && (parsed.scheme == "http" || parsed.scheme == "https") && !parsed.host.empty();
}

// What the callbacks share with the exchange while it runs.
struct Transfer {
  HttpReplyReader reply;
  bool overLimit = false;
  HttpExchangeError abortReason = HttpExchangeError::kNone;
  const std::atomic<bool>* cancel = nullptr;
  long sendIdleMs = 0;
  long receiveIdleMs = 0;
  bool connected = false;
  Clock::time_point lastActivity;
  curl_off_t lastSent = -1;
  curl_off_t lastReceived = -1;
};

size_t OnHeaderLine(char* data, size_t size, size_t count, void* context) {
  auto& transfer = *static_cast<Transfer*>(context);
  const size_t length = size * count;
  transfer.lastActivity = Clock::now();
  if (!transfer.reply.AddHeaderLine(std::string_view(data, length))) {
    transfer.overLimit = true;
    return 0;
  }
  return length;
}

size_t OnBodyBytes(char* data, size_t size, size_t count, void* context) {
  auto& transfer = *static_cast<Transfer*>(context);
  const size_t length = size * count;
  transfer.lastActivity = Clock::now();
  if (!transfer.reply.AddBodyBytes(std::string_view(data, length))) {
    transfer.overLimit = true;
    return 0;
  }
  return length;
}

// Called once a connection stands, before each request (redirects included) is sent.
int OnConnected(void* context, char*, char*, int, int) {
  auto& transfer = *static_cast<Transfer*>(context);
  transfer.connected = true;
  transfer.lastActivity = Clock::now();
  transfer.lastSent = -1;
  transfer.lastReceived = -1;
  return CURL_PREREQFUNC_OK;
}

int OnProgress(void* context, curl_off_t, curl_off_t received, curl_off_t sendTotal, curl_off_t sent) {
  auto& transfer = *static_cast<Transfer*>(context);
  if (transfer.cancel && transfer.cancel->load()) {
    transfer.abortReason = HttpExchangeError::kCancelled;
    return 1;
  }
  if (!transfer.connected) return 0;  // the connect time-out rules until then
  const auto now = Clock::now();
  if (sent != transfer.lastSent || received != transfer.lastReceived) {
    transfer.lastSent = sent;
    transfer.lastReceived = received;
    transfer.lastActivity = now;
    return 0;
  }
  const bool sending = sent < sendTotal;
  const long idleMs = static_cast<long>(std::chrono::duration_cast<std::chrono::milliseconds>(now - transfer.lastActivity).count());
  if (idleMs > (sending ? transfer.sendIdleMs : transfer.receiveIdleMs)) {
    transfer.abortReason = HttpExchangeError::kTimeout;
    return 1;
  }
  return 0;
}

HttpExchangeResult Failure(HttpExchangeError error, std::string text) {
  HttpExchangeResult result;
  result.error = error;
  result.errorText = std::move(text);
  return result;
}

HttpExchangeError ErrorOf(CURLcode code) {
  switch (code) {
    case CURLE_COULDNT_RESOLVE_HOST:
    case CURLE_COULDNT_RESOLVE_PROXY:
      return HttpExchangeError::kNameNotResolved;
    case CURLE_COULDNT_CONNECT:
      return HttpExchangeError::kCannotConnect;
    case CURLE_OPERATION_TIMEDOUT:
      return HttpExchangeError::kTimeout;
    case CURLE_TOO_MANY_REDIRECTS:
      return HttpExchangeError::kRedirectLimit;
    case CURLE_UNSUPPORTED_PROTOCOL:
    case CURLE_URL_MALFORMAT:
      return HttpExchangeError::kInvalidUrl;
    default:
      return HttpExchangeError::kProtocol;
  }
}

// The request's own lines, then blank entries that keep libcurl from adding lines of its own.
std::unique_ptr<curl_slist, CurlListDeleter> BuildHeaderList(const HttpExchangeRequest& request, bool& ok) {
  std::unique_ptr<curl_slist, CurlListDeleter> list;
  ok = true;
  const auto append = [&list, &ok](const std::string& line) {
    curl_slist* grown = curl_slist_append(list.get(), line.c_str());
    if (!grown) {
      ok = false;
      return;
    }
    list.release();
    list.reset(grown);
  };
  for (const auto& [name, value] : request.headers) {
    // "Name;" is libcurl's spelling of a header sent with an empty value.
    append(value.empty() ? name + ";" : name + ": " + value);
  }
  for (const char* automatic : {"Accept", "Content-Type", "Expect"}) {
    const bool given = std::any_of(request.headers.begin(), request.headers.end(),
                                   [automatic](const auto& header) { return EqualsIgnoringCase(header.first, automatic); });
    if (!given) append(std::string(automatic) + ":");
  }
  return list;
}

}  // namespace

void InitialiseHttpTransport() {
  static std::once_flag once;
  std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

HttpExchangeResult RunHttpExchange(const HttpExchangeRequest& request) {
  InitialiseHttpTransport();
  ParsedUrl url;
  if (!ParseHttpUrl(request.url, url)) return Failure(HttpExchangeError::kInvalidUrl, "not an absolute http or https URL");
  if (!IsToken(request.method)) return Failure(HttpExchangeError::kInvalidRequest, "method is not a token");
  for (const auto& [name, value] : request.headers) {
    if (!IsToken(name) || !IsHeaderValue(value)) return Failure(HttpExchangeError::kInvalidRequest, "header cannot be sent: " + name);
  }

  std::unique_ptr<CURL, CurlHandleDeleter> handle(curl_easy_init());
  if (!handle) return Failure(HttpExchangeError::kProtocol, "no transfer handle");
  CURL* curl = handle.get();

  Transfer transfer;
  transfer.cancel = request.cancel;
  const HttpExchangeBounds bounds = BoundsOf(request.timeouts);
  transfer.sendIdleMs = bounds.sendIdleMs;
  transfer.receiveIdleMs = bounds.receiveIdleMs;
  transfer.lastActivity = Clock::now();

  bool listOk = true;
  const auto headerList = BuildHeaderList(request, listOk);
  if (!listOk) return Failure(HttpExchangeError::kProtocol, "out of memory for the header list");

  std::string proxy;
  if (!BypassesProxy(request.proxyBypass, url.host)) proxy = ChooseNamedProxy(request.proxy, url.scheme);

  curl_easy_setopt(curl, CURLOPT_URL, request.url.c_str());
  curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(curl, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 1L);
  curl_easy_setopt(curl, CURLOPT_MAXREDIRS, kMaxRedirects);
  curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
  // An empty proxy also keeps libcurl from taking one from the environment.
  curl_easy_setopt(curl, CURLOPT_PROXY, proxy.c_str());
  curl_easy_setopt(curl, CURLOPT_SUPPRESS_CONNECT_HEADERS, 1L);
  curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT_MS, bounds.connectMs);
  curl_easy_setopt(curl, CURLOPT_TIMEOUT_MS, bounds.totalMs);
  curl_easy_setopt(curl, CURLOPT_HTTPHEADER, headerList.get());
  curl_easy_setopt(curl, CURLOPT_HEADERFUNCTION, OnHeaderLine);
  curl_easy_setopt(curl, CURLOPT_HEADERDATA, &transfer);
  curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, OnBodyBytes);
  curl_easy_setopt(curl, CURLOPT_WRITEDATA, &transfer);
  curl_easy_setopt(curl, CURLOPT_PREREQFUNCTION, OnConnected);
  curl_easy_setopt(curl, CURLOPT_PREREQDATA, &transfer);
  curl_easy_setopt(curl, CURLOPT_NOPROGRESS, 0L);
  curl_easy_setopt(curl, CURLOPT_XFERINFOFUNCTION, OnProgress);
  curl_easy_setopt(curl, CURLOPT_XFERINFODATA, &transfer);

  if (!request.user.empty()) {
    curl_easy_setopt(curl, CURLOPT_HTTPAUTH, static_cast<long>(CURLAUTH_BASIC));
    curl_easy_setopt(curl, CURLOPT_USERNAME, request.user.c_str());
    curl_easy_setopt(curl, CURLOPT_PASSWORD, request.password.c_str());
  }

  const bool withBody = !request.body.empty() || request.method == "POST";
  if (request.method == "HEAD") {
    curl_easy_setopt(curl, CURLOPT_NOBODY, 1L);
  } else if (request.method == "GET" && !withBody) {
    curl_easy_setopt(curl, CURLOPT_HTTPGET, 1L);
  } else {
    if (request.method != "POST") curl_easy_setopt(curl, CURLOPT_CUSTOMREQUEST, request.method.c_str());
    if (withBody) {
      curl_easy_setopt(curl, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(request.body.size()));
      curl_easy_setopt(curl, CURLOPT_POSTFIELDS, request.body.data());
    }
  }

  const CURLcode code = curl_easy_perform(curl);
  if (code != CURLE_OK) {
    if (transfer.overLimit) return Failure(HttpExchangeError::kTooLarge, "reply over the size limit");
    if (transfer.abortReason != HttpExchangeError::kNone) {
      return Failure(transfer.abortReason, transfer.abortReason == HttpExchangeError::kTimeout ? "no progress within the time-out" : "cancelled");
    }
    return Failure(ErrorOf(code), curl_easy_strerror(code));
  }
  if (transfer.reply.Status() == 0) return Failure(HttpExchangeError::kProtocol, "reply without a status line");

  HttpExchangeResult result;
  result.status = transfer.reply.Status();
  result.statusText = transfer.reply.StatusText();
  result.headerBlock = transfer.reply.HeaderBlock();
  result.charset = transfer.reply.Charset();
  result.body = transfer.reply.TakeBody();
  return result;
}

}  // namespace quorlin::platform
