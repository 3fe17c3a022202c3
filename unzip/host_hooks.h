// The two ways the zip component reaches its host: the message pump and the user
// prompt. A host may replace either; an empty member means the default.
//
// Defaults: on Windows the pump takes every pending message of the thread
// (PeekMessageW, TranslateMessage, DispatchMessageW) and stops at a quit message,
// which it posts again and reports; the prompt is a message box without owner.
// Natively the pump does nothing and the prompt gives the declining answer.
#pragma once

#include <cstdint>
#include <functional>

#include "base/string.h"

// Button sets and answers of the platform's message box.
enum : uint32_t {
  mbOK = 0,
  mbOKCancel = 1,
  mbAbortRetryIgnore = 2,
  mbYesNoCancel = 3,
  mbYesNo = 4,
  mbRetryCancel = 5,
  mbCancelTryContinue = 6,
  mbButtonMask = 0x0F,
};
enum : int32_t {
  idOK = 1,
  idCancel = 2,
  idAbort = 3,
  idRetry = 4,
  idIgnore = 5,
  idYes = 6,
  idNo = 7,
};

struct TZipHostHooks {
  // Dispatches pending messages; True when a quit request was met.
  std::function<bool()> PumpMessages;
  // Asks the user; Flags are message box flags, the answer a button identifier.
  std::function<int32_t(const String& text, const String& caption, uint32_t flags)> Prompt;
};

// Replaces the hooks of the process (set once by the host, before any zip work).
void SetZipHostHooks(TZipHostHooks hooks);
const TZipHostHooks& ZipHostHooks();

// The answer that declines for a button set: Cancel, No, Abort, or OK for mbOK.
int32_t DecliningAnswer(uint32_t flags);
bool DefaultPumpMessages();
int32_t DefaultPrompt(const String& text, const String& caption, uint32_t flags);
// Through the hook when set, else the default.
int32_t PromptHost(const String& text, const String& caption, uint32_t flags);

// Sets hooks for a scope and restores the previous ones (tests, nested hosts).
class TZipHostHooksScope {
public:
  explicit TZipHostHooksScope(TZipHostHooks hooks);
  ~TZipHostHooksScope();
  TZipHostHooksScope(const TZipHostHooksScope&) = delete;
  TZipHostHooksScope& operator=(const TZipHostHooksScope&) = delete;

private:
  TZipHostHooks previous_;
};
