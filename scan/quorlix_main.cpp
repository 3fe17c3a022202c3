// Entry of the main program: the support modules, the application object, the main
// window, the message loop.
#include <windows.h>

#include <optional>

#include "scan/main.h"
#include "scan/main_texts.h"
#include "scan/xr_consts.h"
#include "support/startup.h"
#include "ui/application.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  // The modules start before anything else and stop after the windows are gone.
  std::optional<TSupportModules> support;
  try {
    support.emplace();
  } catch (...) {
    Application().HandleCurrentException();
    return 1;
  }
  TColorDescriptions colorDescriptions;
  TComInitializer com;
  int result = 0;
  try {
    Application().SetTitle(main_texts::kAppTitle);
    Application().CreateForm<TFmMain>();
    result = Application().Run();
  } catch (...) {
    Application().HandleCurrentException();
    result = 1;
  }
  Application().DestroyForms();
  support->Stop();
  return result;
}
