// Text-file output: create or overwrite, write, close.
#pragma once

#include <cstdint>
#include <string>

#include "base/file_stream.h"
#include "base/string.h"

// Lines are encoded in the system's ANSI code page (ToAnsi) and buffered. Every
// step raises EInOutError with the system's error code when it fails, the final
// flush and close included, so a full disk never passes as a saved file. After a
// failure the file is closed; what was written before stays.
class TTextFile {
public:
  TTextFile() = default;
  ~TTextFile();  // closes without raising; call Close to learn of failures
  TTextFile(const TTextFile&) = delete;
  TTextFile& operator=(const TTextFile&) = delete;

  // Creates the file, or empties an existing one, for writing. An open file is
  // closed first.
  void Rewrite(const String& fileName);
  void Write(StringView text);      // no line end
  void WriteLine(StringView text);  // text + CR LF
  void Close();
  bool IsOpen() const { return handle_ != InvalidNativeHandle(); }

private:
  void Flush();
  [[noreturn]] void Fail(uint32_t code);

  NativeHandle handle_ = InvalidNativeHandle();
  std::string buffer_;
};
