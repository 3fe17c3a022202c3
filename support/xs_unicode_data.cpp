#include "support/xs_unicode_data.h"

#include <utility>

constinit GlobalOwner<TUnicodeDatabase> UnicodeDatabase;

TUnicodeDatabase& UnicodeDatabaseStorage() {
  if (!UnicodeDatabase) UnicodeDatabase = std::make_unique<TUnicodeDatabase>();
  return *UnicodeDatabase;
}

void ReleaseUnicodeDatabase() {
  UnicodeDatabase.reset();
}
