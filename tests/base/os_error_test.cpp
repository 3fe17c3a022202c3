#include <gtest/gtest.h>

#include "base/exception.h"
#include "base/file_stream.h"
#include "base/os_error.h"
#include "base/os_file.h"

TEST(OsError, MessageCarriesCodeAndSystemText) {
  try {
    RaiseOSError(5);
    ADD_FAILURE();
  } catch (const EOSError& e) {
    EXPECT_EQ(e.ErrorCode(), 5u);
    const String prefix = u"System Error.  Code: 5.\r\n";
    EXPECT_EQ(e.Message().substr(0, prefix.size()), prefix);
    EXPECT_EQ(e.Message().substr(prefix.size()), OsErrorText(5));
  }
}
