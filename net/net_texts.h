// Message texts and fixed settings of the HTTP client, in one place.
#pragma once

#include <cstdint>

#include "base/string.h"

namespace net_text {
inline constexpr const Char* kBadUrl = u"\"%s\" is not a valid http or https address.";
inline constexpr const Char* kNameNotResolved = u"The server name %s could not be found.";
inline constexpr const Char* kCannotConnect = u"Could not connect to the server %s.";
inline constexpr const Char* kTimeout = u"The server %s did not answer in time.";
inline constexpr const Char* kConnectionBroken = u"The connection to the server %s was broken.";
inline constexpr const Char* kInvalidResponse = u"The server %s sent an invalid response.";
inline constexpr const Char* kCertificate =
    u"The secure connection to the server %s failed: its certificate was not accepted.";
inline constexpr const Char* kRequestFailed =
    u"The request to the server %s failed (WinHTTP error %u).";
inline constexpr const Char* kStatus = u"The server answered \"%d %s\" for %s.";
inline constexpr const Char* kRedirect =
    u"The server answered \"%d %s\" for %s and pointed to \"%s\"; redirections are not followed.";
inline constexpr const Char* kBadContentLength =
    u"The server %s announced an invalid length \"%s\".";
inline constexpr const Char* kShortBody = u"The connection ended after %s of %s bytes from %s.";
inline constexpr const Char* kLongBody = u"The server %s sent more than the %s bytes it announced.";
inline constexpr const Char* kTextTooLarge = u"The text at %s is larger than %s bytes.";
inline constexpr const Char* kUnknownCharset =
    u"The text at %s uses the character set \"%s\", which is not supported.";
}  // namespace net_text

namespace net_default {
inline constexpr int kConnectTimeoutMs = 30000;
inline constexpr int kReadTimeoutMs = 30000;
// Texts are small files (a version list); a larger answer is not one.
inline constexpr int64_t kMaxTextSize = 1024 * 1024;
inline constexpr int32_t kReadBufferSize = 64 * 1024;
}  // namespace net_default
