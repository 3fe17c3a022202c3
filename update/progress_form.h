// The window that shows how far the download of an update has come.
#pragma once

#include "ui/forms.h"
#include "ui/std_controls.h"

class TFmProgress : public TForm {
public:
  explicit TFmProgress(TForm* owner = nullptr);
  String ClassName() const override { return u"TFmProgress"; }

  TProgressBar* ProgressBar1 = nullptr;
  TLabel* LbPercentDone = nullptr;

private:
  void DeclareLayout();
};

// The progress window while a download runs, else null; the download's work handlers
// reach its controls through it.
extern TFmProgress* FmProgress;
