#include "update/progress_form.h"

#include "update/update_texts.h"

TFmProgress* FmProgress = nullptr;

TFmProgress::TFmProgress(TForm* owner)
    : TForm(TFormArgs{.Name = u"FmProgress", .Caption = update_text::kProgressCaption,
                      .ClientWidth = 357, .ClientHeight = 96, .BorderStyle = bsDialog,
                      .BorderIcons = 0, .Position = poScreenCenter},
            owner) {
  DeclareLayout();
}

void TFmProgress::DeclareLayout() {
  ProgressBar1 = Add<TProgressBar>(
      TProgressBarArgs{.Name = u"ProgressBar1", .Bounds = {32, 24, 305, 17}, .Step = 1});
  LbPercentDone = Add<TLabel>(TLabelArgs{.Name = u"LbPercentDone", .Bounds = {136, 64, 0, 0},
                                         .Caption = String(u"0") + update_text::kPercentDone});
}
