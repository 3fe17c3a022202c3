// Named shared-memory blocks of the process, in one list guarded by one lock.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>

#include "base/global_owner.h"
#include "base/string.h"
#include "base/win_handle.h"
#include "support/xs_synch.h"

// A critical section reached through IUnknown: taking a reference enters it,
// dropping one leaves it. Lifetime does not follow the references.
class TXsIntfCriticalSection : public IUnknown {
public:
  TXsIntfCriticalSection() : FCriticalSection(std::make_unique<TXsCriticalSection>()) {}
  virtual ~TXsIntfCriticalSection() = default;
  TXsIntfCriticalSection(const TXsIntfCriticalSection&) = delete;
  TXsIntfCriticalSection& operator=(const TXsIntfCriticalSection&) = delete;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** obj) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;

private:
  std::unique_ptr<TXsCriticalSection> FCriticalSection;
};

struct TMMFHandleListItem;
using PMMFHandleListItem = TMMFHandleListItem*;

// One mapped block; the record owns the view, the handle and the records after it.
// Size and DesiredAccess say what the view covers.
struct TMMFHandleListItem {
  std::unique_ptr<TMMFHandleListItem> Next;
  UniqueMappedView Memory;
  UniqueHandle Handle;
  String Name;
  int32_t References = 0;
  uint32_t Size = 0;
  uint32_t DesiredAccess = 0;
};

// Newest first.
extern GlobalOwner<TMMFHandleListItem> NamedMemoryList;
extern GlobalOwner<TXsIntfCriticalSection> NamedMemoryListLock;  // made on first use
extern bool NamedMemoryListClosed;

// The list lock, already entered; none once the list is closed.
void LockNamedMemoryList(ComPtr<IUnknown>& lock);

inline constexpr int32_t kNamedMemoryExisted = ERROR_ALREADY_EXISTS;  // 183

// Opens or creates the block Name and maps Size bytes of it with DesiredAccess (a
// FILE_MAP_* value). Returns 183 when the block existed, 0 when it was made. A block
// this process has mapped already is shared when its view covers Size and the access.
// Raises ESharedMemError for an invalid name or an empty new block, EOSError when
// Windows refuses.
int32_t OpenNamedMemory(void*& p, const String& name, uint32_t size, uint32_t desiredAccess);
// Drops one use of the block at P; the last use unmaps it. P becomes none. False when the
// list holds no block at P.
bool FreeNamedMemory(void*& p);
inline bool CloseNamedMemory(void*& p) { return FreeNamedMemory(p); }
// Marks the list closed and frees its lock; later operations run without one.
void CloseNamedMemoryList();

// Frees a library handle when there is one; H becomes 0.
void FreeModuleHandle(HMODULE& h);
