#include "setup/wizard_logic.h"

#include <string>

#include "base/format.h"
#include "base/text.h"
#include "common/update_token.h"
#include "setup/install_choices.h"
#include "setup/setup_support.h"
#include "setup/setup_texts.h"

namespace st = setup_texts;

TStepMove NextStepMove(int step) {
  using namespace wizard_step;
  switch (step) {
    case kWelcome: return {TPageAction::License, kLicense};
    case kLicense: return {TPageAction::Destination, kDestination};
    case kDestination: return {TPageAction::StartMenu, kStartMenu};
    case kStartMenu: return {TPageAction::Tasks, kTasks};
    case kTasks: return {TPageAction::Ready, kReady};
    case kReady: return {TPageAction::Installing, kInstalled};
    case kInstalled: return {TPageAction::Finish, kFinish};
    case kFinish: return {TPageAction::FinishSetup, kDone};
    default: return {TPageAction::None, step};
  }
}

TStepMove BackStepMove(int step) {
  using namespace wizard_step;
  switch (step) {
    case kLicense: return {TPageAction::Welcome, kWelcome};
    case kDestination: return {TPageAction::License, kLicense};
    case kStartMenu: return {TPageAction::Destination, kDestination};
    case kTasks: return {TPageAction::StartMenu, kStartMenu};
    case kReady: return {TPageAction::Tasks, kTasks};
    default: return {TPageAction::None, step};
  }
}

String DefaultDestDir(const String& programFilesDir) {
  return programFilesDir + st::kProductKey + u"\\";
}

String NormalizeDestDirText(StringView text, const String& programFilesDir) {
  String dir = Trim(text);
  return dir.empty() ? DefaultDestDir(programFilesDir) : dir;
}

String NormalizeStartMenuText(StringView text) {
  String folder = Trim(text);
  return folder.empty() ? String(st::kProductKey) : folder;
}

bool IsValidDestDir(StringView dir) {
  if (dir.size() < 4) return false;
  const Char drive = dir[0];
  if (!((drive >= u'A' && drive <= u'Z') || (drive >= u'a' && drive <= u'z'))) return false;
  if (dir[1] != u':' || dir[2] != u'\\') return false;
  Char previous = u'\\';
  for (size_t i = 3; i < dir.size(); ++i) {
    const Char c = dir[i];
    if (c < 32 || StringView(u":*?\"<>|").find(c) != StringView::npos) return false;
    if (c == u'\\' && previous == u'\\') return false;
    previous = c;
  }
  return true;
}

bool IsValidStartMenuFolder(StringView name) {
  if (name.empty() || name == u"." || name == u"..") return false;
  for (Char c : name)
    if (c < 32 || StringView(u"\\/:*?\"<>|").find(c) != StringView::npos) return false;
  return true;
}

String DestDriveRoot(StringView dir) {
  if (!IsValidDestDir(dir)) return String();
  return String(dir.substr(0, 3));
}

namespace {
const String& KeyFolderEnding() {
  static const String ending = String(st::kProductKey) + u"\\";
  return ending;
}
String Tabbed(StringView text) {
  String line(1, u'\t');
  line.append(text);
  return line;
}
}  // namespace

String BrowseStartDir(StringView destText) {
  String dir = TrimmedFolderPath(destText);
  if (AnsiEndsText(KeyFolderEnding(), dir)) dir.resize(dir.size() - KeyFolderEnding().size());
  return dir;
}

String BrowseChosenDestDir(String chosen) {
  AddTrailingChar(chosen, u'\\');
  if (!AnsiEndsText(KeyFolderEnding(), chosen)) chosen += KeyFolderEnding();
  return chosen;
}

std::vector<String> SummaryLines(const String& destDir, const String& startMenuFolder,
                                 bool desktopShortcut, bool startMenuShortcut) {
  std::vector<String> lines = {st::kSummaryDest, Tabbed(destDir), u"",
                               st::kSummaryStartMenu, Tabbed(startMenuFolder), u""};
  if (desktopShortcut || startMenuShortcut) lines.push_back(st::kSummaryTasks);
  if (desktopShortcut) lines.push_back(Tabbed(st::kSummaryDesktop));
  if (startMenuShortcut) lines.push_back(Tabbed(st::kSummaryStartMenuLink));
  return lines;
}

String SpaceAvailableText(int64_t freeBytes) {
  String number = FormatFloat(u"#,##0", double(freeBytes) / 1048576.0);
  if (number.size() < 20) number.insert(0, 20 - number.size(), u' ');
  return number + u" MB";
}

String SpaceRequiredText() { return Format(u"%d MB", {st::kSpaceRequiredMB}); }

String UninstallCommand(const String& installDir) {
  return u"\"" + installDir + st::kUninstallProgram + u"\" \"" + st::kProductKey + u"\" \"" +
         installDir + u"\"";
}

String HandBackParameters(const String& setupPath) {
  return String(kUpdateToken) + u" \"" + setupPath + u"\"";
}
