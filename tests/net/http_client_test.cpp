// The HTTP client against the local test server (http_test_server.py, started by a
// CTest fixture on 127.0.0.1).
#include "net/http_client.h"

#include <winsock2.h>

#include <windows.h>

#include <wincrypt.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/format.h"
#include "base/string_list.h"
#include "tests/testlib/test_paths.h"

#ifndef QZ_NET_SERVER_STATE
#error "QZ_NET_SERVER_STATE names the test server's state folder"
#endif

namespace {

// The server's ports: http, https with a trusted and with an untrusted certificate.
enum class Port { Http, TrustedHttps, UntrustedHttps };

String ServerRoot(Port which = Port::Http) {
  static const std::vector<String> ports = [] {
    TStringList lines;
    lines.LoadFromFile(HostPath(std::string(QZ_NET_SERVER_STATE) + "/port"));
    std::vector<String> out;
    for (int i = 0; i < lines.Count(); ++i) out.push_back(lines[i]);
    return out;
  }();
  const size_t index = size_t(which);
  EXPECT_LT(index, ports.size());
  return (which == Port::Http ? u"http://127.0.0.1:" : u"https://127.0.0.1:") +
         (index < ports.size() ? ports[index] : String());
}

// The server's trusted certificate in the user's root store (of the test's own Wine
// prefix) while the object lives; taken out again after, so that no run leaves a
// certificate behind in the prefix. The store is written when it is closed.
class TrustedServerCertificate {
public:
  TrustedServerCertificate() = default;
  ~TrustedServerCertificate() {
    if (!added_) return;
    // The registry part of the store itself: a deletion through the system store is
    // reported done but not written (Wine 8).
    HCERTSTORE root = CertOpenStore(CERT_STORE_PROV_SYSTEM_REGISTRY_W, 0, 0,
                                    CERT_SYSTEM_STORE_CURRENT_USER, L"ROOT");
    if (!root) return;
    PCCERT_CONTEXT ours = CertCreateCertificateContext(X509_ASN_ENCODING, der_.data(),
                                                       DWORD(der_.size()));
    PCCERT_CONTEXT stored =
        ours ? CertFindCertificateInStore(root, X509_ASN_ENCODING, 0, CERT_FIND_EXISTING, ours,
                                          nullptr)
             : nullptr;
    if (stored) CertDeleteCertificateFromStore(stored);  // frees the context too
    if (ours) CertFreeCertificateContext(ours);
    CertCloseStore(root, 0);
  }
  TrustedServerCertificate(const TrustedServerCertificate&) = delete;
  TrustedServerCertificate& operator=(const TrustedServerCertificate&) = delete;

  void Add() {
    TMemoryStream pem;
    pem.LoadFromFile(HostPath(std::string(QZ_NET_SERVER_STATE) + "/trusted-cert.pem"));
    DWORD size = 0;
    const auto* text = reinterpret_cast<const char*>(pem.Memory());
    ASSERT_TRUE(CryptStringToBinaryA(text, DWORD(pem.Size()), CRYPT_STRING_BASE64HEADER,
                                     nullptr, &size, nullptr, nullptr));
    der_.resize(size);
    ASSERT_TRUE(CryptStringToBinaryA(text, DWORD(pem.Size()), CRYPT_STRING_BASE64HEADER,
                                     der_.data(), &size, nullptr, nullptr));
    HCERTSTORE root = CertOpenSystemStoreW(0, L"ROOT");
    ASSERT_NE(root, nullptr);
    added_ = CertAddEncodedCertificateToStore(root, X509_ASN_ENCODING, der_.data(), size,
                                              CERT_STORE_ADD_REPLACE_EXISTING, nullptr);
    CertCloseStore(root, 0);
    EXPECT_TRUE(added_);
  }

private:
  std::vector<BYTE> der_;
  bool added_ = false;
};

String Url(const String& path) { return ServerRoot() + path; }

// What http_test_server.py sends for /size/N.
std::string Pattern(size_t n) {
  std::string s(n, '\0');
  for (size_t i = 0; i < n; ++i) s[i] = char(i % 256);
  return s;
}

struct WorkLog {
  struct Event {
    char kind;  // 'b' begin, 'w' work, 'e' end
    int64_t count;
  };
  std::vector<Event> events;

  void Attach(THttpClient& http) {
    http.OnWorkBegin = [this](TObject* sender, TWorkMode mode, int64_t max) {
      EXPECT_EQ(mode, TWorkMode::wmRead);
      events.push_back({'b', max});
    };
    http.OnWork = [this](TObject* sender, TWorkMode mode, int64_t count) {
      events.push_back({'w', count});
    };
    http.OnWorkEnd = [this](TObject* sender, TWorkMode mode) { events.push_back({'e', 0}); };
  }
  // Begin first, end last, each once; work counts rising. Returns the last count.
  int64_t CheckShape() const {
    EXPECT_GE(events.size(), 2u);
    if (events.size() < 2) return -1;
    EXPECT_EQ(events.front().kind, 'b');
    EXPECT_EQ(events.back().kind, 'e');
    int64_t last = 0;
    for (size_t i = 1; i + 1 < events.size(); ++i) {
      EXPECT_EQ(events[i].kind, 'w') << i;
      EXPECT_GT(events[i].count, last) << i;
      last = events[i].count;
    }
    return last;
  }
};

// The hex form the server's /body route takes.
String Hex(std::string_view bytes) {
  String out;
  for (unsigned char b : bytes) out += Format(u"%.2x", {unsigned(b)});
  return out;
}

String BodyUrl(std::string_view bytes, const String& type = u"") {
  String url = u"/body?hex=" + Hex(bytes);
  if (!type.empty()) url += u"&type=" + type;
  return Url(url);
}

}  // namespace

TEST(HttpClientText, DecodesTheBodyByItsCharset) {
  struct Case {
    const char* what;
    std::string body;
    String type;
    String expected;
  } cases[] = {
      {"plain ASCII, lines kept", "1.2\r\n0|1|hi|\n", u"text/plain", u"1.2\r\n0|1|hi|\n"},
      {"UTF-8 BOM stripped",
       "\xEF\xBB\xBF"
       "1.2",
       u"text/plain;charset=utf-8", u"1.2"},
      {"BOM without a charset",
       "\xEF\xBB\xBF"
       "caf\xC3\xA9",
       u"", u"caf\u00E9"},
      {"ISO-8859-1", "caf\xE9", u"text/plain;charset=ISO-8859-1", u"caf\u00E9"},
      {"Windows-1251 via the system", "\xCF\xF0\xE8", u"text/plain;charset=windows-1251",
       u"\u041F\u0440\u0438"},
      {"UTF-16LE", std::string("h\0i\0", 4), u"text/plain;charset=utf-16le", u"hi"},
      {"no charset, valid UTF-8", "caf\xC3\xA9", u"application/octet-stream", u"caf\u00E9"},
      {"no charset, not UTF-8", "caf\xE9 \x80", u"", u"caf\u00E9 \u20AC"},
      {"empty body", "", u"text/plain", u""},
  };
  for (const auto& c : cases) {
    THttpClient http;
    EXPECT_EQ(http.Get(BodyUrl(c.body, c.type)), c.expected) << c.what;
    EXPECT_EQ(http.ResponseCode(), 200) << c.what;
  }
}

TEST(HttpClientText, ChunkedBodyWithoutLengthArrivesWhole) {
  THttpClient http;
  const String text = http.Get(Url(u"/chunked/2500"));
  ASSERT_EQ(text.size(), 2500u);  // Windows-1252 maps every byte to one unit
}

TEST(HttpClientText, FailsForEveryUnusableAnswer) {
  struct Case {
    const char* what;
    String path;
    int64_t maxTextSize;
    int status;  // 0: not a status failure
    String messagePart;
  } cases[] = {
      {"404", u"/nowhere", 1024, 404, u"\"404 Not Found\""},
      {"500", u"/body?status=500&hex=4142", 1024, 500, u"\"500 Internal Server Error\""},
      {"302 not followed", u"/redirect", 1024, 302, u"pointed to \"/size/10\""},
      {"body shorter than announced", u"/short/100/10", 1024, 0, u"ended after 10 of 100 bytes"},
      {"announced length over the cap", u"/size/1025", 1024, 0, u"larger than 1024 bytes"},
      {"chunked body over the cap", u"/chunked/5000", 1024, 0, u"larger than 1024 bytes"},
      {"unknown charset", u"/body?hex=41&type=text/plain;charset=x-klingon", 1024, 0,
       u"\"x-klingon\""},
  };
  for (const auto& c : cases) {
    THttpClient http;
    http.MaxTextSize = c.maxTextSize;
    try {
      http.Get(Url(c.path));
      ADD_FAILURE() << c.what << ": no failure";
    } catch (const EHttpProtocolError& e) {
      EXPECT_EQ(e.ResponseCode(), c.status) << c.what;
      EXPECT_NE(e.Message().find(c.messagePart), String::npos) << c.what << ": " << e.what();
    } catch (const EHttpError& e) {
      EXPECT_EQ(c.status, 0) << c.what << ": " << e.what();
      EXPECT_NE(e.Message().find(c.messagePart), String::npos) << c.what << ": " << e.what();
    }
  }
}

TEST(HttpClientText, ExactlyTheCapIsAllowed) {
  THttpClient http;
  http.MaxTextSize = 1024;
  EXPECT_EQ(http.Get(Url(u"/size/1024")).size(), 1024u);
}

TEST(HttpClientStream, DownloadsWithWorkEventsOnTheCallingThread) {
  struct Case {
    String path;
    size_t size;
    int64_t announced;
  } cases[] = {
      {u"/size/300000", 300000, 300000},
      {u"/chunked/70000", 70000, 0},
      {u"/size/1", 1, 1},
  };
  for (const auto& c : cases) {
    THttpClient http;
    WorkLog log;
    log.Attach(http);
    const DWORD thread = GetCurrentThreadId();
    auto work = http.OnWork;
    http.OnWork = [&](TObject* sender, TWorkMode mode, int64_t count) {
      EXPECT_EQ(sender, &http);
      EXPECT_EQ(GetCurrentThreadId(), thread);
      work(sender, mode, count);
    };
    TMemoryStream dest;
    http.Get(Url(c.path), dest);
    const auto& bytes = dest.Bytes();
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()), Pattern(c.size)) << ToUtf8(c.path);
    EXPECT_EQ(log.events.front().count, c.announced) << ToUtf8(c.path);
    EXPECT_EQ(log.CheckShape(), int64_t(c.size)) << ToUtf8(c.path);
  }
}

TEST(HttpClientStream, EmptyBodyStillBeginsAndEnds) {
  THttpClient http;
  WorkLog log;
  log.Attach(http);
  TMemoryStream dest;
  http.Get(Url(u"/size/0"), dest);
  EXPECT_EQ(dest.Size(), 0);
  ASSERT_EQ(log.events.size(), 2u);
  EXPECT_EQ(log.events[0].kind, 'b');
  EXPECT_EQ(log.events[1].kind, 'e');
}

TEST(HttpClientStream, ShortBodyFailsAndStillEndsTheWork) {
  THttpClient http;
  WorkLog log;
  log.Attach(http);
  TMemoryStream dest;
  EXPECT_THROW(http.Get(Url(u"/short/5000/3000"), dest), EHttpError);
  ASSERT_FALSE(log.events.empty());
  EXPECT_EQ(log.events.front().kind, 'b');
  EXPECT_EQ(log.events.front().count, 5000);
  EXPECT_EQ(log.events.back().kind, 'e');
}

// A byte every few milliseconds is reported as it comes, not once a buffer is full: a
// handler can judge the trickle while it lasts (the server sends the rest after 5 s).
TEST(HttpClientStream, TrickleIsReportedAsItArrives) {
  THttpClient http;
  WorkLog log;
  log.Attach(http);
  int works = 0;
  auto work = http.OnWork;
  http.OnWork = [&](TObject* sender, TWorkMode mode, int64_t count) {
    work(sender, mode, count);
    if (++works == 3) throw Exception(u"judged");
  };
  TMemoryStream dest;
  EXPECT_THROW(http.Get(Url(u"/drip/1000/10/5000"), dest), Exception);
  EXPECT_EQ(log.events.size(), 5u);
  const int64_t last = log.CheckShape();
  EXPECT_LT(last, 1000);
  EXPECT_EQ(dest.Size(), last);
}

TEST(HttpClientStream, StatusFailureWritesNothingAndStartsNoWork) {
  THttpClient http;
  WorkLog log;
  log.Attach(http);
  TMemoryStream dest;
  EXPECT_THROW(http.Get(Url(u"/nowhere"), dest), EHttpProtocolError);
  EXPECT_EQ(dest.Size(), 0);
  EXPECT_TRUE(log.events.empty());
}

TEST(HttpClientStream, HandlerExceptionEndsTheRequest) {
  THttpClient http;
  int ends = 0;
  http.OnWork = [](TObject*, TWorkMode, int64_t) { throw Exception(u"stop"); };
  http.OnWorkEnd = [&](TObject*, TWorkMode) { ++ends; };
  TMemoryStream dest;
  try {
    http.Get(Url(u"/size/300000"), dest);
    FAIL() << "no failure";
  } catch (const Exception& e) {
    EXPECT_EQ(e.Message(), u"stop");
  }
  EXPECT_EQ(ends, 1);
}

TEST(HttpClientFailure, TimeOutAndRefusedConnection) {
  {
    THttpClient http;
    http.ReadTimeout = 500;
    try {
      http.Get(Url(u"/slow/5"));
      FAIL() << "no time-out";
    } catch (const EHttpError& e) {
      EXPECT_NE(e.Message().find(u"did not answer in time"), String::npos) << e.what();
    }
  }
  {
    // A port nobody listens on: bound once for its number, then closed.
    WSADATA wsa;
    ASSERT_EQ(WSAStartup(MAKEWORD(2, 2), &wsa), 0);
    SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ASSERT_EQ(bind(s, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
    int len = sizeof addr;
    getsockname(s, reinterpret_cast<sockaddr*>(&addr), &len);
    const int port = ntohs(addr.sin_port);
    closesocket(s);
    WSACleanup();
    THttpClient http;
    try {
      http.Get(u"http://127.0.0.1:" + IntToStr(port) + u"/x");
      FAIL() << "connected";
    } catch (const EHttpError& e) {
      EXPECT_EQ(e.Message(), u"Could not connect to the server 127.0.0.1:" + IntToStr(port) + u".");
    }
  }
}

TEST(HttpClientHttps, TrustedCertificateWorksOthersAreRefused) {
  TrustedServerCertificate trusted;
  ASSERT_NO_FATAL_FAILURE(trusted.Add());
  THttpClient http;
  EXPECT_EQ(http.Get(ServerRoot(Port::TrustedHttps) + u"/body?hex=312e32&type=text/plain"), u"1.2");
  TMemoryStream dest;
  http.Get(ServerRoot(Port::TrustedHttps) + u"/size/100000", dest);
  EXPECT_EQ(dest.Size(), 100000);

  const String untrusted = ServerRoot(Port::UntrustedHttps);
  try {
    http.Get(untrusted + u"/size/10");
    FAIL() << "an untrusted certificate was accepted";
  } catch (const EHttpProtocolError& e) {
    FAIL() << e.what();
  } catch (const EHttpError& e) {
    EXPECT_EQ(e.Message(), u"The secure connection to the server " + untrusted.substr(8) +
                               u" failed: its certificate was not accepted.");
  }
  // Plain HTTP on the other end is no secure connection either.
  EXPECT_THROW(http.Get(u"https" + ServerRoot().substr(4) + u"/size/10"), EHttpError);
}
