// The zip component: reads an archive's directory and writes the selected entries
// below a destination folder.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "base/object.h"
#include "base/stream.h"
#include "base/string.h"
#include "base/string_list.h"
#include "unzip/archive_parts.h"
#include "unzip/end_central.h"
#include "unzip/extract_state.h"
#include "unzip/pkware_cipher.h"
#include "unzip/sorted_zip.h"
#include "unzip/zip_file_routines.h"
#include "unzip/zip_aes.h"
#include "unzip/zip_header.h"

enum class TUZOverwriteMode : uint8_t { Prompt, Always, Never, ifNewer, ifOlder };
enum class TIncompleteZipMode : uint8_t { izAssumeMulti, izAssumeBad, izAssumeNotAZip };
enum class TSkipReason : uint8_t {
  srBadPassword,
  srNoOverwrite,
  srFileOpenError,
  srCreateError,
  srExcludeList,
  srArchiveBitNotSet,
  srNoFileToFreshen,
  srSkippedInStartZip,
};
enum class TSplitPartType : uint8_t { spFirst, spMiddle, spLast };
enum class TBlockMode : uint8_t { bmStandard, bmClassic };
enum class TMultiPartMode : uint8_t { mpNone, mpSpanned, mpSplit };

class TXrUnZip;

using TStartUnZipInfoEvent =
    std::function<void(TXrUnZip& sender, int32_t numFiles, int64_t totalBytes, bool& stopNow)>;
using TFilePercentDoneEvent = std::function<void(TXrUnZip& sender, int32_t percent)>;
using TTotalPercentDoneEvent = std::function<void(TXrUnZip& sender, int32_t percent)>;
using TStartUnZipEvent =
    std::function<void(TXrUnZip& sender, int32_t fileIndex, String& fName, bool& skip)>;
using TEndUnZipEvent = std::function<void(TXrUnZip& sender, int32_t fileIndex, const String& fName)>;
using TPromptForOverwriteEvent =
    std::function<void(TXrUnZip& sender, bool& overWriteIt, int32_t fileIndex, String& fName)>;
using TSkippingFileEvent = std::function<void(TXrUnZip& sender, TSkipReason reason,
                                              const String& fName, int32_t fileIndex, bool& retry)>;
using TBadPasswordEvent =
    std::function<void(TXrUnZip& sender, int32_t fileIndex, std::string& newPassword)>;
using TBadCRCEvent =
    std::function<void(TXrUnZip& sender, int32_t calcCRC, int32_t storedCRC, int32_t fileIndex)>;
using TInCompleteZipEvent = std::function<void(TXrUnZip& sender, TIncompleteZipMode& incompleteMode)>;
using TGetNextDiskEvent = std::function<void(TXrUnZip& sender, int32_t nextDisk, String& fName)>;
using TUnZipCompleteEvent = std::function<void(TXrUnZip& sender, int32_t fileCount)>;
using TGetNextBufferEvent =
    std::function<void(TXrUnZip& sender, char*& buffer, const String& fName, int32_t amountUsed,
                       int32_t bufferNum, bool& quit)>;
using TDecryptEvent = std::function<void(TXrUnZip& sender, uint8_t* buffer, int32_t length,
                                         const std::string& password)>;
using TFileNameForSplitPartEvent =
    std::function<void(TXrUnZip& sender, String& fName, int32_t partNum, TSplitPartType splitType)>;
using THandleMessageEvent =
    std::function<void(TXrUnZip& sender, int32_t messageID, const String& msg1, const String& msg2,
                       uint32_t flags, int32_t& returnValue)>;

inline constexpr int32_t kThisVersion = 451;
inline constexpr int32_t kThisBuild = 1;
inline constexpr const Char* kThisReleaseLevel = u"Release";
inline constexpr int32_t kZipBufferSize = 8192;

class TXrUnZip : public TComponent {
public:
  explicit TXrUnZip(TComponent* owner = nullptr);
  ~TXrUnZip() override;
  TXrUnZip(const TXrUnZip&) = delete;
  TXrUnZip& operator=(const TXrUnZip&) = delete;
  String ClassName() const override { return u"TXrUnZip"; }

  void Assign(const TPersistent& source) override;
  void Loaded() override;

  // Reads the directory when needed and extracts the selected entries; the number of
  // files written.
  int32_t UnZip();
  int32_t LoadedEntryCount() const;
  String GetEntryName(int32_t index) const;
  const TZipHeaderInfo& Entry(int32_t index) const;
  std::string GetEntryComment(int32_t index);
  void SetEntryComment(int32_t index, const std::string& value);
  std::string GetArchiveComment();
  void SetArchiveComment(const std::string& value);
  // Makes sure the directory is loaded; handles an incomplete archive.
  void LoadDirectory();

  // Output other than files, one entry (its position in the sorted view, after
  // LoadDirectory) at a time; True when the entry passed its checks. No folder or file
  // is made. Into Stream from its start:
  bool UnZipToStream(int32_t index, TStream& stream);
  // Into memory the component allocates for the entry; Data gets the entry's bytes.
  bool UnZipToMemory(int32_t index, std::vector<uint8_t>& data);
  // Into the caller's Buffer of Capacity bytes, handed to OnGetNextBuffer each time
  // ChunkSize bytes are in it (0: when it is full) and with the entry's last bytes; a
  // buffer the handler puts in its place must hold Capacity bytes as well.
  bool UnZipToBuffer(int32_t index, char* buffer, int64_t capacity, int32_t chunkSize);
  // Checks the selected entries (DoAll or FilesList, as UnZip) without writing
  // anything; the number that passed.
  int32_t TestZip();
  // Decrypt each block of decompressed output instead of the compressed input.
  bool DecryptOutput() const { return FDecryptOutput; }
  void SetDecryptOutput(bool value) { FDecryptOutput = value; }
  // True inside TestZip, for handlers that tell a test from an extraction.
  bool Testing() const { return FOutput.FTesting; }

  // Requests the long loops test; a host sets them from its window handlers.
  void RequestCancel() { FCancelRequested = true; }
  void SetPaused(bool paused) { FPaused = paused; }
  bool Busy() const { return FBusy; }
  // The last directory read rebuilt the list from local headers and left out entries
  // the central directory lists (or central headers it could not match).
  bool EntriesDropped() const { return FEntriesDropped; }
  bool Rebuilt() const { return FRebuilt; }
  const TEndCentral& EndRecord() const { return *FEndRecord; }
  int32_t DiskCount() const { return FDiskCount; }
  int32_t CurrentDisk() const { return FCurrentDisk; }

  // Properties.
  int32_t ThisVersion() const { return FThisVersion; }
  void SetThisVersion(int32_t) { FThisVersion = kThisVersion; }
  int32_t ThisBuild() const { return FThisBuild; }
  void SetThisBuild(int32_t) { FThisBuild = kThisBuild; }
  const String& ThisReleaseLevel() const { return FThisReleaseLevel; }
  void SetThisReleaseLevel(const String&) { FThisReleaseLevel = kThisReleaseLevel; }
  const String& ZipName() const { return FZipName; }
  virtual void SetZipName(const String& value);
  const String& DestDir() const { return FDestDir; }
  void SetDestDir(const String& value);
  const String& RootDir() const { return FRootDir; }
  void SetRootDir(const String& value);
  TStringList& RelativePathList() { return *FRelativePathList; }
  TStringList& FilesList() { return *FFilesList; }
  void SetFilesList(const TStringList& value);
  virtual TMultiPartMode GetMultiPartMode() const { return FMultiPartMode; }
  virtual void SetMultiPartMode(TMultiPartMode value) { FMultiPartMode = value; }
  virtual bool GetVerifyDiskLabels() const { return FVerifyDiskLabels; }
  virtual void SetVerifyDiskLabels(bool value) { FVerifyDiskLabels = value; }

  // Plain properties.
  TZipSortMode SortMode = TZipSortMode::ByNone;
  bool RecreateDirs = false;
  TUZOverwriteMode OverwriteMode = TUZOverwriteMode::Prompt;
  bool DoAll = false;
  TIncompleteZipMode IncompleteZipMode = TIncompleteZipMode::izAssumeMulti;
  bool KeepZipOpen = false;
  bool DoProcessMessages = true;
  bool RetainAttributes = true;
  bool ReplaceReadOnly = false;
  bool FlushFilesOnClose = false;
  TBlockMode BlockMode = TBlockMode::bmStandard;
  bool IgnorePath = false;
  TOEMConvert OEMConvert = TOEMConvert::oemFlexible;
  // The component's tag; not 0 lets every traditional encryption header check pass.
  int32_t Tag = 0;

  // Events.
  TStartUnZipInfoEvent OnStartUnZipInfo;
  TFilePercentDoneEvent OnFilePercentDone;
  TTotalPercentDoneEvent OnTotalPercentDone;
  TStartUnZipEvent OnStartUnZip;
  TEndUnZipEvent OnEndUnZip;
  TPromptForOverwriteEvent OnPromptForOverwrite;
  TSkippingFileEvent OnSkippingFile;
  TBadPasswordEvent OnBadPassword;
  TBadCRCEvent OnBadCRC;
  TInCompleteZipEvent OnInCompleteZip;
  TGetNextDiskEvent OnGetNextDisk;
  TUnZipCompleteEvent OnUnZipComplete;
  TGetNextBufferEvent OnGetNextBuffer;
  TDecryptEvent OnDecrypt;
  TFileNameForSplitPartEvent OnFileNameForSplitPart;
  THandleMessageEvent OnHandleMessage;

  // What a part is asked for and named by without OnGetNextDisk and
  // OnFileNameForSplitPart; their handlers may fall back to them. A spanned set asks the
  // user to insert disk Number (a Cancel empties FName); other sets ask nothing. FName
  // comes in as the base name of the split set and leaves as the name of part Number.
  void DefaultRequestDisk(int32_t number, String& fName);
  void DefaultNameSplitPart(String& fName, int32_t number, TSplitPartType splitType) const;

  // Asks the user through OnHandleMessage or the host's prompt.
  int32_t PromptUser(int32_t messageID, const String& msg1, const String& msg2, uint32_t flags);

protected:
  // Extraction of one entry (extract_entry.cpp). Called for every Included entry with
  // its position in the sorted view.
  virtual void ExtractEntry(int32_t index, TExtractState& state);

  // Opens the archive or one of its parts; overridden to serve archives from memory.
  virtual std::unique_ptr<TStream> OpenArchiveStream(const String& name, uint16_t mode,
                                                     bool flushOnClose);
  // Raw modification time and size of an open archive stream, for the change test.
  virtual TFileStamp ArchiveStampOf(TStream& stream);
  // Whether a file beside the archive (the directory side file) is there to open.
  virtual bool ArchiveFileExists(const String& name);
  // Removable or CD-ROM drive, and volume label, of a drive root ("A:\" form); where
  // spanned disks are told apart.
  virtual bool DriveIsRemovable(const String& root);
  virtual String DriveVolumeLabel(const String& root);

  void OpenArchive();
  void CloseArchive();
  void ClearArchive();
  std::unique_ptr<TZipHeaderInfo> CreateHeader() const;
  void BuildSortedView(TZipSortMode mode);
  void StripRelativePath(String& path, String& stripped) const;
  bool SetBusy(bool value);
  int32_t ExtractEntries(TStream& stream);
  void ReadDirectory(TStream& stream);
  bool RebuildDirectory();
  // Multi-part archives.
  virtual TStream& OpenDisk(int32_t number);
  void OpenNextDisk(TZipHeaderInfo& header, TStream*& stream);
  void WaitWhilePaused();
  void RequestDisk(int32_t number, String& fName);
  void NameSplitPart(String& fName, int32_t number, TSplitPartType splitType);
  bool DiskLabelMatches(int32_t number, const String& name);
  // Adds every name a part or disk of the loaded set may have to the files no entry is
  // written over, those not opened yet included.
  void AddPartNames();
  TSplitPartType SplitPartType(int32_t number) const;

  // Extraction engine: extract_entry.cpp, extract_io.cpp, unstore_inflate.cpp; the
  // per-byte readers are inline in extract_io.h.
  // The folder part of the current entry's output name.
  String BuildDestPath();
  // Takes a skipped entry out of the run's totals.
  void DiscountEntry(TExtractState& state);
  // 8 and the next compressed byte in B; 0 when the entry's data is used up.
  inline int32_t ReadByte(TExtractState& state, uint16_t& b);
  inline void WriteByte(TExtractState& state, uint8_t b);
  void FlushWindow(TExtractState& state, uint32_t n);
  void FlushOutput(TExtractState& state);
  // Reads the next block of the entry's data into InBuf; the bytes read.
  uint32_t RefillInput(TExtractState& state);
  // Reads the next block of the entry's data (kBlockSize bytes, fewer at its end) to To,
  // decrypted, after the messages between blocks; the bytes read.
  uint32_t ReadInputBlock(TExtractState& state, uint8_t* to);
  // Whether the next input block lies in the part being read (always in a one-part
  // archive).
  bool NextBlockInThisPart(TExtractState& state);
  void FillBitBuffer(TExtractState& state);
  inline void ReadBits(TExtractState& state, uint32_t n, uint16_t& v);
  inline void ReadBitsByte(TExtractState& state, uint32_t n, uint8_t& v);
  inline void NeedBits(TExtractState& state, uint32_t n, uint32_t& b, uint32_t& k);
  static void DumpBits(uint32_t n, uint32_t& b, uint32_t& k) {
    b >>= n;
    k -= n;
  }
  // Decompressors, and the one place that picks them by compression method (nullptr:
  // none for that method).
  void UnStore(TExtractState& state);
  void Inflate(TExtractState& state);
  // Shrink, reduce and implode: unshrink.cpp, unreduce.cpp, explode.cpp.
  void UnShrink(TExtractState& state);
  void UnReduce(TExtractState& state);
  void Explode(TExtractState& state);
  // Lookup bits of Explode's distance table: 8 above 200000 compressed bytes, else 7.
  static int32_t ExplodeDistanceBits(int64_t compressedSize);
  using TDecompressor = void (TXrUnZip::*)(TExtractState& state);
  static TDecompressor DecompressorFor(uint16_t method);
  // Pumps messages and honours cancel and pause between blocks.
  void BetweenBlocks();

  TZipHeaderInfo& HeaderTemplate() { return *FHeaderTemplate; }
  TSortedZip* SortedEntries() const { return FSortedEntries; }
  TStream* ZipStream() const;
  int64_t& TotalBytes() { return FTotalBytes; }
  int64_t& BytesDone() { return FBytesDone; }
  std::string& Password() { return FPassword; }
  // Memory held for the entry being extracted into memory.
  size_t MemoryTaken() const { return FOutput.FOwnedBuffer.capacity(); }
  // Chunks handed to OnGetNextBuffer for the entry so far.
  int64_t& BufferNum() { return FOutput.FBufferNum; }

private:
  // Sets the busy flag for a scope and gives back the value it had.
  class TBusyScope {
  public:
    explicit TBusyScope(TXrUnZip& owner) : owner_(owner), previous_(owner.SetBusy(true)) {}
    ~TBusyScope() { owner_.SetBusy(previous_); }
    TBusyScope(const TBusyScope&) = delete;
    TBusyScope& operator=(const TBusyScope&) = delete;

  private:
    TXrUnZip& owner_;
    bool previous_;
  };
  void RefuseWhenBusy() const;
  // SetZipName's work, with no busy check.
  void ChangeZipName(const String& value);
  void FreeEntryLists();
  void PumpAndHonourRequests(bool withPause);
  bool EntryIsPlausible(const TZipHeaderInfo& info, int64_t archiveSize) const;
  // The central header loop; Merge completes a rebuilt list instead of filling one.
  enum class TCentralResult { Done, Damaged, Duplicate };
  class TDirectorySource;
  TCentralResult ReadCentralHeaders(TDirectorySource& source, bool merge);
  // A central header of a multi-part archive, read whole across the parts; False, with
  // the archive where it was, when there is none.
  bool ReadCentralAcrossParts(TZipHeaderInfo& info, int64_t archiveSize);
  // Reads from Stream and the parts after it, while the set has more; Stream is then
  // the part the read ended in. The bytes read.
  int32_t ReadAcrossParts(TStream*& stream, uint8_t* to, int32_t count);
  void SeekBackAcrossParts(int64_t count);
  // ReadDirectory's work; ReadDirectory forgets what a failed read left.
  void ReadDirectoryRecords(TStream& stream);
  void ForgetDirectory();
  void RecoverOrFail();
  std::string ReadArchiveComment();
  std::string ReadEntryComment(int32_t index);
  // The side file the loaded directory came from, opened again; nullptr when none.
  std::unique_ptr<TStream> OpenSideFile();
  bool ArchiveChanged();
  void SelectEntries(TExtractState& state);
  void FindDataLimits(TExtractState& state);
  // Steps of ExtractEntry (extract_entry.cpp).
  void ExtractFolderEntry(int32_t index, TExtractState& state, const String& dirPath);
  void ExtractFileEntry(int32_t index, TExtractState& state, const String& dirPath,
                        const TZipHeaderInfo& listed);
  // The decompressor's run into the output made ready, and the checks after it;
  // Pending is the output file in file mode, empty otherwise. True when the entry
  // passed (its file under its name).
  class TPendingFile;
  bool DecompressAndCheck(int32_t index, TExtractState& state, TDecompressor decompressor,
                          bool encrypted, const String& fullName,
                          std::unique_ptr<TPendingFile>& pending);
  // A failed entry: the password asked again for an encrypted one (a new one retries
  // it), the bad CRC reported for others.
  void FailEntry(int32_t index, TExtractState& state, bool encrypted);
  // Memory output (extract_output_modes.cpp): whether the declared size may be
  // allocated, the buffer for the entry, its flush.
  bool BufferSizeIsPlausible() const;
  void StartBufferOutput();
  void ReleaseOwnedBuffer();
  void FlushToBuffer(const uint8_t* from, uint32_t n);
  // Memory output: the block grows to take N more bytes.
  void AppendToMemory(const uint8_t* from, uint32_t n);
  // Puts the output fields back to file output when an operation in another mode ends.
  class TOutputModeScope;
  // Loads the directory, opens the archive and extracts the selection, or with
  // OnlyIndex at 0 or above the entry at that position alone.
  int32_t RunExtraction(int32_t onlyIndex);
  // Reads the local header and checks where the entry's data lies; leaves the archive
  // stream at the data.
  void LocateEntryData(TExtractState& state, const TZipHeaderInfo& listed);
  // Reads Count bytes of the entry, going on in the next parts; raises when the archive
  // ends first.
  void ReadEntryBytes(TExtractState& state, uint8_t* to, int32_t count);
  // The overwrite decision for the file that is at FullName (which the prompt may change).
  bool MayOverwrite(int32_t index, String& fullName);
  // The target of a file entry may not be made: a link or reparse point below DestDir
  // would be followed, or it is a file of the archive set being read. Look is what is at
  // the name itself.
  bool TargetRefused(const String& fullName, const TNameLook& look);
  // Renames the finished file at TempName to Name unless something has taken that
  // name, which is then the overwrite case (where the prompt may change Name); False
  // with the reason for the skip.
  bool PlaceNewFile(int32_t index, String& name, const String& tempName, TSkipReason& refusal);
  // Renames the finished file at TempName over Name, which has Attributes: a read-only
  // file only with ReplaceReadOnly. False with the reason for the skip.
  bool PlaceOver(const String& name, const String& tempName, int32_t attributes,
                 TSkipReason& refusal);
  // Attributes (-1: nothing there) of a read-only file.
  static bool IsReadOnlyFile(int32_t attributes);
  void SkipEntry(TSkipReason reason, const String& name, int32_t index, TExtractState& state);
  bool EntryPathIsSafe() const;
  // Decryption of the current entry (entry_decrypt.cpp).
  enum class TEntryCipher : uint8_t { None, Pkware, Aes };
  // The password procedure, before any data is read; False when the entry was skipped.
  bool StartDecryption(int32_t index, TExtractState& state, const TZipHeaderInfo& listed);
  bool PasswordPasses(const std::string& password, TExtractState& state);
  // Decrypts bytes read from the archive, or hands them to OnDecrypt; nothing when
  // the output is decrypted instead.
  void DecryptInput(uint8_t* buffer, uint32_t count);
  // With DecryptOutput: decrypts a block of decompressed output, or hands it to OnDecrypt.
  void DecryptOutputBlock(uint8_t* buffer, uint32_t count);
  void DecryptBuffer(uint8_t* buffer, uint32_t count);
  // Hands bytes to OnDecrypt, an AES entry's code fed with them first.
  void DecryptForHost(uint8_t* buffer, uint32_t count);
  // Reads what the decompressor left of an AES entry's data and the code after it.
  bool AesCodeMatches(TExtractState& state);

  int32_t FThisVersion = kThisVersion;
  int32_t FThisBuild = kThisBuild;
  String FThisReleaseLevel = kThisReleaseLevel;
  String FZipName;
  String FDestDir;
  String FRootDir;
  std::unique_ptr<TStringList> FRelativePathList;
  std::unique_ptr<TStringList> FFilesList;

  std::string FPassword;
  int32_t FDiskCount = 1;
  bool FBusy = false;
  // OnInCompleteZip is being asked; a name it sets waits in FIncompleteNewName.
  bool FAskingIncomplete = false;
  std::optional<String> FIncompleteNewName;
  bool FVerifyDiskLabels = true;
  TMultiPartMode FMultiPartMode = TMultiPartMode::mpNone;
  std::unique_ptr<TZipHeaderInfo> FHeaderTemplate;
  std::unique_ptr<TSortedZip> FEntries;
  // FEntries itself when SortMode is ByNone, else FSortedView.
  TSortedZip* FSortedEntries = nullptr;
  std::unique_ptr<TSortedZip> FSortedView;
  // Raw modification time and size of the archive when its directory was read.
  TFileStamp FArchiveDate;
  bool FRebuilt = false;
  bool FEntriesDropped = false;
  int32_t FCurrentDisk = 0;
  std::unique_ptr<TStream> FZipStream;
  uint32_t FCRC = 0;
  TEntryCipher FCipher = TEntryCipher::None;
  // Bytes of the entry's compressed size that are encryption header, salt, verifier or code.
  int64_t FCipherOverhead = 0;
  TPkwareKeys FKeys;
  TAesCtrContext FAESContext{};
  std::unique_ptr<TEndCentral> FEndRecord;
  bool FCancelRequested = false;
  bool FPaused = false;
  String FSplitBaseName;
  // The files of the loaded archive set; the side file the directory came from, if any.
  TArchiveParts FArchiveParts;
  String FSideFileName;
  // Folders below DestDir found to be no link in this run: a process racing the run
  // is outside what the component defends against.
  TLinkFreeFolders FLinkFreeFolders;
  int64_t FTotalBytes = 0;
  int64_t FBytesDone = 0;
  // The current entry's local header as last read.
  std::array<uint8_t, kLocalHeaderSize> FLocalHeader{};
  String FMessageText;
  // Output modes: FDecryptOutput a property, the others set by the one-entry operations
  // and TestZip around their run.
  bool FDecryptOutput = false;
  // At rest (all defaults) the output is files; an operation's scope puts it back so.
  struct TOutputMode {
    bool FTesting = false;
    bool FToStream = false;
    TStream* FOutputStream = nullptr;
    bool FToBuffer = false;
    // Buffer output into FOwnedBuffer, which grows as output arrives, instead of the
    // caller's FBuffer.
    bool FToMemory = false;
    // The caller's memory buffer.
    char* FBuffer = nullptr;
    std::vector<uint8_t> FOwnedBuffer;
    // What the buffer really holds; no copy goes past it.
    int64_t FBufferSize = 0;
    // Room left for the entry's data.
    int64_t FBufferRemaining = 0;
    char* FBufferPos = nullptr;
    int32_t FBufferChunkSize = 0;
    // Chunks of the entry handed to OnGetNextBuffer so far, up to the largest number the
    // event takes.
    int64_t FBufferNum = 0;
  };
  TOutputMode FOutput;
  // The one entry the single-entry operations extract; null for the selection.
  const TZipHeaderInfo* FOnlyEntry = nullptr;
};
