#include "ui/dialogs.h"

#include <commdlg.h>

#include <algorithm>
#include <vector>

#include "base/win_string.h"
#include "ui/application.h"

bool TSaveDialog::Execute(HWND owner) {
  // The filter as the system wants it: zero-separated pairs, two zeros at the end.
  String filter = args_.Filter;
  std::replace(filter.begin(), filter.end(), u'|', u'\0');
  filter.push_back(u'\0');
  filter.push_back(u'\0');
  std::vector<wchar_t> name(32768, L'\0');
  size_t n = std::min(args_.FileName.size(), name.size() - 1);
  std::copy_n(W(args_.FileName), n, name.data());
  OPENFILENAMEW ofn{};
  ofn.lStructSize = sizeof(ofn);
  ofn.hwndOwner = owner ? owner : GetActiveWindow();
  if (!ofn.hwndOwner) ofn.hwndOwner = Application().Handle();
  ofn.lpstrFilter = args_.Filter.empty() ? nullptr : W(filter);
  ofn.nFilterIndex = DWORD(std::max(args_.FilterIndex, 0));
  ofn.lpstrFile = name.data();
  ofn.nMaxFile = DWORD(name.size());
  ofn.lpstrTitle = args_.Title.empty() ? nullptr : W(args_.Title);
  ofn.lpstrInitialDir = args_.InitialDir.empty() ? nullptr : W(args_.InitialDir);
  ofn.lpstrDefExt = args_.DefaultExt.empty() ? nullptr : W(args_.DefaultExt);
  ofn.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_NOCHANGEDIR |
              (args_.OverwritePrompt ? OFN_OVERWRITEPROMPT : 0);
  if (!GetSaveFileNameW(&ofn)) return false;
  args_.FileName = FromW(name.data());
  args_.FilterIndex = int(ofn.nFilterIndex);
  return true;
}
