// Crashes at once with an access violation: the harness's own check that a crashing
// test program ends its test promptly instead of waiting for a crash dialog.
int main() {
  volatile int* volatile nowhere = nullptr;
  *nowhere = 1;
  return 0;
}
