// Keeps Wine's desktop process alive for a whole test run. Without it every GUI test
// process starts explorer.exe /desktop itself; that process inherits the test's
// output pipes and holds ctest ~10-20 s after each test. Start it once, output to
// /dev/null, after the prefix is made; wineserver -k ends it.
#include <windows.h>

int main() {
  HWND window = CreateWindowExW(0, L"STATIC", L"desktop keepalive", WS_POPUP, 0, 0, 1, 1,
                                nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
  if (!window) return 1;
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
  return 0;
}
