#include "support/xs_unicode_data.h"

#include <utility>

std::unique_ptr<TUnicodeDatabase> UnicodeDatabase;

TUnicodeDatabase& UnicodeDatabaseStorage() {
  if (!UnicodeDatabase) UnicodeDatabase = std::make_unique<TUnicodeDatabase>();
  return *UnicodeDatabase;
}

void ReleaseUnicodeDatabase() {
  UnicodeDatabase.reset();
}
