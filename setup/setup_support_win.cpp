#include "setup/setup_support.h"

#include <windows.h>

#include <objidl.h>
#include <shlobj.h>

#include "base/files.h"
#include "base/path.h"
#include "base/registry.h"
#include "base/win_handle.h"
#include "base/win_string.h"
#include "common/xr_misc_text.h"
#include "setup/setup_texts.h"

namespace {

// KEY_WRITE + KEY_WOW64_32KEY: on 64-bit Windows the values land in the 32-bit view.
constexpr REGSAM kMachineWriteAccess = KEY_WRITE | KEY_WOW64_32KEY;

// An item list freed through the shell allocator that gave it.
class ShellItemList {
public:
  explicit ShellItemList(IMalloc* allocator) : allocator_(allocator) {}
  ~ShellItemList() {
    if (list_) allocator_->Free(list_);
  }
  ShellItemList(const ShellItemList&) = delete;
  ShellItemList& operator=(const ShellItemList&) = delete;
  LPITEMIDLIST* put() { return &list_; }
  LPITEMIDLIST get() const { return list_; }

private:
  IMalloc* allocator_;
  LPITEMIDLIST list_ = nullptr;
};

template <typename Write>
void WriteMachineValue(const String& Key, Write write) {
  TRegistry reg(kMachineWriteAccess);
  reg.SetRootKey(HKEY_LOCAL_MACHINE);
  if (!reg.OpenKey(Key, true)) return;
  write(reg);
  reg.CloseKey();
}

}  // namespace

String GetSpecialFolderPath(int Csidl) {
  ComPtr<IMalloc> allocator;
  if (FAILED(SHGetMalloc(allocator.put()))) return String();
  ShellItemList items(allocator.get());
  wchar_t path[MAX_PATH] = {};
  // A failed lookup leaves no item list; it is not handed on to the conversion.
  if (FAILED(SHGetSpecialFolderLocation(nullptr, Csidl, items.put())) || !items.get() ||
      !SHGetPathFromIDListW(items.get(), path))
    throw Exception(setup_texts::kNoPidlPath);
  return FromW(path, MAX_PATH);
}

String GetDesktopDir() { return GetSpecialFolderPath(CSIDL_DESKTOP); }
String GetStartMenuDir() { return GetSpecialFolderPath(CSIDL_STARTMENU); }

void AddTrailingChar(String& S, Char Ch) { AddTrailingSeparator(S, Ch); }

void RegWriteStringHKLM(const String& Key, const String& Name, const String& Value) {
  WriteMachineValue(Key, [&](TRegistry& reg) { reg.WriteString(Name, Value); });
}

void RegWriteIntegerHKLM(const String& Key, const String& Name, int32_t Value) {
  WriteMachineValue(Key, [&](TRegistry& reg) { reg.WriteInteger(Name, Value); });
}

bool DirExists(const String& Path) { return DirectoryExists(Path); }

bool MakeDirPath(const String& Path) {
  const int count = CountTokens(Path, u'\\');
  String current = GetToken(Path, 1, u'\\');
  for (int i = 2; i <= count; ++i) {
    current += u'\\';
    current += GetToken(Path, i, u'\\');
    if (!DirExists(current)) MkDir(current);
  }
  return true;
}

void CreateShortcut(const String& LinkFile, const String& Target, const String& Description,
                    const String& Arguments, const String& WorkDir) {
  String workDir = WorkDir;
  if (workDir.empty()) workDir = FolderPart(Target);
  ComPtr<IShellLinkW> link;
  if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                              link.put_void())))
    throw EOleSysError(setup_texts::kNoShellLink);
  ComPtr<IPersistFile> file;
  if (FAILED(link->QueryInterface(IID_IPersistFile, file.put_void())))
    throw EIntfCastError(setup_texts::kNoInterface);
  link->SetArguments(W(Arguments));
  link->SetDescription(W(Description));
  link->SetPath(W(Target));
  link->SetWorkingDirectory(W(workDir));
  file->Save(W(LinkFile), FALSE);
}
