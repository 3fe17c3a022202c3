// The update client: fetches the version file, carries out its action lines and, for
// an install line, downloads and unpacks the update and starts its setup program.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>

#include "base/file_stream.h"
#include "base/object.h"
#include "base/string.h"
#include "base/string_list.h"
#include "net/http_client.h"
#include "update/download_watch.h"
#include "update/legacy_windows.h"

// What the client hands to the shell (ShellExecuteW, no owner window, SW_SHOWNORMAL);
// empty texts are passed as null.
struct TShellRequest {
  String Verb;
  String File;
  String Parameters;
  String Directory;
};
// ShellExecuteW's result: above 32 when the shell started the target.
using TShellRunFn = std::function<intptr_t(const TShellRequest&)>;
intptr_t ShellExecuteRequest(const TShellRequest& request);

// Creates the file a download is stored in (an existing one is replaced).
using TCreateFileFn = std::function<std::unique_ptr<TFileStream>(const String& fileName)>;
std::unique_ptr<TFileStream> CreateDownloadFile(const String& fileName);
// The system's millisecond tick count.
uint32_t SystemTicks();

class TXrUpdate : public TObject {
public:
  TXrUpdate();
  ~TXrUpdate() override;
  TXrUpdate(const TXrUpdate&) = delete;
  TXrUpdate& operator=(const TXrUpdate&) = delete;
  String ClassName() const override { return u"TXrUpdate"; }

  String FProductName;
  String FExePath;
  String FExeName;
  String FVersion;
  // Sent with every request.
  String FUserAgent;
  String FVersionUrl;
  // A local version file instead of FVersionUrl when not empty.
  String FVersionFile;
  // An install line handed over to the setup program; the caller then closes.
  bool FRestartNeeded = false;
  // Bytes announced for the running download (0: none announced).
  int64_t FDownloadSize = 0;
  // The client of the running download only.
  std::unique_ptr<THttpClient> FHttp;
  TStringList FVersionLines;

  // The running system's version values unless set otherwise.
  TOsVersionFacts OsVersion;
  // How targets and programs are started.
  TShellRunFn ShellRun = ShellExecuteRequest;
  // The download's bounds and the clock they are measured by.
  TDownloadLimits DownloadLimits;
  TTickFn Ticks = SystemTicks;
  // Where a download is stored.
  TCreateFileFn OpenDownloadFile = CreateDownloadFile;

  void CheckForUpdate();
  bool DownloadVersionFile();
  bool LoadVersionFile();
  void ProcessVersionFile();
  void ShowUpdateError(const String& Detail);

  // True when the setup program was started; the update folder then stays for it.
  bool InstallUpdate(const String& Location);
  bool DownloadUpdate(const String& Url, const String& FileName);
  void UnzipUpdate(const String& Folder, const String& ZipFile);
  bool IsLegacyWindows() const;

  void HttpWorkBegin(TObject* Sender, TWorkMode WorkMode, int64_t WorkCountMax);
  void HttpWork(TObject* Sender, TWorkMode WorkMode, int64_t WorkCount);
  void HttpWorkEnd(TObject* Sender, TWorkMode WorkMode);

private:
  void OpenTarget(const String& Target);
  // Shows the update error and removes the (empty) update folder.
  bool FailInstall(const String& Folder, const String& Detail);
  bool StartSetupProgram(const String& Folder);
};
