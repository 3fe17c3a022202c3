// Entry of the main program: the application object, the main window, the message loop.
#include <windows.h>

#include "scan/main.h"
#include "scan/main_texts.h"
#include "ui/application.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  TComInitializer com;
  // Support modules start here, before the first window (wired in with their module).
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
  return result;
}
