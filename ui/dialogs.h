// The system's save dialog.
#pragma once

#include <windows.h>

#include "base/string.h"

struct TSaveDialogArgs {
  String Title;
  String FileName;
  // Pairs of description and pattern separated by '|': "Text files (*.txt)|*.txt".
  String Filter;
  int FilterIndex = 1;
  String DefaultExt;  // without the dot
  String InitialDir;
  bool OverwritePrompt = true;
};

class TSaveDialog {
public:
  explicit TSaveDialog(const TSaveDialogArgs& args = {}) : args_(args) {}
  // Shows the dialog owned by owner (the active window when null); true when the
  // user chose a name, which FileName and FilterIndex then hold.
  bool Execute(HWND owner = nullptr);
  const String& FileName() const { return args_.FileName; }
  void SetFileName(const String& name) { args_.FileName = name; }
  int FilterIndex() const { return args_.FilterIndex; }
  TSaveDialogArgs& Options() { return args_; }

private:
  TSaveDialogArgs args_;
};
