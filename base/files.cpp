#include "base/files.h"

#include "base/file_stream.h"
#include "base/in_out_error.h"
#include "base/os_file.h"

void MkDir(const String& path) {
  if (!CreateDir(path)) RaiseInOutError(LastOsError());
}
