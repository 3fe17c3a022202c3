#include "net/http_client.h"

#include <windows.h>

#include <winhttp.h>

#include <algorithm>
#include <string>
#include <vector>

#include "base/format.h"
#include "base/scope_exit.h"
#include "base/text.h"
#include "base/win_handle.h"
#include "base/win_string.h"
#include "net/http_text.h"
#include "net/http_url.h"

namespace {

struct InternetTraits {
  static HINTERNET Invalid() { return nullptr; }
  static void Close(HINTERNET h) { WinHttpCloseHandle(h); }
};
using UniqueInternet = UniqueOwner<HINTERNET, InternetTraits>;

// "host" or "host:port" when the port is not the scheme's own.
String ServerName(const THttpUrl& u) {
  const uint16_t standard = u.Secure ? 443 : 80;
  return u.Port == standard ? u.Host : u.Host + u":" + IntToStr(u.Port);
}

[[noreturn]] void RaiseRequestError(DWORD code, const THttpUrl& u, const String& url) {
  const String server = ServerName(u);
  switch (code) {
    case ERROR_WINHTTP_NAME_NOT_RESOLVED:
      throw EHttpError(Format(net_text::kNameNotResolved, {u.Host}), code);
    case ERROR_WINHTTP_CANNOT_CONNECT:
    case WSAECONNREFUSED:
      throw EHttpError(Format(net_text::kCannotConnect, {server}), code);
    case ERROR_WINHTTP_TIMEOUT:
    case WSAETIMEDOUT:  // what Wine reports for a late answer
      throw EHttpError(Format(net_text::kTimeout, {server}), code);
    case ERROR_WINHTTP_CONNECTION_ERROR:
    case WSAECONNRESET:
    case WSAECONNABORTED:
      throw EHttpError(Format(net_text::kConnectionBroken, {server}), code);
    case ERROR_WINHTTP_INVALID_SERVER_RESPONSE:
    case ERROR_WINHTTP_HEADER_COUNT_EXCEEDED:
    case ERROR_WINHTTP_HEADER_SIZE_OVERFLOW:
      throw EHttpError(Format(net_text::kInvalidResponse, {server}), code);
    case ERROR_WINHTTP_SECURE_FAILURE:
    case ERROR_WINHTTP_SECURE_CERT_DATE_INVALID:
    case ERROR_WINHTTP_SECURE_CERT_CN_INVALID:
    case ERROR_WINHTTP_SECURE_INVALID_CA:
    case ERROR_WINHTTP_SECURE_CERT_REV_FAILED:
    case ERROR_WINHTTP_SECURE_INVALID_CERT:
    case ERROR_WINHTTP_SECURE_CERT_REVOKED:
    case ERROR_WINHTTP_SECURE_CERT_WRONG_USAGE:
    case ERROR_WINHTTP_SECURE_CHANNEL_ERROR:
      throw EHttpError(Format(net_text::kCertificate, {server}), code);
    case ERROR_WINHTTP_INVALID_URL:
    case ERROR_WINHTTP_UNRECOGNIZED_SCHEME:
      throw EHttpError(Format(net_text::kBadUrl, {url}), code);
    default:
      throw EHttpError(Format(net_text::kRequestFailed, {server, uint32_t(code)}), code);
  }
}

// False when the header is absent.
bool QueryHeader(HINTERNET request, DWORD info, String& value) {
  DWORD bytes = 0;
  WinHttpQueryHeaders(request, info, WINHTTP_HEADER_NAME_BY_INDEX, WINHTTP_NO_OUTPUT_BUFFER, &bytes,
                      WINHTTP_NO_HEADER_INDEX);
  if (GetLastError() != ERROR_INSUFFICIENT_BUFFER || bytes == 0) return false;
  std::vector<wchar_t> buffer(bytes / sizeof(wchar_t) + 1, L'\0');
  if (!WinHttpQueryHeaders(request, info, WINHTTP_HEADER_NAME_BY_INDEX, buffer.data(), &bytes,
                           WINHTTP_NO_HEADER_INDEX)) {
    return false;
  }
  value = FromW(buffer.data(), bytes / sizeof(wchar_t));
  return true;
}

// Decimal digits only; -1 when the text is no length.
int64_t ParseContentLength(StringView text) {
  const String digits = Trim(text);
  if (digits.empty() || digits.size() > 18) return -1;
  int64_t n = 0;
  for (Char c : digits) {
    if (c < u'0' || c > u'9') return -1;
    n = n * 10 + (c - u'0');
  }
  return n;
}

}  // namespace

void THttpClient::Perform(const String& url, int64_t limit, const BodySink& sink) {
  responseCode_ = 0;
  responseText_.clear();
  contentType_.clear();
  contentLength_ = -1;

  const THttpUrl u = ParseHttpUrl(url);
  auto fail = [&](DWORD code) { RaiseRequestError(code, u, url); };

  UniqueInternet session(WinHttpOpen(W(UserAgent), WINHTTP_ACCESS_TYPE_DEFAULT_PROXY,
                                     WINHTTP_NO_PROXY_NAME, WINHTTP_NO_PROXY_BYPASS, 0));
  if (!session) fail(GetLastError());
  // Windows 7 offers only SSL 3 and TLS 1.0 unless asked; servers today want TLS 1.2 or
  // later. A system without TLS 1.3 refuses that flag, so ask again without it.
  DWORD protocols = WINHTTP_FLAG_SECURE_PROTOCOL_TLS1_2 | WINHTTP_FLAG_SECURE_PROTOCOL_TLS1_3;
  if (!WinHttpSetOption(session.get(), WINHTTP_OPTION_SECURE_PROTOCOLS, &protocols,
                        sizeof protocols)) {
    protocols = WINHTTP_FLAG_SECURE_PROTOCOL_TLS1_2;
    if (!WinHttpSetOption(session.get(), WINHTTP_OPTION_SECURE_PROTOCOLS, &protocols,
                          sizeof protocols)) {
      fail(GetLastError());
    }
  }
  if (!WinHttpSetTimeouts(session.get(), ConnectTimeout, ConnectTimeout, ConnectTimeout,
                          ReadTimeout)) {
    fail(GetLastError());
  }
  UniqueInternet connection(WinHttpConnect(session.get(), W(u.Host), u.Port, 0));
  if (!connection) fail(GetLastError());
  UniqueInternet request(WinHttpOpenRequest(connection.get(), L"GET", W(u.PathAndQuery), nullptr,
                                            WINHTTP_NO_REFERER, WINHTTP_DEFAULT_ACCEPT_TYPES,
                                            u.Secure ? WINHTTP_FLAG_SECURE : 0));
  if (!request) fail(GetLastError());
  // Waiting for the headers has a time-out of its own.
  DWORD responseTimeout = DWORD(ReadTimeout);
  if (!WinHttpSetOption(request.get(), WINHTTP_OPTION_RECEIVE_RESPONSE_TIMEOUT, &responseTimeout,
                        sizeof responseTimeout)) {
    fail(GetLastError());
  }
  // A 3xx must come back to us as it is: it fails below, naming where it pointed.
  DWORD never = WINHTTP_OPTION_REDIRECT_POLICY_NEVER;
  if (!WinHttpSetOption(request.get(), WINHTTP_OPTION_REDIRECT_POLICY, &never, sizeof never)) {
    DWORD disable = WINHTTP_DISABLE_REDIRECTS;
    if (!WinHttpSetOption(request.get(), WINHTTP_OPTION_DISABLE_FEATURE, &disable,
                          sizeof disable)) {
      fail(GetLastError());
    }
  }
  if (!WinHttpSendRequest(request.get(), WINHTTP_NO_ADDITIONAL_HEADERS, 0, WINHTTP_NO_REQUEST_DATA,
                          0, 0, 0) ||
      !WinHttpReceiveResponse(request.get(), nullptr)) {
    fail(GetLastError());
  }

  DWORD status = 0;
  DWORD statusBytes = sizeof status;
  if (!WinHttpQueryHeaders(request.get(), WINHTTP_QUERY_STATUS_CODE | WINHTTP_QUERY_FLAG_NUMBER,
                           WINHTTP_HEADER_NAME_BY_INDEX, &status, &statusBytes,
                           WINHTTP_NO_HEADER_INDEX)) {
    fail(GetLastError());
  }
  responseCode_ = int(status);
  QueryHeader(request.get(), WINHTTP_QUERY_STATUS_TEXT, responseText_);
  QueryHeader(request.get(), WINHTTP_QUERY_CONTENT_TYPE, contentType_);

  if (status < 200 || status > 299) {
    String location;
    if (status >= 300 && status <= 399 &&
        QueryHeader(request.get(), WINHTTP_QUERY_LOCATION, location)) {
      throw EHttpProtocolError(
          Format(net_text::kRedirect, {int(status), responseText_, url, location}), int(status));
    }
    throw EHttpProtocolError(Format(net_text::kStatus, {int(status), responseText_, url}),
                             int(status));
  }

  String lengthText;
  if (QueryHeader(request.get(), WINHTTP_QUERY_CONTENT_LENGTH, lengthText)) {
    contentLength_ = ParseContentLength(lengthText);
    if (contentLength_ < 0) {
      throw EHttpError(Format(net_text::kBadContentLength, {ServerName(u), lengthText}));
    }
  }
  if (limit >= 0 && contentLength_ > limit) {
    throw EHttpError(Format(net_text::kTextTooLarge, {url, IntToStr(limit)}));
  }

  if (OnWorkBegin) OnWorkBegin(this, TWorkMode::wmRead, contentLength_ < 0 ? 0 : contentLength_);
  CallThenFinish(
      [&] {
        std::vector<uint8_t> buffer(net_default::kReadBufferSize);
        int64_t total = 0;
        // A server that closes early shows up as a broken connection on some stacks; the
        // length check below then says what was missing.
        const auto endedEarly = [&](DWORD code) {
          return contentLength_ >= 0 && code == ERROR_WINHTTP_CONNECTION_ERROR;
        };
        for (;;) {
          // Wait for data, then read no more than has arrived: a read of a whole buffer
          // may return only once the buffer is full (Wine's does), so a slow body would
          // show no progress at all and each byte would restart the read time-out.
          DWORD available = 0;
          if (!WinHttpQueryDataAvailable(request.get(), &available)) {
            const DWORD code = GetLastError();
            if (endedEarly(code)) break;
            fail(code);
          }
          if (available == 0) break;
          DWORD got = 0;
          if (!WinHttpReadData(request.get(), buffer.data(),
                               std::min(available, DWORD(buffer.size())), &got)) {
            const DWORD code = GetLastError();
            if (endedEarly(code)) break;
            fail(code);
          }
          if (got == 0) break;
          total += got;
          if (contentLength_ >= 0 && total > contentLength_) {
            throw EHttpError(
                Format(net_text::kLongBody, {ServerName(u), IntToStr(contentLength_)}));
          }
          if (limit >= 0 && total > limit) {
            throw EHttpError(Format(net_text::kTextTooLarge, {url, IntToStr(limit)}));
          }
          sink(buffer.data(), int32_t(got));
          if (OnWork) OnWork(this, TWorkMode::wmRead, total);
        }
        if (contentLength_ >= 0 && total < contentLength_) {
          throw EHttpError(
              Format(net_text::kShortBody, {IntToStr(total), IntToStr(contentLength_), url}));
        }
      },
      [&] {
        if (OnWorkEnd) OnWorkEnd(this, TWorkMode::wmRead);
      });
}

String THttpClient::Get(const String& url) {
  std::string body;
  Perform(url, MaxTextSize < 0 ? 0 : MaxTextSize, [&](const uint8_t* data, int32_t count) {
    body.append(reinterpret_cast<const char*>(data), size_t(count));
  });
  return DecodeHttpText(body, CharsetOf(contentType_), url);
}

void THttpClient::Get(const String& url, TStream& dest) {
  Perform(url, -1, [&](const uint8_t* data, int32_t count) { dest.WriteBuffer(data, count); });
}
