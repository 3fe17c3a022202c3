// The HTTP client component: plain GET over WinHTTP, into text or into a stream.
// Redirects are never followed and only a 2xx answer succeeds; every failure raises
// EHttpError (EHttpProtocolError for a status) with a sentence a user can read.
#pragma once

#include <cstdint>
#include <functional>

#include "base/object.h"
#include "base/stream.h"
#include "base/string.h"
#include "net/http_errors.h"
#include "net/net_texts.h"

enum class TWorkMode { wmRead, wmWrite };

// Work events run on the calling thread, inside Get.
using TWorkBeginEvent = std::function<void(TObject* sender, TWorkMode mode, int64_t workCountMax)>;
using TWorkEvent = std::function<void(TObject* sender, TWorkMode mode, int64_t workCount)>;
using TWorkEndEvent = std::function<void(TObject* sender, TWorkMode mode)>;

class THttpClient : public TComponent {
 public:
  explicit THttpClient(TComponent* owner = nullptr) : TComponent(owner) {}
  String ClassName() const override { return u"THttpClient"; }

  // The body as text (see DecodeHttpText); one larger than MaxTextSize fails.
  String Get(const String& url);
  // The body written to Dest from its current position.
  void Get(const String& url, TStream& dest);

  // Reading the body: WorkBegin once with the announced length (0 when the server
  // announced none), Work with the bytes so far as soon as more of them arrived, WorkEnd
  // once, also when the transfer fails after WorkBegin. An exception from a handler ends
  // the request and leaves Get.
  TWorkBeginEvent OnWorkBegin;
  TWorkEvent OnWork;
  TWorkEndEvent OnWorkEnd;

  // Milliseconds; name resolution and sending share the connect time-out.
  int ConnectTimeout = net_default::kConnectTimeoutMs;
  int ReadTimeout = net_default::kReadTimeoutMs;
  int64_t MaxTextSize = net_default::kMaxTextSize;
  // The caller names itself: its product and version.
  String UserAgent;

  // The last answer: 0 and empty before one arrived.
  int ResponseCode() const { return responseCode_; }

 private:
  using BodySink = std::function<void(const uint8_t* data, int32_t count)>;
  void Perform(const String& url, int64_t limit, const BodySink& sink);

  int responseCode_ = 0;
  String responseText_;
  String contentType_;
  int64_t contentLength_ = -1;
};
