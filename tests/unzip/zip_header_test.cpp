#include <gtest/gtest.h>

#include <algorithm>

#include "base/exception.h"
#include "base/stream.h"
#include "tests/unzip/zip_builder.h"
#include "unzip/end_central.h"
#include "unzip/zip_header.h"

namespace {

// Reads a central header from bytes and reports where the stream stood afterwards.
struct CentralRead {
  bool ok;
  int64_t position;
};

CentralRead ReadCentral(TZipHeaderInfo& h, const std::string& bytes, int64_t start = 0) {
  TReadOnlyMemoryStream stream(bytes.data(), bytes.size());
  stream.SetPosition(start);
  TStream* s = &stream;
  const bool ok = h.ReadCentralHeader(s);
  return {ok, stream.Position()};
}

bool ReadLocal(TZipHeaderInfo& h, const std::string& bytes) {
  TReadOnlyMemoryStream stream(bytes.data(), bytes.size());
  return h.ReadLocalHeader(stream);
}

TEST(ZipHeader, CentralHeaderFieldsAndPathSplit) {
  CentralFields f;
  f.name = "docs/readme.txt";
  f.madeBy = 0x031E;
  f.method = 8;
  f.crc = 0xDEADBEEF;
  f.compressedSize = 10;
  f.uncompressedSize = 20;
  f.offset = 1234;
  f.extra = ExtraBlock(0x000A, std::string(32, '\0'));
  f.comment = "note";
  const std::string bytes = "xx" + CentralHeader(f);
  TZipHeaderInfo h;
  const CentralRead r = ReadCentral(h, bytes, 2);
  ASSERT_TRUE(r.ok);
  EXPECT_EQ(r.position, 2 + 46 + int64_t(f.name.size()));  // at the extra field
  EXPECT_EQ(h.Directory, u"docs\\");
  EXPECT_EQ(h.FileName, u"readme.txt");
  EXPECT_EQ(h.CentralOffset, 2);
  EXPECT_EQ(h.Crc32, 0xDEADBEEFu);
  EXPECT_EQ(h.CompressedSize(), 10);
  EXPECT_EQ(h.UncompressedSize(), 20);
  EXPECT_EQ(h.RelativeOffset(), 1234);
  EXPECT_EQ(h.CommentLength, 4);
  EXPECT_EQ(h.VersionMadeBy, 0x031E);
  EXPECT_EQ(h.CompressionMethod, 8);
  EXPECT_FALSE(h.HasZip64Info());

  f.name = "docs/";
  ASSERT_TRUE(ReadCentral(h, CentralHeader(f)).ok);
  EXPECT_EQ(h.Directory, u"docs\\");
  EXPECT_EQ(h.FileName, u"");
  f.name = "a.txt";
  ASSERT_TRUE(ReadCentral(h, CentralHeader(f)).ok);
  EXPECT_EQ(h.Directory, u"");
  EXPECT_EQ(h.FileName, u"a.txt");
}

TEST(ZipHeader, NameDecoding) {
  struct Case {
    const char* what;
    std::string raw;
    uint16_t flags;
    uint16_t madeBy;
    TOEMConvert oem;
    String expected;
  };
  const Case cases[] = {
      {"ascii", "plain.txt", 0, 20, TOEMConvert::oemFlexible, u"plain.txt"},
      {"utf-8 flag wins over OEM", "caf\xC3\xA9", 0x0800, 20, TOEMConvert::oemFlexible, u"caf\u00E9"},
      {"oemNever decodes UTF-8", "caf\xC3\xA9", 0, 20, TOEMConvert::oemNever, u"caf\u00E9"},
      {"OEM name that survives the round trip", "caf\x82", 0, 20, TOEMConvert::oemFlexible,
       u"caf\u00E9"},
      {"OEM box characters do not survive: UTF-8", "caf\xC3\xA9", 0, 20, TOEMConvert::oemFlexible,
       u"caf\u00E9"},
      // Bytes that read as UTF-8 and whose OEM form survives the round trip.
      {"host 11 skips the OEM step", "\xE1\x80\x81", 0, 0x0B14, TOEMConvert::oemFlexible,
       u"\u1001"},
      {"NTFS host takes the OEM step", "\xE1\x80\x81", 0, 0x0A14, TOEMConvert::oemFlexible,
       u"\u00DF\u00C7\u00FC"},
      {"malformed UTF-8 gives replacement characters", "a\xFF", 0x0800, 20,
       TOEMConvert::oemFlexible, u"a\uFFFD"},
      // Without the flag, names in another code page (here KOI8-R) read as code page
      // 437, so that two of them cannot come out as one text.
      {"no flag, not UTF-8, OEM step skipped", "caf\x82", 0, 0x0B14, TOEMConvert::oemFlexible,
       u"caf\u00E9"},
      {"no flag, OEM round trip fails", "\xD0\xD2\xC9\xD7\xC5\xD4", 0, 20,
       TOEMConvert::oemFlexible, u"\u2568\u2565\u2554\u256B\u253C\u2558"},
      {"no flag, the same first bytes", "\xD0\xD2\xC9\xCD\xC5\xD2", 0, 20,
       TOEMConvert::oemFlexible, u"\u2568\u2565\u2554\u2550\u253C\u2565"},
      {"no flag, oemNever", "\xD0\xD2\xC9\xD7\xC5\xD4", 0, 20, TOEMConvert::oemNever,
       u"\u2568\u2565\u2554\u256B\u253C\u2558"},
  };
  for (const Case& c : cases) {
    CentralFields f;
    f.name = c.raw;
    f.flags = c.flags;
    f.madeBy = c.madeBy;
    TZipHeaderInfo h;
    h.OEMConvert = c.oem;
    ASSERT_TRUE(ReadCentral(h, CentralHeader(f)).ok) << c.what;
    EXPECT_EQ(h.FileName, c.expected) << c.what;
  }
}

TEST(ZipHeader, DosDateTimeIsClamped) {
  for (auto [stored, expected] : {std::pair<uint32_t, uint32_t>{0, 0x00210000},
                                  {0xFFFFFFFF, 0xEF9FBF7D}, {0x52CF6000, 0x52CF6000}}) {
    CentralFields f;
    f.dosTime = stored;
    TZipHeaderInfo h;
    ASSERT_TRUE(ReadCentral(h, CentralHeader(f)).ok);
    EXPECT_EQ(h.FileDateTime, expected);
    ASSERT_TRUE(ReadLocal(h, LocalHeader(f)));
    EXPECT_EQ(h.FileDateTime, expected);
  }
}

TEST(ZipHeader, Zip64ExtraField) {
  constexpr uint32_t E = 0xFFFFFFFF;
  const std::string aes = ExtraBlock(0x9901, Le16(2) + "AE" + std::string(1, '\x03') + Le16(8));
  struct Case {
    const char* what;
    uint32_t usize, csize, offset;
    uint16_t disk;
    std::string extra;
    bool ok;
    int64_t expectU, expectC, expectOffset;
    uint32_t expectDisk;
  };
  const Case cases[] = {
      {"compressed size alone", 7, E, 0, 0, ExtraBlock(1, Le64(5000000000)), true, 7, 5000000000,
       0, 0},
      {"every escape, in order", E, E, E, 0xFFFF,
       ExtraBlock(1, Le64(1) + Le64(2) + Le64(3) + Le32(4)), true, 1, 2, 3, 4},
      {"block holds fewer values than escapes", E, E, 0, 0, ExtraBlock(1, Le64(1)), false, 0, 0,
       0, 0},
      {"escape without any block", 5, E, 0, 0, "", false, 0, 0, 0, 0},
      {"disk escape without its value", 1, 1, 1, 0xFFFF, ExtraBlock(1, ""), false, 0, 0, 0, 0},
      {"value of 2^63", E, 1, 0, 0, ExtraBlock(1, Le64(0x8000000000000000ull)), false, 0, 0, 0, 0},
      {"block without escapes: nothing taken, next block after its size", 3, 4, 5, 0,
       ExtraBlock(1, Le64(99) + Le64(98)) + aes, true, 3, 4, 5, 0},
      {"block running past the field is ignored", 3, E, 0, 0,
       Le16(1) + Le16(40) + Le64(77), false, 0, 0, 0, 0},
      {"other tags are skipped by their size", 3, E, 0, 0,
       ExtraBlock(0x000A, std::string(36, '\x01')) + ExtraBlock(1, Le64(70)), true, 3, 70, 0, 0},
  };
  for (const Case& c : cases) {
    CentralFields f;
    f.uncompressedSize = c.usize;
    f.compressedSize = c.csize;
    f.offset = c.offset;
    f.disk = c.disk;
    f.extra = c.extra;
    f.method = 99;
    const std::string bytes = CentralHeader(f);
    TZipHeaderInfo h;
    const CentralRead r = ReadCentral(h, bytes);
    ASSERT_EQ(r.ok, c.ok) << c.what;
    if (!c.ok) {
      EXPECT_EQ(r.position, 0) << c.what;
      EXPECT_EQ(h.FileName, u"") << c.what;  // left as it was
      continue;
    }
    EXPECT_EQ(h.UncompressedSize(), c.expectU) << c.what;
    EXPECT_EQ(h.CompressedSize(), c.expectC) << c.what;
    EXPECT_EQ(h.RelativeOffset(), c.expectOffset) << c.what;
    EXPECT_EQ(h.DiskNumberStart(), c.expectDisk) << c.what;
  }
  // The AES block after a ZIP64 block without escapes is found.
  CentralFields f;
  f.method = 99;
  f.extra = ExtraBlock(1, Le64(99)) + aes;
  TZipHeaderInfo h;
  ASSERT_TRUE(ReadCentral(h, CentralHeader(f)).ok);
  EXPECT_EQ(h.CompressionMethod, 8);
}

TEST(ZipHeader, LocalZip64BlockHoldsBothSizesAtFixedPlaces) {
  CentralFields f;
  f.uncompressedSize = 10;
  f.compressedSize = 0xFFFFFFFF;
  f.extra = ExtraBlock(1, Le64(111) + Le64(222));
  TZipHeaderInfo h;
  ASSERT_TRUE(ReadLocal(h, LocalHeader(f)));
  EXPECT_EQ(h.CompressedSize(), 222);
  EXPECT_EQ(h.UncompressedSize(), 10);
  EXPECT_EQ(h.RelativeOffset(), 0);
  f.extra = ExtraBlock(1, Le64(111));  // the compressed size's place is missing
  EXPECT_FALSE(ReadLocal(h, LocalHeader(f)));
}

TEST(ZipHeader, AesBlockIsCheckedBeforeItMapsTheMethod) {
  auto block = [](uint16_t size, const std::string& id, uint16_t version, uint8_t strength) {
    std::string data = Le16(version) + id + std::string(1, char(strength)) + Le16(8);
    data.resize(size, '\0');
    return ExtraBlock(0x9901, data);
  };
  struct Case {
    const char* what;
    std::string extra;
    bool valid;
  };
  const Case cases[] = {
      {"AE-2 strength 3", block(7, "AE", 2, 3), true},
      {"AE-1 strength 1", block(7, "AE", 1, 1), true},
      {"size 6", block(6, "AE", 2, 3), false},
      {"vendor id", block(7, "AX", 2, 3), false},
      {"vendor version 3", block(7, "AE", 3, 3), false},
      {"strength 0", block(7, "AE", 2, 0), false},
      {"strength 4", block(7, "AE", 2, 4), false},
      {"no block", "", false},
  };
  for (const Case& c : cases) {
    CentralFields f;
    f.method = 99;
    f.flags = 1;
    f.extra = c.extra;
    TZipHeaderInfo h;
    ASSERT_TRUE(ReadCentral(h, CentralHeader(f)).ok) << c.what;
    EXPECT_TRUE(h.IsEncrypted()) << c.what;
    EXPECT_EQ(h.HasAesInfo(), c.valid) << c.what;
    EXPECT_EQ(h.CompressionMethod, c.valid ? 8 : 99) << c.what;
    EXPECT_EQ(h.ActualMethod(), c.valid ? 8 : 99) << c.what;
    EXPECT_EQ(h.EncryptionStrength, c.valid ? uint8_t(c.extra[8]) : 0) << c.what;
    // The local reader recognises AES the same way.
    ASSERT_TRUE(ReadLocal(h, LocalHeader(f))) << c.what;
    EXPECT_EQ(h.CompressionMethod, c.valid ? 8 : 99) << c.what;
  }
}

TEST(ZipHeader, UnicodePathFieldUsedOnlyWhenSound) {
  const std::string stored = "old/name.txt";
  const std::string utf8 = "new/n\xC3\xA4me.txt";
  auto block = [&](uint8_t version, uint32_t crc, const std::string& path) {
    return ExtraBlock(0x7075, std::string(1, char(version)) + Le32(crc) + path);
  };
  const uint32_t crc = Crc32Of(stored);
  struct Case {
    const char* what;
    std::string extra;
    String dir, name;
  };
  const Case cases[] = {
      {"sound", block(1, crc, utf8), u"new\\", u"n\u00E4me.txt"},
      {"CRC of another name", block(1, crc ^ 1, utf8), u"old\\", u"name.txt"},
      {"version 2", block(2, crc, utf8), u"old\\", u"name.txt"},
      {"data shorter than its head", ExtraBlock(0x7075, "\x01\x02"), u"old\\", u"name.txt"},
      {"NUL inside the path", block(1, crc, std::string("x\0y", 3)), u"old\\", u"name.txt"},
      {"cut by the field's end", block(1, crc, utf8).substr(0, 12), u"old\\", u"name.txt"},
  };
  for (const Case& c : cases) {
    CentralFields f;
    f.name = stored;
    f.extra = c.extra;
    TZipHeaderInfo h;
    ASSERT_TRUE(ReadCentral(h, CentralHeader(f)).ok) << c.what;
    EXPECT_EQ(h.Directory, c.dir) << c.what;
    EXPECT_EQ(h.FileName, c.name) << c.what;
  }
}

TEST(ZipHeader, UntrustworthyAndShortHeadersAreRejectedWithThePositionRestored) {
  CentralFields f;
  f.name = std::string("a\0b", 3);
  std::string bytes = "pad" + CentralHeader(f);
  TZipHeaderInfo h;
  EXPECT_EQ(ReadCentral(h, bytes, 3).position, 3);
  EXPECT_FALSE(ReadCentral(h, bytes, 3).ok);
  EXPECT_FALSE(ReadLocal(h, LocalHeader(f)));

  f.name = "name.txt";
  bytes = CentralHeader(f);
  for (size_t cut : {size_t(0), size_t(20), size_t(45), size_t(50)}) {
    const CentralRead r = ReadCentral(h, bytes.substr(0, cut));
    EXPECT_FALSE(r.ok) << cut;
    EXPECT_EQ(r.position, 0) << cut;
  }
  bytes[0] = 'X';
  EXPECT_FALSE(ReadCentral(h, bytes).ok);
  EXPECT_FALSE(ReadLocal(h, LocalHeader(f).substr(0, 29)));
}

// An extra field cut off by the end of the data: the ZIP64 block whose head is there
// but not its values is no block, and the escaped size leaves the entry untrusted.
TEST(ZipHeader, ExtraFieldBeyondTheDataIsNotThere) {
  CentralFields f;
  f.name = "cut.bin";
  f.version = 45;
  f.uncompressedSize = 0xFFFFFFFF;
  f.extra = ExtraBlock(kTagZip64, Le64(0));
  TZipHeaderInfo h;
  ASSERT_TRUE(ReadCentral(h, CentralHeader(f)).ok);
  const std::string central = CentralHeader(f);
  const CentralRead r = ReadCentral(h, central.substr(0, central.size() - 8));
  EXPECT_FALSE(r.ok);
  EXPECT_EQ(r.position, 0);
  ASSERT_TRUE(ReadLocal(h, LocalHeader(f)));
  const std::string local = LocalHeader(f);
  EXPECT_FALSE(ReadLocal(h, local.substr(0, local.size() - 8)));
}

TEST(ZipHeader, HeaderSplitAcrossPartsIsJoined) {
  CentralFields f;
  f.name = "joined.txt";
  const std::string whole = CentralHeader(f);
  const std::string first = whole.substr(0, 20), rest = whole.substr(20);
  TReadOnlyMemoryStream part1(first.data(), first.size());
  TReadOnlyMemoryStream part2(rest.data(), rest.size());
  TStream* stream = &part1;
  int calls = 0;
  TZipHeaderInfo h;
  ASSERT_TRUE(h.ReadCentralHeader(stream, [&](TZipHeaderInfo&, TStream*& s) {
    ++calls;
    s = &part2;
  }));
  EXPECT_EQ(calls, 1);
  EXPECT_EQ(stream, &part2);
  EXPECT_EQ(h.FileName, u"joined.txt");
}

// Filling from a header image: what each kind of header sets, and what it leaves.
TEST(ZipHeader, SetFromCentralAndLocalFillFromTheImage) {
  CentralFields f;
  f.madeBy = 0x0B14;
  f.version = 45;
  f.flags = 0x0809;
  f.method = 8;
  f.dosTime = 0;  // clamped to 1 January 1980
  f.crc = 0x12345678;
  f.compressedSize = 100;
  f.uncompressedSize = 200;
  f.name = "abc";
  f.extra = std::string(6, 'x');
  f.comment = "note";
  f.disk = 3;
  f.internalAttributes = 1;
  f.externalAttributes = 0x21;
  f.offset = 5000;
  auto prefilled = [] {
    TZipHeaderInfo h;
    h.LocalExtraLength = 9;
    h.CentralExtraLength = 11;
    h.EntryOk = true;
    h.EncryptionStrength = 2;
    h.AesInfo().Strength = 2;
    h.CentralOffset = 77;
    h.SetFileComment("old");
    h.Included = h.UserSelected = true;
    return h;
  };
  const struct {
    const char* what;
    bool central;
    uint16_t madeBy, extraCentral, extraLocal, comment, disk, internal;
    uint32_t external, offset;
  } cases[] = {
      {"central", true, 0x0B14, 6, 9, 4, 3, 1, 0x21, 5000},
      {"local", false, 0, 11, 6, 0, 0, 0, 0, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    TZipHeaderInfo h = prefilled();
    if (c.central) {
      h.SetFromCentral(TCentralFileHeader::FromBytes(
                           reinterpret_cast<const uint8_t*>(CentralHeader(f).data())),
                       u"dir\\sub\\abc");
    } else {
      h.SetFromLocal(TLocalFileHeader::FromBytes(
                         reinterpret_cast<const uint8_t*>(LocalHeader(f).data())),
                     u"dir\\sub\\abc");
    }
    EXPECT_EQ(h.VersionMadeBy, c.madeBy);
    EXPECT_EQ(h.VersionNeeded, 45);
    EXPECT_EQ(h.Flags, 0x0809);
    EXPECT_EQ(h.CompressionMethod, 8);
    EXPECT_EQ(h.FileDateTime, 0x00210000u);
    EXPECT_EQ(h.Crc32, 0x12345678u);
    EXPECT_EQ(h.FCompressedSize, 100u);
    EXPECT_EQ(h.FUncompressedSize, 200u);
    EXPECT_EQ(h.FileNameLength, 3);
    EXPECT_EQ(h.CentralExtraLength, c.extraCentral);
    EXPECT_EQ(h.LocalExtraLength, c.extraLocal);
    EXPECT_EQ(h.CommentLength, c.comment);
    EXPECT_EQ(h.FDiskNumberStart, c.disk);
    EXPECT_EQ(h.InternalAttributes, c.internal);
    EXPECT_EQ(h.ExternalAttributes, c.external);
    EXPECT_EQ(h.FRelativeOffset, c.offset);
    EXPECT_EQ(h.CentralOffset, 0);
    EXPECT_EQ(h.Directory, u"dir\\sub\\");
    EXPECT_EQ(h.FileName, u"abc");
    EXPECT_EQ(h.FileComment, "");
    EXPECT_FALSE(h.Included);
    EXPECT_FALSE(h.UserSelected);
    // Not theirs to touch.
    EXPECT_TRUE(h.EntryOk);
    EXPECT_EQ(h.EncryptionStrength, 2);
    EXPECT_TRUE(h.HasAesInfo());
  }
}

// The same extra field means different things behind a central and a local header: a
// local ZIP64 block holds both sizes at fixed places.
TEST(ZipHeader, ReadExtraFieldFollowsTheHeaderKind) {
  const std::string zip64 = ExtraBlock(1, Le64(111) + Le64(222));
  const struct {
    const char* what;
    bool central;
    std::string field;
    uint16_t length;
    bool ok;
    int64_t compressed;
  } cases[] = {
      {"central: the first value", true, zip64, uint16_t(zip64.size()), true, 111},
      {"local: the second place", false, zip64, uint16_t(zip64.size()), true, 222},
      {"no block for the escape", true, ExtraBlock(0x000A, "1234"), 8, false, 0},
      {"stream ends inside the block", false, zip64.substr(0, 12), uint16_t(zip64.size()), false,
       0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    CentralFields f;
    f.compressedSize = 0xFFFFFFFF;
    const std::string image = c.central ? CentralHeader(f) : LocalHeader(f);
    const auto* bytes = reinterpret_cast<const uint8_t*>(image.data());
    TZipHeaderInfo h;
    if (c.central)
      h.SetFromCentral(TCentralFileHeader::FromBytes(bytes), u"a.txt");
    else
      h.SetFromLocal(TLocalFileHeader::FromBytes(bytes), u"a.txt");
    const std::string data = c.field + "after";
    TReadOnlyMemoryStream stream(data.data(), data.size());
    EXPECT_EQ(h.ReadExtraField(stream, c.length), c.ok);
    EXPECT_EQ(stream.Position(), std::min<int64_t>(c.length, int64_t(data.size())));
    if (c.ok) {
      EXPECT_EQ(h.CompressedSize(), c.compressed);
    }
  }
}

TEST(ZipHeader, SixtyFourBitProperties) {
  TZipHeaderInfo h;
  h.SetCompressedSize(4294967294LL);
  EXPECT_EQ(h.FCompressedSize, 4294967294u);
  EXPECT_FALSE(h.HasZip64Info());
  h.SetCompressedSize(4294967295LL);
  EXPECT_EQ(h.FCompressedSize, 0xFFFFFFFFu);
  ASSERT_TRUE(h.HasZip64Info());
  EXPECT_EQ(h.CompressedSize(), 4294967295LL);
  h.SetDiskNumberStart(0xFFFF);
  EXPECT_EQ(h.FDiskNumberStart, 0xFFFF);
  EXPECT_EQ(h.DiskNumberStart(), 0xFFFFu);
  // An escape without the record reads as the stored field.
  TZipHeaderInfo plain;
  plain.FUncompressedSize = 0xFFFFFFFF;
  EXPECT_EQ(plain.UncompressedSize(), 0xFFFFFFFFLL);
}

TEST(ZipHeader, AssignCopiesThePresenceOfEveryRecord) {
  TZipHeaderInfo withRecords;
  withRecords.SetUncompressedSize(6000000000LL);
  withRecords.AesInfo().Strength = 2;
  withRecords.SetFileComment("old comment");
  withRecords.SetFileName(u"big.bin");
  withRecords.OEMConvert = TOEMConvert::oemFlexible;

  TZipHeaderInfo plain;
  plain.SetFileName(u"small.txt");
  plain.SetUncompressedSize(12);
  plain.Included = true;

  TZipHeaderInfo target;
  target.Assign(withRecords);
  EXPECT_TRUE(target.HasZip64Info());
  EXPECT_TRUE(target.HasAesInfo());
  EXPECT_EQ(target.UncompressedSize(), 6000000000LL);
  EXPECT_EQ(target.FileComment, "old comment");
  EXPECT_EQ(target.OEMConvert, TOEMConvert::oemNever);  // not copied

  target.Assign(plain);
  EXPECT_FALSE(target.HasZip64Info());
  EXPECT_FALSE(target.HasAesInfo());
  EXPECT_EQ(target.FileComment, "");
  EXPECT_EQ(target.FileName, u"small.txt");
  EXPECT_EQ(target.UncompressedSize(), 12);
  EXPECT_TRUE(target.Included);

  TEndCentral other;
  EXPECT_THROW(target.Assign(other), EConvertError);
}

}  // namespace
