// Linked into the test programs that open the main window: closing it saves the
// settings under the product's key. Each such test program (one test a process, as
// ctest runs them) starts without that key and leaves none behind.
#include <windows.h>

#include <gtest/gtest.h>

#include "base/win_string.h"
#include "scan/main_texts.h"

namespace {
void RemoveProductKey() {
  const String general = main_texts::kGeneralKey;
  const String product = general.substr(0, general.rfind(u'\\'));
  RegDeleteTreeW(HKEY_CURRENT_USER, W(product));
  // The vendor's key, made with the product's, goes when nothing else is in it.
  RegDeleteKeyW(HKEY_CURRENT_USER, W(product.substr(0, product.rfind(u'\\'))));
}

class ProductKeyEnvironment : public ::testing::Environment {
public:
  void SetUp() override { RemoveProductKey(); }
  void TearDown() override { RemoveProductKey(); }
};

[[maybe_unused]] ::testing::Environment* const g_productKey =
    ::testing::AddGlobalTestEnvironment(new ProductKeyEnvironment);
}  // namespace
