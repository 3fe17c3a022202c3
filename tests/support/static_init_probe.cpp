// Not part of any program: a file with a dynamic initialiser, which the constant-state
// check must report.
#include <string>

std::string probeText = std::to_string(42);
