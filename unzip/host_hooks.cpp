#include "unzip/host_hooks.h"

#include <utility>

namespace {
TZipHostHooks& Hooks() {
  static TZipHostHooks hooks;
  return hooks;
}
}  // namespace

void SetZipHostHooks(TZipHostHooks hooks) { Hooks() = std::move(hooks); }

const TZipHostHooks& ZipHostHooks() { return Hooks(); }

int32_t DecliningAnswer(uint32_t flags) {
  switch (flags & mbButtonMask) {
    case mbOK: return idOK;
    case mbAbortRetryIgnore: return idAbort;
    case mbYesNo: return idNo;
    default: return idCancel;  // OK/Cancel, Yes/No/Cancel, Retry/Cancel, Cancel/Try/Continue
  }
}

int32_t PromptHost(const String& text, const String& caption, uint32_t flags) {
  const TZipHostHooks& hooks = ZipHostHooks();
  return hooks.Prompt ? hooks.Prompt(text, caption, flags) : DefaultPrompt(text, caption, flags);
}

TZipHostHooksScope::TZipHostHooksScope(TZipHostHooks hooks) : previous_(ZipHostHooks()) {
  SetZipHostHooks(std::move(hooks));
}

TZipHostHooksScope::~TZipHostHooksScope() { SetZipHostHooks(std::move(previous_)); }
