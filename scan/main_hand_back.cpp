// The setup program's hand-back: recognised at start-up, followed by the clean-up.
#include <windows.h>

#include "base/win_string.h"
#include "scan/hand_back.h"
#include "scan/main.h"
#include "scan/update_cleanup.h"

void TFmMain::CheckSetupHandBack() {
  String setupPath;
  if (HandBackSetupPath(SplitCommandLine(FromW(GetCommandLineW())), setupPath))
    CleanUpAfterUpdate(setupPath);
}

void TFmMain::CleanUpAfterUpdate(const String& SetupPath) {
  // Whatever fails here is left as it is: the program starts normally, unreported.
  try {
    CleanUpSetupFiles(SetupPath, WindowsTempFolder());
  } catch (...) {
  }
}

void TFmMain::DeleteFolderFiles(const String& Dir) { DeleteTopLevelFiles(Dir); }
