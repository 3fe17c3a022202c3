// Entry of the setup program. It reads no arguments and behaves alike under every
// name it is started by.
#include <windows.h>

#include <vector>

#include "base/win_string.h"
#include "setup/main_form.h"
#include "setup/setup_texts.h"
#include "ui/application.h"

namespace {
String RunningProgramPath() {
  std::vector<wchar_t> buffer(MAX_PATH);
  for (;;) {
    const DWORD n = GetModuleFileNameW(nullptr, buffer.data(), DWORD(buffer.size()));
    if (n < buffer.size()) return FromW(buffer.data(), n);
    buffer.resize(buffer.size() * 2);
  }
}
}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  TComInitializer com;
  int code = 1;
  try {
    Application().SetTitle(setup_texts::kAppTitle);
    Application().CreateForm(FmMain, RunningProgramPath());
    code = Application().Run();
  } catch (...) {
    // Showing the window needs the Program Files folder; without it there is no wizard.
    Application().HandleCurrentException();
  }
  Application().DestroyForms();
  return code;
}
