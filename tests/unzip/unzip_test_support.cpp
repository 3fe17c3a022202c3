#include "tests/unzip/unzip_test_support.h"

#include <sstream>

#include "base/stream.h"
#include "tests/testlib/test_paths.h"
#include "tests/unzip/zip_builder.h"

String Fixture(const std::string& name) { return HostPath(std::string(QZ_DIRECTORY_FIXTURES) + "/" + name); }

std::vector<ListingLine> ExpectedListing(const std::string& fixture) {
  TMemoryStream file;
  file.LoadFromFile(Fixture(fixture + ".listing"));
  std::istringstream in(std::string(file.Bytes().begin(), file.Bytes().end()));
  std::vector<ListingLine> lines;
  std::string line;
  while (std::getline(in, line)) {
    std::istringstream fields(line);
    ListingLine l;
    std::getline(fields, l.name, '\t');
    fields >> l.size >> l.crc >> l.compressed;
    lines.push_back(l);
  }
  return lines;
}

std::vector<ListingLine> ListingOf(const TXrUnZip& unzip) {
  std::vector<ListingLine> lines;
  for (int i = 0; i < unzip.LoadedEntryCount(); ++i) {
    const TZipHeaderInfo& e = unzip.Entry(i);
    lines.push_back({ListingName(e.Directory, e.FileName), e.UncompressedSize(), e.Crc32,
                     e.CompressedSize()});
  }
  return lines;
}
