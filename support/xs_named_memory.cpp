#include "support/xs_named_memory.h"

#include <utility>

#include "base/format.h"
#include "base/os_error.h"
#include "base/text.h"
#include "base/win_string.h"
#include "support/xs_errors.h"
#include "support/xs_messages.h"
#include "support/xs_sys_info.h"

HRESULT STDMETHODCALLTYPE TXsIntfCriticalSection::QueryInterface(REFIID iid, void** obj) {
  if (!obj) return E_POINTER;
  if (IsEqualIID(iid, IID_IUnknown)) {
    *obj = static_cast<IUnknown*>(this);
    AddRef();
    return S_OK;
  }
  *obj = nullptr;
  return E_NOINTERFACE;
}

ULONG STDMETHODCALLTYPE TXsIntfCriticalSection::AddRef() {
  FCriticalSection->Enter();
  return 0;
}

ULONG STDMETHODCALLTYPE TXsIntfCriticalSection::Release() {
  FCriticalSection->Leave();
  return 0;
}

constinit GlobalOwner<TMMFHandleListItem> NamedMemoryList;
constinit GlobalOwner<TXsIntfCriticalSection> NamedMemoryListLock;
constinit bool NamedMemoryListClosed = false;

void LockNamedMemoryList(ComPtr<IUnknown>& lock) {
  lock.reset();
  if (!NamedMemoryListLock && !NamedMemoryListClosed) {
    // A caller that loses the race to publish its section frees it here.
    auto made = std::make_unique<TXsIntfCriticalSection>();
    NamedMemoryListLock.adopt_if_empty(made);
  }
  if (TXsIntfCriticalSection* section = NamedMemoryListLock.get()) {
    section->AddRef();
    *lock.put() = section;
  }
}

namespace {
// A copy view keeps its writes to itself; any other view shares them with every opener.
bool IsCopyView(uint32_t access) {
  return (access & FILE_MAP_COPY) != 0 && (access & FILE_MAP_WRITE) == 0;
}

// The view of an earlier open serves a new one only when it covers it, and a copy view
// only a copy request (and the reverse): neither may stand in for the other. Size 0 asks
// for the whole block, which only a whole view is known to cover.
bool Covers(const TMMFHandleListItem& item, uint32_t size, uint32_t access) {
  return (size == 0 ? item.Size == 0 : item.Size != 0 && item.Size >= size) &&
         IsCopyView(access) == IsCopyView(item.DesiredAccess) &&
         (access & ~item.DesiredAccess) == 0;
}

TMMFHandleListItem* FindMapped(const String& name, uint32_t size, uint32_t access) {
  for (TMMFHandleListItem* item = NamedMemoryList.get(); item; item = item->Next.get())
    if (SameText(item->Name, name) && Covers(*item, size, access)) return item;
  return nullptr;
}

// Takes the record that holds the view at P out of the list; none when no record does.
std::unique_ptr<TMMFHandleListItem> UnlinkMapped(const void* p) {
  if (!NamedMemoryList) return nullptr;
  if (NamedMemoryList->Memory.get() == p) {
    std::unique_ptr<TMMFHandleListItem> item = NamedMemoryList.release();
    NamedMemoryList = std::move(item->Next);
    return item;
  }
  for (TMMFHandleListItem* before = NamedMemoryList.get(); before->Next;
       before = before->Next.get()) {
    if (before->Next->Memory.get() != p) continue;
    std::unique_ptr<TMMFHandleListItem> item = std::move(before->Next);
    before->Next = std::move(item->Next);
    return item;
  }
  return nullptr;
}
}  // namespace

int32_t OpenNamedMemory(void*& p, const String& name, uint32_t size, uint32_t desiredAccess) {
  p = nullptr;
  int32_t result = 0;
  if (name.find(u'\0') != String::npos ||
      (IsPreWin2000Platform() && (name.empty() || name.find(u'\\') != String::npos)))
    throw ESharedMemError(Format(xs_text::kInvalidMmfName, {name}));

  ComPtr<IUnknown> lock;
  LockNamedMemoryList(lock);

  if (TMMFHandleListItem* item = FindMapped(name, size, desiredAccess)) {
    ++item->References;
    p = item->Memory.get();
    return kNamedMemoryExisted;
  }

  const wchar_t* const rawName = W(name);
  UniqueHandle handle(OpenFileMappingW(desiredAccess, FALSE, rawName));
  if (handle) {
    result = kNamedMemoryExisted;
  } else {
    if (size == 0) throw ESharedMemError(Format(xs_text::kMmfCreateEmpty, {name}));
    const DWORD protect =
        Win32Platform == VER_PLATFORM_WIN32_WINDOWS && desiredAccess == FILE_MAP_COPY
            ? PAGE_WRITECOPY
            : PAGE_READWRITE;
    handle.reset(
        CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, protect, 0, size, rawName));
    if (!handle) RaiseLastOSError();
    if (GetLastError() == ERROR_ALREADY_EXISTS) result = kNamedMemoryExisted;
  }

  UniqueMappedView view(MapViewOfFile(handle.get(), desiredAccess, 0, 0, size));
  if (!view) RaiseLastOSError();

  auto item = std::make_unique<TMMFHandleListItem>();
  item->Name = name;
  item->Size = size;
  item->DesiredAccess = desiredAccess;
  item->References = 1;
  item->Memory = std::move(view);
  item->Handle = std::move(handle);
  item->Next = NamedMemoryList.release();
  p = item->Memory.get();
  NamedMemoryList = std::move(item);
  return result;
}

bool FreeNamedMemory(void*& p) {
  if (!p) return true;
  ComPtr<IUnknown> lock;
  LockNamedMemoryList(lock);
  TMMFHandleListItem* item = NamedMemoryList.get();
  while (item && item->Memory.get() != p) item = item->Next.get();
  if (!item) return false;
  // The last use unmaps the view and closes the handle with its record.
  if (item->References > 1)
    --item->References;
  else
    UnlinkMapped(p);
  p = nullptr;
  return true;
}

void CloseNamedMemoryList() {
  NamedMemoryListClosed = true;
  NamedMemoryListLock.reset();
}

void FreeModuleHandle(HMODULE& h) {
  if (h) FreeLibrary(h);
  h = nullptr;
}
