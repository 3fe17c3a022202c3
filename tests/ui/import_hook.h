// Replaces one imported function in the test program's own import table for the
// hook's lifetime, so that a test can watch the calls its code makes to the system.
#pragma once

#include <windows.h>

#include <cstring>

namespace gui_test {

class ImportHook {
public:
  ImportHook(const char* dll, const char* function, void* replacement) {
    auto* base = reinterpret_cast<BYTE*>(GetModuleHandleW(nullptr));
    auto* dos = reinterpret_cast<IMAGE_DOS_HEADER*>(base);
    auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& dir = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (!dir.VirtualAddress) return;
    for (auto* d = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + dir.VirtualAddress); d->Name;
         ++d) {
      if (_stricmp(reinterpret_cast<const char*>(base + d->Name), dll) != 0) continue;
      auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(base + d->OriginalFirstThunk);
      auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + d->FirstThunk);
      for (; names->u1.AddressOfData; ++names, ++slots) {
        if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) continue;
        auto* byName = reinterpret_cast<IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
        if (std::strcmp(reinterpret_cast<const char*>(byName->Name), function) != 0) continue;
        slot_ = reinterpret_cast<void**>(&slots->u1.Function);
        original_ = Swap(replacement);
        return;
      }
    }
  }
  ~ImportHook() {
    if (slot_) Swap(original_);
  }
  ImportHook(const ImportHook&) = delete;
  ImportHook& operator=(const ImportHook&) = delete;
  bool Installed() const { return slot_ != nullptr; }
  void* Original() const { return original_; }

private:
  void* Swap(void* value) {
    DWORD old = 0;
    VirtualProtect(slot_, sizeof(void*), PAGE_READWRITE, &old);
    void* previous = *slot_;
    *slot_ = value;
    VirtualProtect(slot_, sizeof(void*), old, &old);
    return previous;
  }
  void** slot_ = nullptr;
  void* original_ = nullptr;
};

}  // namespace gui_test
