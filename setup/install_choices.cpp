#include "setup/install_choices.h"

#include "base/path.h"
#include "base/text.h"
#include "setup/setup_texts.h"

namespace st = setup_texts;

String TrimmedFolderPath(StringView text) { return WithTrailingSeparator(Trim(text)); }

String StartMenuFolderPath(const TInstallChoices& choices, const String& programsDir) {
  return WithTrailingSeparator(programsDir) + choices.StartMenuFolder;
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
