// The main window's help, web-site, about and update commands.
#include <windows.h>

#include "base/files.h"
#include "base/path.h"
#include "base/scope_exit.h"
#include "common/xr_misc_dialogs.h"
#include "product.h"
#include "scan/about_form.h"
#include "scan/main.h"
#include "scan/menu_texts.h"
#include "update/xr_update.h"

using namespace menu_texts;

namespace {


}  // namespace

void TFmMain::MChHelpClick(TObject*) {
  // Without the program's folder a relative name would be looked up in the current one.
  const String folder = String(FolderPart(MenuHooks.ProgramFile));
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
  ScopeExit forget([]() noexcept { FmAbout = nullptr; });
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
