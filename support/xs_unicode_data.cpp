#include "support/xs_unicode_data.h"

#include <utility>

TUnicodeDatabase* UnicodeDatabase = nullptr;

TUnicodeDatabase& UnicodeDatabaseStorage() {
  if (!UnicodeDatabase) UnicodeDatabase = std::make_unique<TUnicodeDatabase>().release();
  return *UnicodeDatabase;
}

void ReleaseUnicodeDatabase() {
  std::unique_ptr<TUnicodeDatabase> database(std::exchange(UnicodeDatabase, nullptr));
}
