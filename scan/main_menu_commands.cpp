// The main window's help, web-site, about and update commands.
#include <windows.h>

#include "base/files.h"
#include "common/xr_misc_dialogs.h"
#include "product.h"
#include "scan/about_form.h"
#include "scan/main.h"
#include "scan/menu_texts.h"
#include "update/xr_update.h"

using namespace menu_texts;

namespace {

// The folder part of a file path, with its trailing backslash; empty when it has none.
String FolderOf(const String& file) {
  const size_t last = file.find_last_of(u"\\:");
  return last == String::npos ? String() : file.substr(0, last + 1);
}

}  // namespace

void TFmMain::MChHelpClick(TObject*) {
  // Without the program's folder a relative name would be looked up in the current one.
  const String folder = FolderOf(MenuHooks.ProgramFile);
  String path = folder + kHelpFileName;
  if (!folder.empty() && !FileExists(path)) path = folder + kHelpSubFolder + kHelpFileName;
  if (folder.empty() || !FileExists(path)) {
    WhileDisabled([] { ShowWarningMsg(kHelpMissing); });
    return;
  }
  if (MenuHooks.ShowHelp) {
    MenuHooks.ShowHelp(Handle(), path, kHelpTopic);
  } else {
    MenuHooks.HtmlHelp.DisplayTopic(Handle(), path, kHelpTopic);
  }
}

void TFmMain::MChWebSiteClick(TObject*) {
  if (MenuHooks.OpenAddress) MenuHooks.OpenAddress(Handle(), ProductWebSite());
}

void TFmMain::MChAboutClick(TObject*) {
  FormPtr<TFmAbout> about = MakeForm<TFmAbout>(this);
  about->OpenAddress = MenuHooks.OpenAddress;
  FmAbout = about.get();
  // Forgotten before the box goes, however the showing ends.
  struct Forget {
    ~Forget() { FmAbout = nullptr; }
  } forget;
  WhileDisabled([&] { about->ShowModal(); });
}

void TFmMain::MChCheckforUpdatesClick(TObject*) {
  TXrUpdate update;
  update.FVersion = kVersion;
  update.FUserAgent = product::kUserAgent;
  update.FProductName = kProductName;
  update.FExePath = MenuHooks.ProgramFile;
  update.FExeName = kExeName;
  update.FVersionUrl = MenuHooks.VersionUrl;
  WhileDisabled([&] { update.CheckForUpdate(); });
  // The setup program waits to replace this program's files.
  if (update.FRestartNeeded) Close();
}
