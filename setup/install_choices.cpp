#include "setup/install_choices.h"

#include "base/text.h"
#include "setup/setup_support.h"
#include "setup/setup_texts.h"

namespace st = setup_texts;

String TrimmedFolderPath(StringView text) {
  String path = Trim(text);
  AddTrailingChar(path, u'\\');
  return path;
}

String StartMenuFolderPath(const TInstallChoices& choices, const String& programsDir) {
  String path = programsDir;
  AddTrailingChar(path, u'\\');
  return path + choices.StartMenuFolder;
}

std::vector<TShortcut> ShortcutList(const TInstallChoices& choices,
                                    const TShortcutFolders& folders) {
  const String menuDir = StartMenuFolderPath(choices, folders.Programs);
  const String installDir = TrimmedFolderPath(choices.DestDir);
  const String program = installDir + st::kProgramFile;
  std::vector<TShortcut> links = {
      {menuDir + u"\\" + st::kProgramLink, program, st::kProductName},
      {menuDir + u"\\" + st::kHelpLink, installDir + st::kHelpFile, st::kHelpDescription},
  };
  if (choices.DesktopShortcut)
    links.push_back({folders.Desktop + u"\\" + st::kProgramLink, program, st::kProductName});
  if (choices.StartMenuShortcut)
    links.push_back({folders.StartMenu + u"\\" + st::kProgramLink, program, st::kProductName});
  return links;
}
