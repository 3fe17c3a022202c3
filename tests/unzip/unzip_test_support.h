// Shared pieces of the component tests: fixture paths, listings, a component that
// records the entries handed to extraction.
#pragma once

#include <string>
#include <vector>

#include "base/string.h"
#include "unzip/xr_unzip.h"

#ifndef QZ_DIRECTORY_FIXTURES
#error "QZ_DIRECTORY_FIXTURES names the folder of the generated fixtures"
#endif

// A generated fixture as the program names it.
String Fixture(const std::string& name);

struct ListingLine {
  std::string name;
  int64_t size;
  uint32_t crc;
  int64_t compressed;
  bool operator==(const ListingLine&) const = default;
};
// The listing python wrote beside a fixture.
std::vector<ListingLine> ExpectedListing(const std::string& fixture);
// The component's loaded directory in the same form.
std::vector<ListingLine> ListingOf(const TXrUnZip& unzip);

class RecordingUnZip : public TXrUnZip {
public:
  using TXrUnZip::StripRelativePath;
  std::vector<int32_t> handed;
  std::vector<String> handedNames;

protected:
  void ExtractEntry(int32_t index, TExtractState& state) override {
    handed.push_back(index);
    handedNames.push_back(Entry(index).Directory + Entry(index).FileName);
    ++state.FilesDone;
  }
};
