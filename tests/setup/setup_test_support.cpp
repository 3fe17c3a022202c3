#include "tests/setup/setup_test_support.h"

#include <objidl.h>
#include <shlobj.h>

#include "base/win_handle.h"
#include "base/win_string.h"
#include "tests/testlib/dialog_driver_win.h"

namespace setup_test {

namespace {
const wchar_t kSessionManager[] = L"System\\CurrentControlSet\\Control\\Session Manager";
const wchar_t kPending[] = L"PendingFileRenameOperations";

std::vector<String> ReadMultiString(HKEY key, const wchar_t* name) {
  DWORD type = 0, size = 0;
  if (RegQueryValueExW(key, name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
      type != REG_MULTI_SZ)
    return {};
  std::vector<wchar_t> data(size / 2 + 2, 0);
  RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(data.data()), &size);
  // Pairs of source and target; an empty target means "delete", so empty strings
  // count here: the list is exactly size / 2 units long.
  std::vector<String> items;
  String current;
  for (size_t i = 0; i < size / 2; ++i) {
    if (data[i] == 0) {
      items.push_back(current);
      current.clear();
    } else {
      current.push_back(Char(data[i]));
    }
  }
  return items;
}
}  // namespace

bool WaitForFile(const String& path, int ms) {
  const DWORD start = GetTickCount();
  while (!IsFile(path)) {
    if (int(GetTickCount() - start) > ms) return false;
    Sleep(50);
  }
  return true;
}

void DeleteTree(const String& path) {
  WIN32_FIND_DATAW found{};
  UniqueFindHandle find(FindFirstFileW(W(path + u"\\*"), &found));
  if (find) {
    do {
      const String name = FromW(found.cFileName, MAX_PATH);
      if (name == u"." || name == u"..") continue;
      const String child = path + u"\\" + name;
      if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        DeleteTree(child);
      } else {
        SetFileAttributesW(W(child), FILE_ATTRIBUTE_NORMAL);
        DeleteFileW(W(child));
      }
    } while (FindNextFileW(find.get(), &found));
  }
  find.reset();
  RemoveDirectoryW(W(path));
}

std::optional<String> MachineString(const String& key, const String& name, REGSAM view) {
  UniqueHKey k;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, W(key), 0, KEY_READ | view, k.put()) !=
      ERROR_SUCCESS)
    return std::nullopt;
  DWORD type = 0, size = 0;
  if (RegQueryValueExW(k.get(), W(name), nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
      type != REG_SZ)
    return std::nullopt;
  std::vector<wchar_t> data(size / 2 + 1, 0);
  RegQueryValueExW(k.get(), W(name), nullptr, &type, reinterpret_cast<BYTE*>(data.data()), &size);
  return FromW(data.data(), data.size());
}

std::optional<uint32_t> MachineDword(const String& key, const String& name, REGSAM view) {
  UniqueHKey k;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, W(key), 0, KEY_READ | view, k.put()) !=
      ERROR_SUCCESS)
    return std::nullopt;
  DWORD type = 0, value = 0, size = sizeof value;
  if (RegQueryValueExW(k.get(), W(name), nullptr, &type, reinterpret_cast<BYTE*>(&value),
                       &size) != ERROR_SUCCESS ||
      type != REG_DWORD)
    return std::nullopt;
  return value;
}

void DeleteMachineKey(const String& key) {
  RegDeleteKeyExW(HKEY_LOCAL_MACHINE, W(key), KEY_WOW64_32KEY, 0);
}

LinkInfo ReadLink(const String& linkFile) {
  LinkInfo info;
  ComPtr<IShellLinkW> link;
  if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                              link.put_void())))
    return info;
  ComPtr<IPersistFile> file;
  if (FAILED(link->QueryInterface(IID_IPersistFile, file.put_void())) ||
      FAILED(file->Load(W(linkFile), STGM_READ)))
    return info;
  wchar_t buffer[1024];
  info.loaded = true;
  buffer[0] = 0;
  link->GetPath(buffer, 1024, nullptr, SLGP_RAWPATH);
  info.target = FromW(buffer, 1024);
  buffer[0] = 0;
  link->GetArguments(buffer, 1024);
  info.arguments = FromW(buffer, 1024);
  buffer[0] = 0;
  link->GetDescription(buffer, 1024);
  info.description = FromW(buffer, 1024);
  buffer[0] = 0;
  link->GetWorkingDirectory(buffer, 1024);
  info.workDir = FromW(buffer, 1024);
  return info;
}

std::vector<String> PendingDeletions() {
  UniqueHKey k;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kSessionManager, 0, KEY_READ, k.put()) != ERROR_SUCCESS)
    return {};
  const std::vector<String> items = ReadMultiString(k.get(), kPending);
  std::vector<String> deletions;
  for (size_t i = 0; i + 1 < items.size(); i += 2) {
    if (!items[i + 1].empty()) continue;
    String source = items[i];
    if (source.rfind(u"\\??\\", 0) == 0) source.erase(0, 4);
    deletions.push_back(source);
  }
  return deletions;
}

void ForgetPendingBelow(const String& folder) {
  UniqueHKey k;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kSessionManager, 0, KEY_READ | KEY_WRITE, k.put()) !=
      ERROR_SUCCESS)
    return;
  const std::vector<String> items = ReadMultiString(k.get(), kPending);
  const String prefix = Lower(folder);
  std::vector<wchar_t> kept;
  size_t pairs = 0;
  for (size_t i = 0; i + 1 < items.size(); i += 2) {
    String source = items[i];
    if (source.rfind(u"\\??\\", 0) == 0) source.erase(0, 4);
    if (Lower(source).rfind(prefix, 0) == 0) continue;
    for (size_t j = i; j < i + 2; ++j) {
      for (Char c : items[j]) kept.push_back(wchar_t(c));
      kept.push_back(0);
    }
    ++pairs;
  }
  if (pairs == 0) {
    RegDeleteValueW(k.get(), kPending);
    return;
  }
  kept.push_back(0);
  RegSetValueExW(k.get(), kPending, 0, REG_MULTI_SZ, reinterpret_cast<const BYTE*>(kept.data()),
                 DWORD(kept.size() * sizeof(wchar_t)));
}

String ShellFolder(int csidl) {
  wchar_t path[MAX_PATH] = {};
  SHGetFolderPathW(nullptr, csidl, nullptr, 0, path);
  return FromW(path, MAX_PATH);
}

String Lower(String s) {
  if (!s.empty()) CharLowerBuffW(W(s.data()), DWORD(s.size()));
  return s;
}

namespace {
BOOL CALLBACK CollectTexts(HWND hwnd, LPARAM lp) {
  wchar_t cls[32] = {};
  GetClassNameW(hwnd, cls, 32);
  if (_wcsicmp(cls, L"Static") == 0) {
    const String t = WindowText(hwnd);
    auto* text = reinterpret_cast<String*>(lp);
    if (!t.empty()) *text += (text->empty() ? u"" : u"\n") + t;
  }
  return TRUE;
}
}  // namespace

DialogRecorder::DialogRecorder(std::function<int(const String&)> button)
    : button_(std::move(button)), thread_([this] { Run(); }) {}

DialogRecorder::~DialogRecorder() {
  stop_ = true;
  thread_.join();
}

std::vector<DialogRecorder::Box> DialogRecorder::Boxes() {
  std::lock_guard<std::mutex> lock(mutex_);
  return boxes_;
}

void DialogRecorder::Run() {
  HWND answered = nullptr;
  while (!stop_) {
    HWND dialog = FindOwnDialog();
    if (!dialog || dialog == answered) {
      Sleep(20);
      continue;
    }
    Sleep(200);  // let it finish its start-up
    Box box{WindowText(dialog), u""};
    EnumChildWindows(dialog, CollectTexts, reinterpret_cast<LPARAM>(&box.text));
    const int id = button_(box.caption);
    {
      std::lock_guard<std::mutex> lock(mutex_);
      boxes_.push_back(box);
    }
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
    answered = dialog;
  }
}

}  // namespace setup_test
