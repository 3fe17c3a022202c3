#include "net/http_url.h"

#include <gtest/gtest.h>

#include "net/http_errors.h"

TEST(ParseHttpUrl, SplitsAddressesForWinHttp) {
  struct Case {
    String url;
    bool secure;
    String host;
    uint16_t port;
    String path;
  } cases[] = {
      {u"http://example.com/versions/quorlixlite.dat", false, u"example.com", 80,
       u"/versions/quorlixlite.dat"},
      {u"HTTPS://Example.com", true, u"Example.com", 443, u"/"},
      {u"http://127.0.0.1:8080?x=1#top", false, u"127.0.0.1", 8080, u"/?x=1"},
      {u"https://h:65535/a/b?c=d/e#f", true, u"h", 65535, u"/a/b?c=d/e"},
      {u"http://[::1]:81/x", false, u"[::1]", 81, u"/x"},
      {u"http://[::1]/", false, u"[::1]", 80, u"/"},
      {u"http://h/caf\u00E9.zip", false, u"h", 80, u"/caf%C3%A9.zip"},
  };
  for (const auto& c : cases) {
    const THttpUrl u = ParseHttpUrl(c.url);
    EXPECT_EQ(u.Secure, c.secure) << ToUtf8(c.url);
    EXPECT_EQ(u.Host, c.host) << ToUtf8(c.url);
    EXPECT_EQ(u.Port, c.port) << ToUtf8(c.url);
    EXPECT_EQ(u.PathAndQuery, c.path) << ToUtf8(c.url);
  }
}

TEST(ParseHttpUrl, RefusesWhatIsNoPlainHttpAddress) {
  const String bad[] = {
      u"",
      u"ftp://h/x",
      u"file:///C:/Windows/notepad.exe",
      u"C:\\update.zip",
      u"http://",
      u"http:///path",
      u"http://h:/x",
      u"http://h:0/x",
      u"http://h:65536/x",
      u"http://h:8o/x",
      u"http://user:pw@h/x",
      u"http://h x/",
      u"http://h/a b",
      u"http://h/a\tb",
      u"http://h/\r\nX-Injected: 1",
      u"http://[::1/x",
      u"http://[zz]/x",
      u"http://[::1]x/",
      u"http://h\u00E9/x",
  };
  for (const String& url : bad) {
    try {
      ParseHttpUrl(url);
      ADD_FAILURE() << "accepted " << ToUtf8(url);
    } catch (const EHttpError& e) {
      EXPECT_NE(e.Message().find(u"is not a valid http or https address"), String::npos);
    }
  }
}
