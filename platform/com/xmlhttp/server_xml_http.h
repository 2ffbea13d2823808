// The server-side XML-HTTP automation class over HttpExchange.
//
// Members (names matched without case through the class's type information):
//   open(bstrMethod, bstrUrl, [varAsync], [bstrUser], [bstrPassword])
//   setRequestHeader(bstrHeader, bstrValue)      between open and send
//   setTimeouts(resolve, connect, send, receive)  milliseconds, any time; 0 or -1 leaves the
//                                                 phase to the exchange's bounds (http_exchange.h)
//   setProxy(setting, [varProxyServer], [varBypassList])  0 default, 1 direct, 2 named proxy
//   send([varBody])          a BSTR goes as UTF-8, a byte array as its bytes; other scalars
//                            as their text; synchronous: returns when the reply is in, the
//                            caller's windows painted meanwhile and their input held
//                            (input_held_wait.h)
//   waitForResponse([timeoutInSeconds]) → VARIANT_BOOL
//   abort(), getAllResponseHeaders(), getResponseHeader(bstrHeader)
//   status, statusText, responseText, responseBody (VT_ARRAY | VT_UI1), readyState
//
// Asynchronous requests are not built: open with varAsync true fails with E_NOTIMPL.
// Calls out of order fail with E_UNEXPECTED; after a failed send every reply member fails with
// the send's error (a WinHTTP-style HRESULT such as 0x80072EE2 for a time-out).
// Default time-outs: resolve 0, connect 60 000, send 30 000, receive 30 000 ms.
#pragma once

#include "platform/com/class_registry.h"
#include "platform/com/xmlhttp/http_exchange.h"

namespace quorlin::platform {

// {5A0C2E61-3B7D-4F0E-9C1A-6E2D8B4F7A01}, … 02, … 03
inline constexpr CLSID kServerXmlHttp60Clsid{0x5A0C2E61, 0x3B7D, 0x4F0E, {0x9C, 0x1A, 0x6E, 0x2D, 0x8B, 0x4F, 0x7A, 0x01}};
inline constexpr CLSID kServerXmlHttp30Clsid{0x5A0C2E61, 0x3B7D, 0x4F0E, {0x9C, 0x1A, 0x6E, 0x2D, 0x8B, 0x4F, 0x7A, 0x02}};
inline constexpr CLSID kServerXmlHttpClsid{0x5A0C2E61, 0x3B7D, 0x4F0E, {0x9C, 0x1A, 0x6E, 0x2D, 0x8B, 0x4F, 0x7A, 0x03}};
// The dispatch interface of all three: {5A0C2E61-3B7D-4F0E-9C1A-6E2D8B4F7A10}
inline constexpr IID kServerXmlHttpIid{0x5A0C2E61, 0x3B7D, 0x4F0E, {0x9C, 0x1A, 0x6E, 0x2D, 0x8B, 0x4F, 0x7A, 0x10}};

// A new object with one reference (the caller's), as the class factory gives it.
HRESULT CreateServerXmlHttp(IUnknown** object);

// The HRESULT a send fails with for an exchange error (S_OK for none).
HRESULT HresultOfExchangeError(HttpExchangeError error);

}  // namespace quorlin::platform
